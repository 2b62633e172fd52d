#pragma once

#include <string>
#include <string_view>
#include <type_traits>

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

// What every adapter offers, checked against the one being built (each
// platform's build checks its own): the names the rest of the system uses.
namespace tlv::port::native_contract {
template <typename Function, typename Expected>
inline constexpr bool offers = std::is_same_v<Function, Expected>;
static_assert(std::is_same_v<decltype(native::kSeparator), const char>);
static_assert(std::is_same_v<decltype(native::kLibraryPrefix), const std::string_view>);
static_assert(std::is_same_v<decltype(native::kLibrarySuffix), const std::string_view>);
static_assert(std::is_same_v<decltype(native::kProgramSuffix), const std::string_view>);
static_assert(offers<decltype(&native::console_message_boxes), MessageBoxes& (*)()>);
static_assert(offers<decltype(&native::system_clock), Clock& (*)()>);
static_assert(offers<decltype(&native::file_system), FileSystem& (*)()>);
static_assert(offers<decltype(&native::executable_application), Application& (*)()>);
static_assert(offers<decltype(&native::programs), Programs& (*)()>);
static_assert(offers<decltype(&native::single_instance), SingleInstance& (*)()>);
static_assert(offers<decltype(&native::prepare_pages), void (*)(void*, size_t)>);
static_assert(offers<decltype(&native::reserve_ready), void (*)(std::string&, size_t)>);
static_assert(offers<decltype(&native::native_path), std::string (*)(std::string_view)>);
static_assert(offers<decltype(&native::from_native), std::string (*)(std::string_view)>);
static_assert(offers<decltype(&native::parent_folder), std::string (*)(const std::string&)>);
static_assert(offers<decltype(&native::has_display), bool (*)()>);
static_assert(offers<decltype(&native::settings_folder_for), std::string (*)(const std::string&)>);
static_assert(offers<decltype(&native::native_folder_of_address), std::string (*)(const void*)>);
}  // namespace tlv::port::native_contract
