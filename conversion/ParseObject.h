#pragma once

#include <cstdint>

#include "shared/component.h"

namespace tlv::component {

// A new ClsParse object behind its component interface, holding one
// reference; null when memory runs out.  The library's class factory hands
// these out, and a test can create one in-process.
IClsParse* new_parse_object();

// How many such objects are alive.
int32_t live_parse_objects();

}  // namespace tlv::component
