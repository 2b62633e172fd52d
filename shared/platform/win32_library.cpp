#include <windows.h>

#include "shared/failure.h"
#include "shared/platform/library.h"
#include "shared/platform/win32.h"

namespace tlv::port {

// The libraries a DLL needs are looked for in its own folder first.
std::shared_ptr<DynamicLibrary> DynamicLibrary::open(std::string_view path) {
    HMODULE handle =
        ::LoadLibraryExW(win32::wide_path(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!handle) raise(err::kCantLoadLibrary, "LoadLibrary " + std::to_string(::GetLastError()));
    return std::shared_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() { ::FreeLibrary(static_cast<HMODULE>(handle_)); }

void* DynamicLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace tlv::port
