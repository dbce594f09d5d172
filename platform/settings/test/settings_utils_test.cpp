#include <ostrel/settings/settings_utils.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using ostrel::SettingsManager;

TEST(SettingsUtils, VectorAndQuaternionReadBackWhatWasWritten) {
  SettingsManager settings;
  settings.pathPush("Position");
  ostrel::utils::setVector3f(settings, Eigen::Vector3f(1.25f, -2.5f, 1e-7f));
  EXPECT_EQ(settings.get<float>("x"), 1.25f);
  EXPECT_EQ(settings.get<float>("z"), 1e-7f);
  EXPECT_EQ(ostrel::utils::getVector3f(settings), Eigen::Vector3f(1.25f, -2.5f, 1e-7f));
  settings.pathPop();

  settings.pathPush("Quaternion");
  Eigen::Quaternionf const q(0.5f, -0.5f, 0.25f, 2.0f);  // w, x, y, z; deliberately not unit
  ostrel::utils::setQuaternionf(settings, q);
  EXPECT_EQ(settings.get<float>("w"), 0.5f);
  EXPECT_EQ(settings.get<float>("x"), -0.5f);
  Eigen::Quaternionf const read = ostrel::utils::getQuaternion(settings);
  EXPECT_EQ(read.coeffs(), q.coeffs());
}

TEST(SettingsUtils, MissingComponentThrows) {
  SettingsManager settings;
  settings.set("x", 1);
  settings.set("y", 2);
  EXPECT_THROW(ostrel::utils::getVector3f(settings), boost::property_tree::ptree_bad_path);
}

TEST(SettingsUtils, AngleRecordNamesItsUnits) {
  SettingsManager settings;
  ostrel::utils::setYPR(settings, Eigen::Vector3f(0.5f, -0.25f, 3.0f), ostrel::utils::RADIANS);
  EXPECT_EQ(settings.get<float>("yaw"), 0.5f);
  EXPECT_EQ(settings.get<float>("pitch"), -0.25f);
  EXPECT_EQ(settings.get<float>("roll"), 3.0f);
  EXPECT_EQ(settings.get<std::string>("units"), "radians");

  ostrel::utils::setYPR(settings, Eigen::Vector3f(90.0f, 0.0f, 0.0f), ostrel::utils::DEGREES);
  EXPECT_EQ(settings.get<float>("yaw"), 90.0f);
  EXPECT_EQ(settings.get<std::string>("units"), "degrees");

  EXPECT_EQ(static_cast<int>(ostrel::utils::RADIANS), 1);
  EXPECT_THROW(ostrel::utils::setYPR(settings, Eigen::Vector3f(1.0f, 2.0f, 3.0f),
                                     static_cast<ostrel::utils::EAngleUnits>(7)),
               std::invalid_argument);
  EXPECT_EQ(settings.get<float>("yaw"), 90.0f) << "nothing written for a bad selector";
}

}  // namespace
