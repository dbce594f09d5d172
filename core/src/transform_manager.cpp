// GCC 12 reports boost::optional members inside Boost.Graph's edge iterators
// (used by copy_graph) as possibly uninitialised: a known false positive.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <ostrel/core/transform_manager.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <boost/container/small_vector.hpp>
#include <boost/graph/breadth_first_search.hpp>
#include <boost/graph/copy.hpp>
#include <boost/property_map/property_map.hpp>

#include "transform_history.h"

namespace ostrel {

namespace {

using FrameGraph = TransformManager::FrameGraph;
using EditGraph = TransformManager::EditGraph;
using VertexIndex = FrameGraph::vertex_descriptor;

/// Graphs up to this many frames are searched without touching the heap.
constexpr std::size_t INLINE_FRAMES = 32;

template <typename T>
using FrameArray = boost::container::small_vector<T, INLINE_FRAMES>;

/// First-in first-out buffer of the breadth-first search. Every frame enters
/// it at most once, so it only grows and never needs to wrap. It reads as
/// empty once the target frame has entered: the path to it is then known and
/// a forest has no other.
class SearchQueue {
 public:
  using value_type = VertexIndex;
  using size_type = std::size_t;

  explicit SearchQueue(VertexIndex target) : target_(target) {}

  void push(value_type vertex) {
    items_.push_back(vertex);
    reached_ = reached_ || vertex == target_;
  }
  void pop() { ++head_; }
  value_type& top() { return items_[head_]; }
  value_type const& top() const { return items_[head_]; }
  size_type size() const { return reached_ ? 0 : items_.size() - head_; }
  bool empty() const { return reached_ || head_ == items_.size(); }

 private:
  FrameArray<value_type> items_;
  size_type head_ = 0;
  VertexIndex target_;
  bool reached_ = false;
};

/// Index of the first frame called `name`.
std::optional<VertexIndex> findFrame(FrameGraph const& graph, std::string const& name) {
  for (VertexIndex vertex = 0, count = boost::num_vertices(graph); vertex < count; ++vertex) {
    if (graph[vertex].name == name) {
      return vertex;
    }
  }
  return std::nullopt;
}

/// Search visitor that keeps, for each frame reached, the edge it was
/// reached through.
struct TreeEdgeRecorder {
  using event_filter = boost::on_tree_edge;
  FrameArray<std::optional<FrameGraph::edge_descriptor>>* edges;
  void operator()(FrameGraph::edge_descriptor edge, FrameGraph const& graph) const {
    (*edges)[boost::target(edge, graph)] = edge;
  }
};

/// `pose` as an affine transform: the matrix of `Pose::toTransform` without
/// its constant bottom row.
Eigen::AffineCompact3f affineOf(Pose const& pose) {
  Eigen::AffineCompact3f transform;
  transform.linear() = pose.orientation.toRotationMatrix();
  transform.translation() = pose.position;
  return transform;
}

}  // namespace

TransformManager::TransformManager()
    : LoggedComponent("TransformManager"), graph_(std::make_unique<FrameGraph>()) {}

TransformManager::~TransformManager() = default;

void TransformManager::setTransform(std::string const& from, std::string const& to,
                                    Pose const& pose, long time) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  defineTransform(*graph_, from, to, pose, time);
}

void TransformManager::defineTransform(FrameGraph& graph, std::string const& from,
                                       std::string const& to, Pose const& pose, long time) const {
  std::optional<VertexIndex> source = findFrame(graph, from);
  std::optional<VertexIndex> target = findFrame(graph, to);
  if (from == to && !source) {
    // Two frames of one name would make every later lookup of it ambiguous.
    getLogger().warn("Attempting to define transform from frame " + from +
                     " to itself. This new inputted transform will be ignored.");
    return;
  }
  if (connectedIndirectly(graph, from, to)) {
    getLogger().warn("Attempting to define transform between frames " + from + " and " + to +
                     " which already have an indirect connection.This new inputted transform "
                     "will be ignored.");
    return;
  }
  Pose const inverse = pose.toInversePose();
  if (!source) {
    source = boost::add_vertex(Vertex{from}, graph);
  }
  if (!target) {
    target = boost::add_vertex(Vertex{to}, graph);
  }
  auto forward = boost::edge(*source, *target, graph);
  if (!forward.second) {
    forward = boost::add_edge(*source, *target, graph);
    boost::add_edge(*target, *source, graph);
  }
  auto const backward = boost::edge(*target, *source, graph);
  transform_detail::recordPose(graph[forward.first].poses, pose, time);
  transform_detail::recordPose(graph[backward.first].poses, inverse, time);
}

int TransformManager::getTransform(std::string const& from, std::string const& to, long time,
                                   InterpolationMethod method, Pose& pose) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return lookupTransform(*graph_, from, to, time, method, pose);
}

int TransformManager::getTransform(std::string const& from, std::string const& to,
                                   Pose& pose) const {
  return getTransform(from, to, 0, MostRecent, pose);
}

int TransformManager::lookupTransform(FrameGraph const& graph, std::string const& from,
                                      std::string const& to, long time, InterpolationMethod method,
                                      Pose& pose) const {
  pose = Pose();
  if (from == to) {
    return Success;
  }
  std::size_t const count = boost::num_vertices(graph);
  if (count == 0) {
    return NoFrames;
  }
  std::optional<VertexIndex> source;
  std::optional<VertexIndex> target;
  for (VertexIndex vertex = 0; vertex < count && !(source && target); ++vertex) {
    std::string const& name = graph[vertex].name;
    if (!source && name == from) {
      source = vertex;
    } else if (!target && name == to) {
      target = vertex;
    }
  }
  if (!source || !target) {
    return NotFound;
  }

  // The tree edge into each frame reached; the walk back follows them from
  // the target to the source.
  FrameArray<std::optional<FrameGraph::edge_descriptor>> treeEdges(count);
  FrameArray<boost::default_color_type> colors(count);
  SearchQueue queue(*target);
  // The colours start white (value 0), so the search needs no set-up pass.
  boost::breadth_first_visit(
      graph, *source, queue, boost::make_bfs_visitor(TreeEdgeRecorder{&treeEdges}),
      boost::make_iterator_property_map(colors.begin(), boost::get(boost::vertex_index, graph)));
  if (!treeEdges[*target]) {
    return NotFound;
  }

  // Walking back from the target multiplies the edges on from the right, so
  // the result is E(fₖ₋₁→fₖ) · … · E(f₀→f₁).
  Eigen::AffineCompact3f transform = Eigen::AffineCompact3f::Identity();
  std::int64_t stamp = time;
  for (VertexIndex vertex = *target; vertex != *source;) {
    std::optional<FrameGraph::edge_descriptor> const& step = treeEdges[vertex];
    if (!step) {
      getLogger().warn("No path available for " + graph[*source].name + " to " +
                       graph[*target].name + "_T_");
      return NotFound;
    }
    Pose chosen;
    int const status = getTransformFromPoseMap(graph[*step].poses, time, method, chosen);
    if (status != Success) {
      return status;
    }
    transform = transform * affineOf(chosen);
    stamp = std::max(stamp, chosen.timestamp);
    vertex = boost::source(*step, graph);
  }
  pose.position = transform.translation();
  pose.orientation = Eigen::Quaternionf(transform.linear());
  pose.timestamp = stamp;
  return Success;
}

bool TransformManager::indirectConnectionExists(std::string const& from,
                                                std::string const& to) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return connectedIndirectly(*graph_, from, to);
}

bool TransformManager::connectedIndirectly(FrameGraph const& graph, std::string const& from,
                                           std::string const& to) const {
  std::optional<VertexIndex> const source = findFrame(graph, from);
  std::optional<VertexIndex> const target = findFrame(graph, to);
  if (!source || !target) {
    return false;
  }
  if (boost::edge(*source, *target, graph).second) {
    return false;
  }
  Pose unused;
  return lookupTransform(graph, from, to, 0, MostRecent, unused) == Success;
}

int TransformManager::removeFrame(std::string const& frame) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  try {
    FrameGraph const& graph = *graph_;
    EditGraph edit;
    boost::copy_graph(graph, edit);
    std::optional<EditGraph::vertex_descriptor> removed;
    for (auto const vertex : boost::make_iterator_range(boost::vertices(edit))) {
      if (edit[vertex].name == frame) {
        removed = vertex;
        break;
      }
    }
    if (!removed) {
      return NotFound;
    }

    // The neighbours lose their path through the frame; the newest
    // transforms through it, taken now, join them again as a star.
    VertexIndex const frameIndex = *findFrame(graph, frame);
    std::optional<std::string> reference;
    std::vector<std::pair<std::string, Pose>> bridges;
    for (VertexIndex vertex = 0, count = boost::num_vertices(graph); vertex < count; ++vertex) {
      std::string const& name = graph[vertex].name;
      if (name == frame || !boost::edge(vertex, frameIndex, graph).second) {
        continue;
      }
      if (!reference) {
        reference = name;
      } else {
        Pose bridge;
        lookupTransform(graph, *reference, name, 0, MostRecent, bridge);
        bridges.emplace_back(name, bridge);
      }
    }

    boost::clear_vertex(*removed, edit);
    boost::remove_vertex(*removed, edit);

    // Survivors are numbered in list order, so they keep their relative order.
    std::map<EditGraph::vertex_descriptor, std::size_t> order;
    for (auto const vertex : boost::make_iterator_range(boost::vertices(edit))) {
      order.emplace(vertex, order.size());
    }
    auto rebuilt = std::make_unique<FrameGraph>();
    boost::copy_graph(edit, *rebuilt,
                      boost::vertex_index_map(boost::make_assoc_property_map(order)));
    for (auto const& [name, bridge] : bridges) {
      defineTransform(*rebuilt, *reference, name, bridge, 0);
    }
    graph_.swap(rebuilt);
    return Success;
  } catch (std::exception const& error) {
    getLogger().warn(std::string("Exception caught in TransformManager::removeFrame:") +
                     error.what());
    exception_signal_.emit(std::current_exception());
    return ExceptionCaught;
  }
}

int TransformManager::updateFrameName(std::string const& currentName, std::string const& newName) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::optional<VertexIndex> const renamed = findFrame(*graph_, currentName);
  if (!renamed) {
    return NotFound;
  }
  std::optional<VertexIndex> const holder = findFrame(*graph_, newName);
  if (holder && *holder != *renamed) {
    getLogger().warn("Cannot rename frame " + currentName + " to " + newName +
                     ": a frame of that name already exists. Both frames keep their names.");
    return NotFound;
  }
  (*graph_)[*renamed].name = newName;
  return Success;
}

std::vector<std::string> TransformManager::getFrames() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::vector<std::string> names;
  names.reserve(boost::num_vertices(*graph_));
  for (auto const vertex : boost::make_iterator_range(boost::vertices(*graph_))) {
    names.push_back((*graph_)[vertex].name);
  }
  return names;
}

void TransformManager::setOrigin(std::string const& frame, std::string const& originFrame,
                                 Pose const& pose) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  origins_[frame] = TransformManagerOrigin{originFrame, pose};
}

bool TransformManager::getOrigin(std::string const& frame, std::string& originFrame,
                                 Pose& pose) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  auto const found = origins_.find(frame);
  if (found == origins_.end()) {
    return false;
  }
  originFrame = found->second.originFrame;
  pose = found->second.pose;
  return true;
}

otl::Connection TransformManager::connectionException(
    std::function<void(std::exception_ptr)> const& slot) {
  return exception_signal_.connect(slot);
}

}  // namespace ostrel
