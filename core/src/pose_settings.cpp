#include <ostrel/core/pose_settings.h>

#include <ostrel/settings/settings_utils.h>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/math/constants/constants.hpp>

#include <locale>
#include <string>

namespace ostrel {

namespace {

char const* const RADIANS_TEXT = "radians";
char const* const DEGREES_TEXT = "degrees";

/// Reads the orientation named by the record's "orientationMethod" at the
/// current node of `record`.
Eigen::Quaternionf readOrientation(SettingsManager& record) {
  std::string const methodText = record.get<std::string>("orientationMethod");
  // Classic-locale lower-casing maps ASCII letters only, whatever the
  // program's global locale.
  std::string const method = boost::algorithm::to_lower_copy(methodText, std::locale::classic());
  Eigen::Quaternionf orientation = Eigen::Quaternionf::Identity();
  if (method == "quaternion") {
    record.pathPush("Quaternion");
    orientation = utils::getQuaternion(record);
    record.pathPop();
  } else if (method == "eulerypr") {
    record.pathPush("EulerYPR");
    orientation = getQuaternionFromYPR(record);
    record.pathPop();
  } else {
    // Kept as the identity for files that rely on it, but made visible: a
    // misspelt method would otherwise place the frame unrotated unnoticed.
    record.getLogger().warnStream() << "unknown orientationMethod \"" << methodText << "\" at \""
                                    << record.currentPath() << "\"; using the identity orientation";
  }
  return orientation;
}

}  // namespace

Pose getPose(SettingsManager const& settings) {
  SettingsManager record(settings);
  Pose pose;
  record.pathPush("Position");
  pose.position = utils::getVector3f(record);
  record.pathPop();
  pose.orientation = readOrientation(record);
  return pose;
}

void setPose(SettingsManager& settings, Pose pose) {
  // Normalised before it becomes a matrix: the matrix of a non-unit quaternion
  // is not a rotation, and the quaternion read back from it would turn by a
  // different angle. The matrix round trip then gives the rule's sign.
  pose.orientation.normalize();
  Eigen::Matrix4f const transform = pose.toTransform();
  Eigen::Quaternionf const unit =
      Eigen::Quaternionf(Eigen::Matrix3f(transform.topLeftCorner<3, 3>())).normalized();

  settings.pathPush("Position");
  utils::setVector3f(settings, transform.topRightCorner<3, 1>());
  settings.pathPop();

  settings.set<std::string>("orientationMethod", "quaternion");

  settings.pathPush("Quaternion");
  utils::setQuaternionf(settings, unit);
  settings.pathPop();

  // The angles of the quaternion written above, so both records agree.
  settings.pathPush("EulerYPR");
  utils::setYPR(settings, quaternionToRotationExtrinsicYPR(unit), utils::RADIANS);
  settings.pathPop();
}

Eigen::Quaternionf getQuaternionFromYPR(SettingsManager const& settings) {
  Eigen::Vector3f ypr(settings.get<float>("yaw"), settings.get<float>("pitch"),
                      settings.get<float>("roll"));
  std::string const units = settings.get<std::string>("units");
  if (units != RADIANS_TEXT) {
    if (units != DEGREES_TEXT) {
      settings.getLogger().warnStream()
          << "angle units \"" << units << "\" at \"" << settings.currentPath()
          << "\" are not \"radians\"; reading the angles as degrees";
    }
    float const pi = boost::math::constants::pi<float>();
    for (int i = 0; i < 3; ++i) {
      ypr[i] = (pi * ypr[i]) / 180.0f;
    }
  }
  return rotationExtrinsicYPRToQuaternion(ypr);
}

}  // namespace ostrel
