#pragma once

#include <boost/property_tree/ptree.hpp>

#include <cstddef>
#include <string>
#include <vector>

#include <ostrel/logging/logged_component.h>
#include <ostrel/settings/export.h>
#include <ostrel/settings/settings_value.h>

namespace ostrel {

/// Hierarchical store of text values over a property tree, with a path stack
/// whose top is the current node. Keys are paths relative to the current
/// node, levels separated by '.'; where several children share a name, a key
/// names the first of them.
///
/// Shared between components as `std::shared_ptr<SettingsManager>`. Readers
/// that must not move the shared store's position copy it: a copy owns its own
/// tree and stands at the same path in it.
class OSTREL_SETTINGS_MANAGER_EXPORT SettingsManager : public LoggedComponent {
 public:
  using Tree = boost::property_tree::ptree;

  /// An empty store standing at its root, logging as "SettingsManager".
  SettingsManager();

  /// A store with a copy of `other`'s tree, standing at the same path in it,
  /// with the same logger. Nothing done to the copy changes `other`.
  SettingsManager(SettingsManager const& other)
      : LoggedComponent(other), tree_(other.tree_), stack_(other.stack_) {
    rebindPathStack(other);
  }

  /// Replaces this store's tree, position and logger with copies of `other`'s.
  SettingsManager& operator=(SettingsManager const& other);

  ~SettingsManager() override;

  /// Makes the child `name` of the current node current, creating it when
  /// missing. A dotted name ("A.B") is one step: one `pathPop` returns.
  void pathPush(std::string const& name);

  /// Makes the `index`-th direct child called `name` (from 0, in document
  /// order) current; `index` equal to the number of such children appends a
  /// new one. When `tree` is not null the selected child's content is first
  /// replaced by a copy of it.
  /// @throws std::out_of_range when `index` is negative or above the count;
  ///         the position is then unchanged.
  void pathPush(std::string const& name, int index, Tree const* tree);

  /// Returns to the node that was current before the last push and gives the
  /// path text of the node left.
  /// @throws std::out_of_range at the root; the position is then unchanged.
  std::string pathPop();

  /// Number of direct children of the current node called `name`.
  int getChildCount(std::string const& name) const;

  /// True when `key` names a node below the current node.
  bool exists(std::string const& key) const;

  /// Removes the node `key` names and its subtree; nothing happens when there
  /// is no such node.
  void deletePath(std::string const& key);

  /// The value at `key`: text as stored, numbers and bools converted in the
  /// classic locale. Logs a trace line "got <path>.<key>, value: <value>".
  /// @throws boost::property_tree::ptree_bad_path when there is no such node.
  /// @throws boost::property_tree::ptree_bad_data when the text is not a T.
  template <typename T>
  T get(std::string const& key) const {
    std::string const& text = currentNode().get_child(key).data();
    T value = settings_detail::fromText<T>(text);
    getLogger().traceStream() << "got " << currentPath() << "." << key << ", value: " << value;
    return value;
  }

  /// Puts `value` at `key`, creating missing levels and replacing an existing
  /// value (its children stay). Numbers are written in the classic locale with
  /// enough digits to read back exactly. Logs a debug line
  /// "set <path>.<key> to: <text>" before the write.
  template <typename T>
  void set(std::string const& key, T const& value) {
    std::string const text = settings_detail::toText(value);
    getLogger().debugStream() << "set " << currentPath() << "." << key << " to: " << text;
    currentNode().put(key, text);
  }

  /// Puts the text `value` at `key`, as `set<std::string>`.
  void set(std::string const& key, char const* value) { set(key, std::string(value)); }

  /// Reads the XML file `fileName` and merges it into the whole tree: a value
  /// in the file replaces the value at the same path, elements the tree lacks
  /// are added, and repeated elements of one name are matched by their
  /// position among the siblings of that name (the second <Transform> of the
  /// file merges into the second <Transform> of the tree). White space around
  /// values is trimmed and comments are dropped. Files nested deeper than
  /// `utils::MAX_XML_NESTING_DEPTH` levels are refused.
  /// @throws boost::property_tree::xml_parser_error naming the file, the line
  ///         and the reason when the file cannot be read or parsed; the tree
  ///         is then unchanged.
  void addXML(std::string const& fileName);

  /// Writes the whole tree as XML (utf-8, indented by 4 spaces) atomically:
  /// see `utils::writeXmlFile`.
  /// @throws boost::property_tree::xml_parser_error naming the file and reason.
  void writeXML(std::string const& fileName) const;

  /// Path text of the current node: the pushed names joined by '.', an
  /// indexed push shown as "name[index]"; empty at the root.
  std::string const& currentPath() const { return stack_.back().path; }

  /// Number of pushes not yet popped.
  std::size_t pathDepth() const { return stack_.size() - 1; }

  /// The whole tree and the current node.
  ///@{
  Tree const& tree() const { return tree_; }
  Tree const& currentNode() const { return *stack_.back().node; }
  ///@}

 private:
  struct Level {
    Tree* node;
    std::string path;
    /// Name given to the push that reached this level; a named push may
    /// descend several levels at once ("A.B"), an indexed one only one.
    std::string step;
    bool indexed = false;
  };

  Tree& currentNode() { return *stack_.back().node; }

  /// Points the copied stack at the nodes of this store's own tree that stand
  /// where `other`'s stack points in its tree.
  void rebindPathStack(SettingsManager const& other);

  Tree tree_;
  std::vector<Level> stack_;
};

}  // namespace ostrel
