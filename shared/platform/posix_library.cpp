#include <dlfcn.h>

#include "shared/failure.h"
#include "shared/platform/library.h"
#include "shared/platform/posix.h"

namespace tlv::port {

std::shared_ptr<DynamicLibrary> DynamicLibrary::open(std::string_view path) {
    std::string native = posix::native_path(path);
    void* handle = ::dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = ::dlerror();
        raise(err::kCantLoadLibrary, reason ? reason : native);
    }
    return std::shared_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() { ::dlclose(handle_); }

void* DynamicLibrary::symbol(const char* name) const { return ::dlsym(handle_, name); }

}  // namespace tlv::port
