#pragma once

#include <ostrel/core/export.h>

namespace ostrel::frames {

/// Tag of coordinates given in the world frame.
struct OSTREL_CORE_EXPORT World {};

/// Tag of coordinates given in a tracked object's own frame: x along the
/// object's heading, y to its left, z up.
struct OSTREL_CORE_EXPORT Trackable {};

}  // namespace ostrel::frames
