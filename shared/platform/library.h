#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tlv::port {

// A shared library loaded at run time; unloaded when the last holder lets go.
// The file name the platform gives a shared library of this name.
std::string library_file_name(std::string_view name);

class DynamicLibrary {
public:
    // Failure 48 ("De *.dll kan niet worden geladen") when it cannot be loaded.
    static std::shared_ptr<DynamicLibrary> open(std::string_view path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    void* symbol(const char* name) const;  // null when absent

private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace tlv::port
