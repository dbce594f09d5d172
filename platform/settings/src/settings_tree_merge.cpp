#include <ostrel/settings/settings_tree_merge.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace ostrel::utils {

void mergeSettingsTree(boost::property_tree::ptree& base,
                       boost::property_tree::ptree const& overlay) {
  using Tree = boost::property_tree::ptree;
  if (overlay.empty() || !overlay.data().empty()) {
    base.data() = overlay.data();
  }
  if (overlay.empty()) {
    return;
  }

  // The children of `base` by name, in document order, so that the k-th
  // overlay child of a name finds its partner without rescanning.
  std::unordered_map<std::string, std::vector<Tree*>> byName;
  for (auto& child : base) {
    byName[child.first].push_back(&child.second);
  }
  std::unordered_map<std::string, std::size_t> seen;
  for (auto const& child : overlay) {
    std::size_t const occurrence = seen[child.first]++;
    auto const partners = byName.find(child.first);
    if (partners != byName.end() && occurrence < partners->second.size()) {
      mergeSettingsTree(*partners->second[occurrence], child.second);
    } else {
      base.push_back(child);
    }
  }
}

}  // namespace ostrel::utils
