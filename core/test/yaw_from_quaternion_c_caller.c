/* Compiled as C: calling getYawFromQuaternion from here shows it links under
   its unmangled name. */
#include <ostrel/core/yaw_from_quaternion.h>

float callGetYawFromQuaternionFromC(float x, float y, float z, float w);

float callGetYawFromQuaternionFromC(float x, float y, float z, float w) {
  return getYawFromQuaternion(x, y, z, w);
}
