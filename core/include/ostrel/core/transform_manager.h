#pragma once

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <boost/graph/adjacency_list.hpp>

#include <ostrel/core/export.h>
#include <ostrel/core/frames.h>
#include <ostrel/core/pose.h>
#include <ostrel/logging/logged_component.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>

namespace ostrel {

class SettingsManager;

/// Keeps the coordinate frames of an application (sensors, vehicle body,
/// world) as named vertices of a graph whose edges carry time-stamped poses,
/// and answers "what is the transform from frame A to frame B at time t".
///
/// Each transform is stored twice: the edge from→to holds the poses as given,
/// the edge to→from their inverses, under the same time keys. A transform
/// between frames that are already joined through other frames is refused, so
/// every pair of connected frames has exactly one path, and a lookup composes
/// the edge poses along it: for the path f₀ → f₁ → … → fₖ the result is
/// E(fₖ₋₁→fₖ) · … · E(f₀→f₁).
///
/// Time stamps are signed integers in the unit of the callers' data (the kit's
/// sensor clouds count nanoseconds); each edge keeps the entries of the last
/// `HISTORY_WINDOW` units. Time 0 marks a static transform.
///
/// Every member that reads or changes the frames or origins holds the
/// manager's recursive mutex for its whole run, so a manager may be shared
/// between threads. Messages go to the logger "TransformManager".
class OSTREL_CORE_EXPORT TransformManager : public LoggedComponent {
 public:
  /// A frame: its name.
  struct Vertex {
    std::string name;
  };

  /// The history of the transform from the edge's source frame to its target
  /// frame: key = time stamp as double, value = the pose at that time.
  struct Edge {
    std::map<double, Pose> poses;
  };

  /// Where a frame's origin lies, as the application recorded it.
  struct TransformManagerOrigin {
    std::string originFrame;
    Pose pose;
  };

  /// How a lookup picks the pose of an edge for a requested time.
  enum InterpolationMethod {
    /// The newest entry, whatever the requested time.
    MostRecent = 0,
    /// The entry at the time, a blend of its two neighbours, or a continuation
    /// of the last two entries beyond the newest.
    Extrapolated = 1,
    /// The entry at the time or a blend of its two neighbours; nothing beyond
    /// the newest.
    Interpolated = 2
  };

  /// Result codes of the members that return an `int`.
  enum TransformStatus {
    Success = 0,
    /// `getTransform` on a manager without frames.
    NoFrames = 1,
    /// Unknown frame, no path, empty history, or nothing to store.
    NotFound = 2,
    /// The requested time lies outside what an edge history can answer.
    OutOfRange = 3,
    /// `removeFrame` caught an exception.
    ExceptionCaught = 5
  };

  /// Frames in a vector, indexed in order of creation; at most one edge per
  /// ordered pair of frames.
  using FrameGraph = boost::adjacency_list<boost::setS, boost::vecS, boost::directedS, Vertex, Edge,
                                           boost::no_property, boost::listS>;
  /// The same graph with stable vertex descriptors, for removing a frame.
  using EditGraph = boost::adjacency_list<boost::setS, boost::listS, boost::directedS, Vertex, Edge,
                                          boost::no_property, boost::listS>;

  /// Time span, in time-stamp units, that an edge history keeps.
  static constexpr double HISTORY_WINDOW = 1e10;

  /// An empty manager logging as "TransformManager".
  TransformManager();
  ~TransformManager() override;

  TransformManager(TransformManager const&) = delete;
  TransformManager& operator=(TransformManager const&) = delete;

  /// Records `pose` as the transform from `from` to `to` at `time`, and its
  /// inverse as the transform back, creating the frames and their edges when
  /// needed. An existing entry of the same time is overwritten; entries more
  /// than `HISTORY_WINDOW` older than `time` are dropped, but never below two.
  /// A transform between frames already joined through others, or from a new
  /// frame to itself, is ignored with a warning.
  void setTransform(std::string const& from, std::string const& to, Pose const& pose, long time);

  /// The transform from `from` to `to` at `time`, each edge's pose chosen by
  /// `method`, composed along the path. The result's timestamp is the largest
  /// of `time` and the chosen poses' timestamps. Equal names give the identity
  /// and `Success` whether or not the frame exists.
  /// @return `Success`, `NoFrames`, `NotFound` or `OutOfRange`; `pose` is the
  ///         default pose unless the result is `Success`.
  int getTransform(std::string const& from, std::string const& to, long time,
                   InterpolationMethod method, Pose& pose) const;

  /// The newest transform from `from` to `to` (time 0, `MostRecent`).
  int getTransform(std::string const& from, std::string const& to, Pose& pose) const;

  /// True when both frames exist, have no edge between them and are joined
  /// through other frames.
  bool indirectConnectionExists(std::string const& from, std::string const& to) const;

  /// Removes `frame` and its edges. Its former neighbours stay connected as a
  /// star around the first of them (in frame order), through static
  /// transforms equal to their newest transforms through `frame`; the other
  /// frames keep their order and histories. All or nothing: when a
  /// `std::exception` occurs the manager is unchanged, the exception is
  /// logged and emitted to the `connectionException` slots.
  /// @return `Success`, `NotFound` for an unknown name, or `ExceptionCaught`.
  int removeFrame(std::string const& frame);

  /// Renames the frame `currentName` to `newName`; edges, histories and
  /// origins stay as they are.
  /// @return `Success`, or `NotFound` when there is no such frame or another
  ///         frame already has `newName` (then with a warning).
  int updateFrameName(std::string const& currentName, std::string const& newName);

  /// All frame names in frame order (order of creation).
  std::vector<std::string> getFrames() const;

  /// Records `originFrame` and `pose` as the origin of `frame`, replacing an
  /// earlier record. Origins play no part in lookups.
  void setOrigin(std::string const& frame, std::string const& originFrame, Pose const& pose);

  /// Copies the origin record of `frame` into the outputs and returns true;
  /// returns false and leaves the outputs alone when there is none.
  bool getOrigin(std::string const& frame, std::string& originFrame, Pose& pose) const;

  /// Connects `slot` to the exceptions that `removeFrame` catches.
  otl::Connection connectionException(std::function<void(std::exception_ptr)> const& slot);

  /// Chooses the pose of one edge history for `time` under `method`. A single
  /// static entry (key 0) answers every time. Between two entries the pose is
  /// blended; beyond the newest, `Extrapolated` continues the last two
  /// entries' motion and `Interpolated` refuses with a warning.
  /// @return `Success`; `NotFound` for an empty history; `OutOfRange` before
  ///         the oldest entry or for `Interpolated` beyond the newest (`pose`
  ///         default), and more than `HISTORY_WINDOW` after the newest entry
  ///         (`pose` the newest entry).
  int getTransformFromPoseMap(std::map<double, Pose> const& poses, long time,
                              InterpolationMethod method, Pose& pose) const;

  /// The blend of `before` and `after` at `fraction` (0 gives `before`, 1
  /// `after`, beyond 1 continues): positions linearly, orientations by slerp
  /// along the shorter arc (not normalised), timestamps linearly.
  Pose interpolateTransform(Pose const& before, Pose const& after, float fraction) const;

  /// Replaces every frame with the static transforms of the "Transforms" list
  /// at the store's current node (none when the node is missing), read in
  /// document order through `setTransform`; empties the origin table. The
  /// store's position does not move.
  /// @throws boost::property_tree::ptree_bad_path or ptree_bad_data for a
  ///         record with a missing key or an unreadable number; the manager is
  ///         then exactly as it was before the call.
  /// @return `Success`.
  int loadTransforms(SettingsManager const& settings);

  /// Writes one transform record ("fromFrameName", "toFrameName" and the pose
  /// record) at the store's current node.
  void storeTransform(std::string const& from, std::string const& to, Pose const& pose,
                      SettingsManager& settings) const;

  /// Writes one record per directly connected pair of frames into the
  /// "Transforms" list at the store's current node, numbered from 0: source the
  /// later-created frame, target the earlier, holding the newest transform.
  /// With `clear` the list is deleted first; otherwise records beyond the new
  /// ones stay. The store's position is restored even when a write throws.
  /// @return `Success`, or `NotFound` without touching the store when the
  ///         manager has no frames.
  int storeTransforms(SettingsManager& settings, bool clear) const;

 private:
  /// The rules of `setTransform`, applied to `graph`.
  void defineTransform(FrameGraph& graph, std::string const& from, std::string const& to,
                       Pose const& pose, long time) const;

  /// The rules of `indirectConnectionExists`, applied to `graph`.
  bool connectedIndirectly(FrameGraph const& graph, std::string const& from,
                           std::string const& to) const;

  /// The rules of `getTransform`, applied to `graph`.
  int lookupTransform(FrameGraph const& graph, std::string const& from, std::string const& to,
                      long time, InterpolationMethod method, Pose& pose) const;

  /// Held by pointer so that a rebuilt graph replaces it without a copy:
  /// Boost's own swap copies both graphs and can fail halfway.
  std::unique_ptr<FrameGraph> graph_;
  std::map<std::string, TransformManagerOrigin> origins_;
  mutable std::recursive_mutex mutex_;
  otl::Signal<std::exception_ptr> exception_signal_;
};

}  // namespace ostrel
