// The window module of tolvane, loaded at run time by the program's start-up
// when there is nothing to convert silently: the silent road loads no Qt.

#include "main/window.h"
#include "shared/platform/native.h"

TLV_EXPORT int TolvaneVenster(const tlv::WindowStart* start) {
    return start ? tlv::run_window(*start) : 2;
}
