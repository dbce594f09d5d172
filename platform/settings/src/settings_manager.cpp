#include <ostrel/settings/settings_manager.h>
#include <ostrel/settings/settings_tree_merge.h>
#include <ostrel/settings/xml_file.h>

#include <boost/algorithm/string/split.hpp>

#include <iterator>
#include <stdexcept>

namespace ostrel {

namespace {

std::string joinPath(std::string const& parent, std::string const& child) {
  return parent.empty() ? child : parent + "." + child;
}

/// Position of `child` among the children of `parent`, in document order.
std::size_t positionOf(SettingsManager::Tree const& parent, SettingsManager::Tree const* child) {
  std::size_t position = 0;
  for (auto const& entry : parent) {
    if (&entry.second == child) {
      return position;
    }
    ++position;
  }
  throw std::logic_error("SettingsManager: path stack does not match its tree");
}

}  // namespace

SettingsManager::SettingsManager() : LoggedComponent("SettingsManager") {
  stack_.push_back(Level{&tree_, std::string(), std::string(), false});
}

SettingsManager::~SettingsManager() = default;

SettingsManager& SettingsManager::operator=(SettingsManager const& other) {
  if (this != &other) {
    LoggedComponent::operator=(other);
    tree_ = other.tree_;
    stack_ = other.stack_;
    rebindPathStack(other);
  }
  return *this;
}

void SettingsManager::rebindPathStack(SettingsManager const& other) {
  // Each level of `other` lies below the level before it, one child per
  // fragment of the name pushed. Walk the same child positions down this
  // store's copy of the tree.
  stack_.front().node = &tree_;
  for (std::size_t level = 1; level < stack_.size(); ++level) {
    Level const& step = other.stack_[level];
    std::vector<std::string> fragments;
    if (step.indexed) {
      fragments.push_back(step.step);
    } else {
      boost::algorithm::split(fragments, step.step, [](char c) { return c == '.'; });
    }
    Tree const* original = other.stack_[level - 1].node;
    Tree* copy = stack_[level - 1].node;
    for (std::size_t f = 0; f < fragments.size(); ++f) {
      Tree const* next = step.node;
      if (f + 1 < fragments.size()) {
        auto const child = original->find(fragments[f]);
        if (child == original->not_found()) {
          throw std::logic_error("SettingsManager: path stack does not match its tree");
        }
        next = &child->second;
      }
      std::size_t const position = positionOf(*original, next);
      copy = &std::next(copy->begin(), static_cast<std::ptrdiff_t>(position))->second;
      original = next;
    }
    stack_[level].node = copy;
  }
}

void SettingsManager::pathPush(std::string const& name) {
  Tree& node = currentNode();
  auto child = node.get_child_optional(name);
  Tree* next = child ? &*child : &node.put_child(name, Tree());
  stack_.push_back(Level{next, joinPath(currentPath(), name), name, false});
}

void SettingsManager::pathPush(std::string const& name, int index, Tree const* tree) {
  Tree& node = currentNode();
  int const count = static_cast<int>(node.count(name));
  if (index < 0 || index > count) {
    throw std::out_of_range("SettingsManager::pathPush: index " + std::to_string(index) + " of '" +
                            name + "' is out of range at '" + currentPath() + "' (" +
                            std::to_string(count) + " such children)");
  }
  Tree* next = nullptr;
  if (index == count) {
    next = &node.push_back(Tree::value_type(name, Tree()))->second;
  } else {
    int seen = 0;
    for (auto& entry : node) {
      if (entry.first == name && seen++ == index) {
        next = &entry.second;
        break;
      }
    }
  }
  if (tree != nullptr) {
    Tree replacement(*tree);  // `tree` may point into this very store
    next->swap(replacement);
  }
  std::string path = joinPath(currentPath(), name) + "[" + std::to_string(index) + "]";
  stack_.push_back(Level{next, std::move(path), name, true});
}

std::string SettingsManager::pathPop() {
  if (stack_.size() <= 1) {
    throw std::out_of_range("SettingsManager::pathPop: the store is at its root");
  }
  std::string left = std::move(stack_.back().path);
  stack_.pop_back();
  return left;
}

int SettingsManager::getChildCount(std::string const& name) const {
  return static_cast<int>(currentNode().count(name));
}

bool SettingsManager::exists(std::string const& key) const {
  return static_cast<bool>(currentNode().get_child_optional(key));
}

void SettingsManager::deletePath(std::string const& key) {
  if (key.empty()) {
    return;
  }
  auto const split = key.rfind('.');
  Tree* parent = &currentNode();
  if (split != std::string::npos) {
    auto found = parent->get_child_optional(key.substr(0, split));
    if (!found) {
      return;
    }
    parent = &*found;
  }
  std::string const leaf = split == std::string::npos ? key : key.substr(split + 1);
  auto const child = parent->find(leaf);
  if (child == parent->not_found()) {
    return;
  }
  getLogger().debugStream() << "deleted " << currentPath() << "." << key;
  parent->erase(parent->to_iterator(child));
}

void SettingsManager::addXML(std::string const& fileName) {
  Tree loaded;
  utils::readXmlFile(fileName, loaded);
  utils::mergeSettingsTree(tree_, loaded);
  getLogger().debugStream() << "read settings file " << fileName;
}

void SettingsManager::writeXML(std::string const& fileName) const {
  utils::writeXmlFile(fileName, tree_);
  getLogger().debugStream() << "wrote settings file " << fileName;
}

}  // namespace ostrel
