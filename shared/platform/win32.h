#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/platform/port.h"

// Marks a function that a DLL exports by its plain name.
#define TLV_EXPORT extern "C" __declspec(dllexport)

// The Win32 adapter of the platform port: the same names as the POSIX one
// (native.h checks them).
// Native strings are UTF-8 here too; the calls take UTF-16 (`wide`).
namespace tlv::port::win32 {

inline constexpr char kSeparator = '\\';
inline constexpr std::string_view kLibraryPrefix = "";
inline constexpr std::string_view kProgramSuffix = ".exe";
inline constexpr std::string_view kLibrarySuffix = ".dll";

// Before the desktop layer takes over: a box goes to an inherited error
// stream, answered with the safe choice, or without one into a real box.
MessageBoxes& console_message_boxes();
Clock& system_clock();
FileSystem& file_system();
Application& executable_application();
Programs& programs();
SingleInstance& single_instance();

void prepare_pages(void* data, size_t size);
void reserve_ready(std::string& text, size_t size);

std::string native_path(std::string_view path);
std::string from_native(std::string_view native);
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// A Windows-1252 path as the file calls take it.
std::wstring wide_path(std::string_view path);

std::string parent_folder(const std::string& native);
// The command text after the program's name, in UTF-8, as the program's
// own rules split it.
std::string command_tail();
bool has_display();
// Empty when the user may write into the folder and it lies outside Program
// Files, else %APPDATA%\tolvane.
std::string settings_folder_for(const std::string& native_folder);
std::string native_folder_of_address(const void* address);

// One command line in which every argument arrives as itself under the
// Windows rules of splitting (blanks, quotes and backslashes before quotes).
std::wstring command_line(std::wstring_view program, const std::vector<std::wstring>& arguments);
// The system's own text for an error number, as strerror gives it on POSIX.
std::string system_message(unsigned long error);
// A failure for the last Win32 error: 53, 76, 70, 61 or 75.
[[noreturn]] void fail_with_error(unsigned long error, std::string_view what);

}  // namespace tlv::port::win32
