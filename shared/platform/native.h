#pragma once

// The adapter of the platform being built for.  Every adapter offers the same
// names in its own namespace; the rest of the system says `native::`.
#if defined(_WIN32)
#error "The Windows adapter of the platform port is not part of this build yet."
#else
#include "shared/platform/posix.h"
namespace tlv::port {
namespace native = posix;
}
#endif
