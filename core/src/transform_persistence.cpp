#include <ostrel/core/transform_manager.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include <ostrel/core/pose_settings.h>
#include <ostrel/settings/settings_manager.h>

namespace ostrel {

namespace {

std::string const TRANSFORMS_TAG = "Transforms";
std::string const TRANSFORM_TAG = "Transform";
std::string const FROM_FRAME_TAG = "fromFrameName";
std::string const TO_FRAME_TAG = "toFrameName";

/// Pops the pushes made since construction when it goes out of scope, so a
/// write that throws leaves the store where the caller had it.
class PathRestorer {
 public:
  explicit PathRestorer(SettingsManager& settings)
      : settings_(settings), depth_(settings.pathDepth()) {}
  ~PathRestorer() {
    while (settings_.pathDepth() > depth_) {
      settings_.pathPop();
    }
  }
  PathRestorer(PathRestorer const&) = delete;
  PathRestorer& operator=(PathRestorer const&) = delete;

 private:
  SettingsManager& settings_;
  std::size_t depth_;
};

}  // namespace

int TransformManager::loadTransforms(SettingsManager const& settings) {
  SettingsManager records(settings);
  records.pathPush(TRANSFORMS_TAG);
  int const count = records.getChildCount(TRANSFORM_TAG);

  std::lock_guard<std::recursive_mutex> lock(mutex_);
  // Read into a fresh graph and take it over only when every record was
  // readable: a bad record must not cost the frames the manager already has.
  auto loaded = std::make_unique<FrameGraph>();
  for (int index = 0; index < count; ++index) {
    records.pathPush(TRANSFORM_TAG, index, nullptr);
    Pose const pose = getPose(records);
    std::string const from = records.get<std::string>(FROM_FRAME_TAG);
    std::string const to = records.get<std::string>(TO_FRAME_TAG);
    defineTransform(*loaded, from, to, pose, 0);
    records.pathPop();
  }
  graph_.swap(loaded);
  origins_.clear();
  return Success;
}

void TransformManager::storeTransform(std::string const& from, std::string const& to,
                                      Pose const& pose, SettingsManager& settings) const {
  settings.set<std::string>(FROM_FRAME_TAG, from);
  settings.set<std::string>(TO_FRAME_TAG, to);
  setPose(settings, pose);
}

int TransformManager::storeTransforms(SettingsManager& settings, bool clear) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  FrameGraph const& graph = *graph_;
  std::size_t const count = boost::num_vertices(graph);
  if (count == 0) {
    return NotFound;
  }
  if (clear) {
    settings.deletePath(TRANSFORMS_TAG);
  }
  PathRestorer restorer(settings);
  settings.pathPush(TRANSFORMS_TAG);
  int written = 0;
  // Each pair once: the later-created frame as source, the earlier as target.
  for (std::size_t source = 0; source < count; ++source) {
    for (std::size_t target = 0; target < source; ++target) {
      if (!boost::edge(source, target, graph).second) {
        continue;
      }
      Pose pose;
      if (lookupTransform(graph, graph[source].name, graph[target].name, 0, MostRecent, pose) !=
          Success) {
        continue;
      }
      settings.pathPush(TRANSFORM_TAG, written, nullptr);
      storeTransform(graph[source].name, graph[target].name, pose, settings);
      settings.pathPop();
      ++written;
    }
  }
  settings.pathPop();
  return Success;
}

}  // namespace ostrel
