/* C-callable yaw of a quaternion; plain C so that C code can include it. */
#pragma once

#include <ostrel/core/export.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Yaw, in radians, of the quaternion with coefficients x, y, z, w: element 0
/// of `ostrel::quaternionToRotationExtrinsicYPR` of that quaternion.
OSTREL_CORE_EXPORT float getYawFromQuaternion(float x, float y, float z, float w);

#ifdef __cplusplus
}
#endif
