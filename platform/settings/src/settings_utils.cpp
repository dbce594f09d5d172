#include <ostrel/settings/settings_utils.h>

#include <stdexcept>
#include <string>

namespace ostrel::utils {

Eigen::Vector3f getVector3f(SettingsManager const& settings) {
  return {settings.get<float>("x"), settings.get<float>("y"), settings.get<float>("z")};
}

void setVector3f(SettingsManager& settings, Eigen::Vector3f const& vector) {
  settings.set("x", vector.x());
  settings.set("y", vector.y());
  settings.set("z", vector.z());
}

Eigen::Quaternionf getQuaternion(SettingsManager const& settings) {
  float const x = settings.get<float>("x");
  float const y = settings.get<float>("y");
  float const z = settings.get<float>("z");
  float const w = settings.get<float>("w");
  return Eigen::Quaternionf(w, x, y, z);
}

void setQuaternionf(SettingsManager& settings, Eigen::Quaternionf const& quaternion) {
  settings.set("x", quaternion.x());
  settings.set("y", quaternion.y());
  settings.set("z", quaternion.z());
  settings.set("w", quaternion.w());
}

void setYPR(SettingsManager& settings, Eigen::Vector3f const& yawPitchRoll, EAngleUnits units) {
  char const* unitsText = nullptr;
  switch (units) {
    case RADIANS:
      unitsText = "radians";
      break;
    case DEGREES:
      unitsText = "degrees";
      break;
  }
  if (unitsText == nullptr) {
    throw std::invalid_argument("setYPR: unknown angle units selector " +
                                std::to_string(static_cast<int>(units)));
  }
  settings.set("yaw", yawPitchRoll[0]);
  settings.set("pitch", yawPitchRoll[1]);
  settings.set("roll", yawPitchRoll[2]);
  settings.set("units", unitsText);
}

}  // namespace ostrel::utils
