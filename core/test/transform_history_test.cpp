#include <ostrel/core/transform_manager.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "transform_test_support.h"

namespace ostrel {
namespace {

using Eigen::Vector3f;
using testing::isDefault;
using testing::makePose;
using testing::samePlacement;
using Texts = std::vector<std::string>;
using Method = TransformManager::InterpolationMethod;

constexpr long WINDOW = 10000000000L;

std::string const OUT_OF_RANGE_WARNING =
    "Transform time out of range using Interpolated.  Likely sensor data has come in before INS "
    "data. Using extrapolated or MostRecent may be better";

Texts searchTrace(long time, long before, long after) {
  return {"Searching for pose with time " + std::to_string(time),
          "Pose before                  " + std::to_string(before),
          "Pose after                   " + std::to_string(after)};
}

/// Pose of the {100, 200} history at fraction f: both endpoints turn about Z,
/// so the blend is the position line and the angle line at f.
Pose lineAt(double f) {
  return makePose(Vector3f(1.0f, 2.0f, 3.0f) + static_cast<float>(f) * Vector3f(2.0f, 4.0f, 6.0f),
                  static_cast<float>(0.2 + 0.4 * f), Vector3f::UnitZ(),
                  static_cast<std::int64_t>(std::lround(100 + 100 * f)));
}

/// What a lookup in the {100: P₁, 200: P₂} history should give.
struct HistoryCase {
  std::string name;
  long time;
  Method method;
  int status;
  /// Fraction along the line, or NaN for the default pose.
  double fraction;
  bool traced;
  bool warned;
};

void PrintTo(HistoryCase const& c, std::ostream* out) { *out << c.name; }

class HistoryLookup : public testing::TransformLogging,
                      public ::testing::WithParamInterface<HistoryCase> {
 protected:
  void SetUp() override {
    TransformLogging::SetUp();
    load("logger.TransformManager=trace");
  }
  TransformManager manager_;
};

double const NONE = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    TwoEntries, HistoryLookup,
    ::testing::Values(
        HistoryCase{"InterpolatedHalfway", 150, TransformManager::Interpolated, 0, 0.5, true,
                    false},
        HistoryCase{"ExtrapolatedHalfway", 150, TransformManager::Extrapolated, 0, 0.5, true,
                    false},
        HistoryCase{"ExactOldest", 100, TransformManager::Interpolated, 0, 0.0, false, false},
        HistoryCase{"ExactNewest", 200, TransformManager::Extrapolated, 0, 1.0, false, false},
        HistoryCase{"BeforeOldestInterpolated", 50, TransformManager::Interpolated, 3, NONE, false,
                    false},
        HistoryCase{"BeforeOldestExtrapolated", 50, TransformManager::Extrapolated, 3, NONE, false,
                    false},
        HistoryCase{"BeyondNewestInterpolated", 250, TransformManager::Interpolated, 3, NONE, true,
                    true},
        HistoryCase{"BeyondNewestExtrapolated", 250, TransformManager::Extrapolated, 0, 1.5, true,
                    false},
        HistoryCase{"PastTheWindow", 200 + WINDOW + 1, TransformManager::Extrapolated, 3, 1.0,
                    false, false},
        HistoryCase{"MostRecentEarly", 50, TransformManager::MostRecent, 0, 1.0, false, false},
        HistoryCase{"MostRecentLate", 900, TransformManager::MostRecent, 0, 1.0, false, false}),
    [](auto const& info) { return info.param.name; });

TEST_P(HistoryLookup, ChoosesOrBlendsTheEntries) {
  HistoryCase const& c = GetParam();
  std::map<double, Pose> const history{{100.0, lineAt(0.0)}, {200.0, lineAt(1.0)}};
  Pose pose = makePose({9.0f, 9.0f, 9.0f}, 1.0f);
  EXPECT_EQ(manager_.getTransformFromPoseMap(history, c.time, c.method, pose), c.status);
  if (std::isnan(c.fraction)) {
    EXPECT_TRUE(isDefault(pose));
  } else {
    Pose const expected = lineAt(c.fraction);
    EXPECT_TRUE(samePlacement(pose, expected));
    EXPECT_EQ(pose.timestamp, expected.timestamp);
  }
  EXPECT_EQ(traces(), c.traced ? searchTrace(c.time, 100, 200) : Texts{});
  EXPECT_EQ(warnings(), c.warned ? Texts{OUT_OF_RANGE_WARNING} : Texts{});
}

class PoseMapTest : public testing::TransformLogging {
 protected:
  void SetUp() override {
    TransformLogging::SetUp();
    load("logger.TransformManager=trace");
  }
  TransformManager manager_;
};

TEST_F(PoseMapTest, AnEmptyHistoryIsNotFound) {
  Pose pose = makePose({1.0f, 0.0f, 0.0f}, 1.0f);
  EXPECT_EQ(manager_.getTransformFromPoseMap({}, 5, TransformManager::MostRecent, pose),
            TransformManager::NotFound);
  EXPECT_TRUE(isDefault(pose));
}

TEST_F(PoseMapTest, ASingleStaticEntryAnswersEveryTimeUnderEveryMethod) {
  Pose const fixed = makePose({1.0f, 2.0f, 3.0f}, 0.7f, Vector3f::UnitY(), 77);
  std::map<double, Pose> const history{{0.0, fixed}};
  for (Method method : {TransformManager::MostRecent, TransformManager::Extrapolated,
                        TransformManager::Interpolated}) {
    for (long time : {-5L, 0L, 123L, 3 * WINDOW}) {
      Pose pose;
      EXPECT_EQ(manager_.getTransformFromPoseMap(history, time, method, pose),
                TransformManager::Success);
      EXPECT_TRUE(samePlacement(pose, fixed));
      EXPECT_EQ(pose.timestamp, 77);
    }
  }
  EXPECT_TRUE(traces().empty());
}

TEST_F(PoseMapTest, ASingleTimedEntryHoldsForTheWindowAfterIt) {
  Pose const only = makePose({1.0f, 2.0f, 3.0f}, 0.7f, Vector3f::UnitY(), 100);
  std::map<double, Pose> const history{{100.0, only}};
  for (Method method : {TransformManager::Extrapolated, TransformManager::Interpolated}) {
    clearRecords();
    Pose pose;
    EXPECT_EQ(manager_.getTransformFromPoseMap(history, 100, method, pose),
              TransformManager::Success);
    EXPECT_TRUE(samePlacement(pose, only));
    EXPECT_TRUE(traces().empty());

    EXPECT_EQ(manager_.getTransformFromPoseMap(history, 100 + WINDOW, method, pose),
              TransformManager::Success);
    EXPECT_TRUE(samePlacement(pose, only));
    EXPECT_EQ(traces(), searchTrace(100 + WINDOW, 100, 100));

    EXPECT_EQ(manager_.getTransformFromPoseMap(history, 99, method, pose),
              TransformManager::OutOfRange);
    EXPECT_TRUE(isDefault(pose));

    EXPECT_EQ(manager_.getTransformFromPoseMap(history, 101 + WINDOW, method, pose),
              TransformManager::OutOfRange);
    EXPECT_TRUE(samePlacement(pose, only));
    EXPECT_TRUE(warnings().empty());
  }
}

TEST_F(PoseMapTest, BlendingAnOrientationWithItsNegativeKeepsIt) {
  Pose a = makePose({0.0f, 0.0f, 0.0f}, 0.9f, Vector3f(1.0f, 2.0f, 3.0f));
  Pose b = a;
  b.orientation.coeffs() = -a.orientation.coeffs();
  for (float f : {0.0f, 0.25f, 0.5f, 1.0f, 1.5f}) {
    Pose const blended = manager_.interpolateTransform(a, b, f);
    EXPECT_TRUE(blended.orientation.coeffs().isApprox(a.orientation.coeffs(), 1e-6f)) << f;
  }
}

TEST_F(PoseMapTest, BlendedNanosecondStampsOfCurrentDatesStayExact) {
  std::int64_t const start = 1733900000123456789;
  Pose a;
  a.timestamp = start;
  Pose b;
  b.timestamp = start + 100000000;  // 0.1 s later
  EXPECT_EQ(manager_.interpolateTransform(a, b, 0.25f).timestamp, start + 25000000);
  EXPECT_EQ(manager_.interpolateTransform(a, b, 1.5f).timestamp, start + 150000000);
  EXPECT_EQ(manager_.interpolateTransform(b, a, 0.5f).timestamp, start + 50000000);
}

/// Histories seen through setTransform and getTransform.
class RecordedHistory : public testing::TransformLogging {
 protected:
  /// Records at each time a pose whose x is the time, so a lookup shows
  /// which entry answered.
  void record(std::vector<long> const& times) {
    for (long time : times) {
      manager_.setTransform("A", "B", makePose({static_cast<float>(time), 0.0f, 0.0f}, 0.0f), time);
    }
  }

  int lookup(std::string const& from, std::string const& to, long time, Pose& pose) {
    return manager_.getTransform(from, to, time, TransformManager::Interpolated, pose);
  }

  /// The oldest key is `oldest` when the lookup there succeeds and one unit
  /// before it is out of range, in both directions.
  void expectOldest(long oldest) {
    Pose pose;
    EXPECT_EQ(lookup("A", "B", oldest, pose), TransformManager::Success) << oldest;
    EXPECT_FLOAT_EQ(pose.position.x(), static_cast<float>(oldest));
    EXPECT_EQ(lookup("A", "B", oldest - 1, pose), TransformManager::OutOfRange) << oldest;
    EXPECT_EQ(lookup("B", "A", oldest, pose), TransformManager::Success) << oldest;
    EXPECT_FLOAT_EQ(pose.position.x(), -static_cast<float>(oldest));
    EXPECT_EQ(lookup("B", "A", oldest - 1, pose), TransformManager::OutOfRange) << oldest;
  }

  TransformManager manager_;
};

TEST_F(RecordedHistory, TrimsFromTheKeyJustRecordedKeepingAtLeastTwo) {
  record({10, 20, 30, WINDOW + 25});
  expectOldest(30);
}

TEST_F(RecordedHistory, KeepsEntriesWithinTheWindowOfTheNewKey) {
  record({10, 20, 30, WINDOW + 15});
  expectOldest(20);
  Pose pose;
  EXPECT_EQ(lookup("A", "B", 25, pose), TransformManager::Success);
  EXPECT_FLOAT_EQ(pose.position.x(), 25.0f);
}

TEST_F(RecordedHistory, NeverTrimsBelowTwoEntries) {
  record({10, 20, 5 * WINDOW});
  expectOldest(20);
}

TEST_F(RecordedHistory, ALateEntryIsMeasuredFromItsOwnKey) {
  record({WINDOW + 100, 10, 20});
  expectOldest(10);
}

TEST_F(RecordedHistory, RecordingATimeAgainOverwritesIt) {
  record({10, 20});
  manager_.setTransform("A", "B", makePose({-3.0f, 0.0f, 0.0f}, 0.0f), 20);
  Pose pose;
  EXPECT_EQ(lookup("A", "B", 20, pose), TransformManager::Success);
  EXPECT_FLOAT_EQ(pose.position.x(), -3.0f);
  EXPECT_EQ(lookup("A", "B", 15, pose), TransformManager::Success);
  EXPECT_FLOAT_EQ(pose.position.x(), 3.5f);
}

TEST_F(RecordedHistory, TheResultStampIsTheSignedMaximumOfTimeAndChosenStamps) {
  // Time 0 keeps the pose's own stamp; other times replace it.
  manager_.setTransform("A", "B", makePose({1.0f, 0.0f, 0.0f}, 0.0f, Vector3f::UnitZ(), 500), 0);
  manager_.setTransform("B", "C", makePose({1.0f, 0.0f, 0.0f}, 0.0f, Vector3f::UnitZ(), -5), 0);
  manager_.setTransform("C", "D", makePose({1.0f, 0.0f, 0.0f}, 0.0f, Vector3f::UnitZ(), 9), 300);
  Pose pose;
  EXPECT_EQ(manager_.getTransform("B", "C", pose), TransformManager::Success);
  EXPECT_EQ(pose.timestamp, 0);
  EXPECT_EQ(manager_.getTransform("C", "B", -40, TransformManager::MostRecent, pose),
            TransformManager::Success);
  EXPECT_EQ(pose.timestamp, -5);
  EXPECT_EQ(manager_.getTransform("C", "D", pose), TransformManager::Success);
  EXPECT_EQ(pose.timestamp, 300);
  EXPECT_EQ(manager_.getTransform("A", "D", 400, TransformManager::Extrapolated, pose),
            TransformManager::Success);
  EXPECT_EQ(pose.timestamp, 500);
  EXPECT_FLOAT_EQ(pose.position.x(), 3.0f);
}

TEST_F(RecordedHistory, ALookupStopsAtTheFirstEdgeThatCannotAnswer) {
  manager_.setTransform("A", "B", makePose({1.0f, 0.0f, 0.0f}, 0.0f), 100);
  manager_.setTransform("A", "B", makePose({2.0f, 0.0f, 0.0f}, 0.0f), 200);
  manager_.setTransform("B", "C", makePose({0.0f, 1.0f, 0.0f}, 0.0f), 0);
  Pose pose;
  EXPECT_EQ(manager_.getTransform("A", "C", 150, TransformManager::Interpolated, pose),
            TransformManager::Success);
  EXPECT_TRUE(samePlacement(pose, makePose({1.5f, 1.0f, 0.0f}, 0.0f)));
  EXPECT_EQ(pose.timestamp, 150);

  EXPECT_EQ(manager_.getTransform("C", "A", 50, TransformManager::Extrapolated, pose),
            TransformManager::OutOfRange);
  EXPECT_TRUE(isDefault(pose));
  EXPECT_EQ(manager_.getTransform("A", "C", 300 + WINDOW, TransformManager::Extrapolated, pose),
            TransformManager::OutOfRange);
  EXPECT_TRUE(isDefault(pose));
  EXPECT_EQ(manager_.getTransform("C", "A", 250, TransformManager::Interpolated, pose),
            TransformManager::OutOfRange);
  EXPECT_EQ(warnings(), Texts{OUT_OF_RANGE_WARNING});
}

}  // namespace
}  // namespace ostrel
