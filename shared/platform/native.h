#pragma once

// The adapter of the platform being built for.  Every adapter offers the same
// names in its own namespace; the rest of the system says `native::`.
#if defined(_WIN32)
#include "shared/platform/win32.h"
namespace tlv::port {
namespace native = win32;
}
#else
#include "shared/platform/posix.h"
namespace tlv::port {
namespace native = posix;
}
#endif
