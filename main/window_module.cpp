// The window module of tolvane, loaded at run time by the program's start-up
// when there is nothing to convert silently: the silent road loads no Qt.

#include <type_traits>

#include "main/modStart.h"
#include "main/window.h"
#include "shared/platform/native.h"

TLV_EXPORT int TLV_WINDOW_ENTRY(const tlv::WindowStart* start) {
    return start ? tlv::run_window(*start) : tlv::modStart::kExitStartFailed;
}
static_assert(std::is_same_v<decltype(&TLV_WINDOW_ENTRY), tlv::WindowEntry>);
