#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/platform/port.h"

// Marks a function that a shared library exports by its plain name.
#define TLV_EXPORT extern "C" __attribute__((visibility("default")))

// The POSIX/console adapter of the platform port (native.h checks that it
// offers what every adapter offers).
namespace tlv::port::posix {

inline constexpr char kSeparator = '/';
// A shared library's file name: prefix + name + suffix.
inline constexpr std::string_view kLibraryPrefix = "lib";
inline constexpr std::string_view kProgramSuffix = "";
inline constexpr std::string_view kLibrarySuffix = ".so";

// Without a display a box goes to standard error, answered with the safe choice.
MessageBoxes& console_message_boxes();
Clock& system_clock();
FileSystem& file_system();
Application& executable_application();  // folder and name of the running executable
Programs& programs();
SingleInstance& single_instance();

// Makes a buffer of a large page or more (kLargePage) not touched yet ready
// at once: large pages behind its 2 MB-aligned inside where the system has
// them, all of it mapped in one step, so that filling a few megabytes costs
// no thousand page faults.  Hints only; the buffer keeps its content.
void prepare_pages(void* data, size_t size);
// Room for `size` bytes in the text, prepared so.
void reserve_ready(std::string& text, size_t size);

// Path conversions at the edge: Windows-1252 inside, UTF-8 on the file system.
std::string native_path(std::string_view path);
std::string from_native(std::string_view native);

// The folder part of a native path ("." when there is none).
std::string parent_folder(const std::string& native);

// Whether a window system is there to show windows on.
bool has_display();

// The settings folder of a program in this folder: empty (the folder itself)
// when the user may write there and it is no system installation (under
// /usr), else $XDG_CONFIG_HOME/tolvane (by default ~/.config/tolvane),
// created when missing.  The same for every deliverable,
// so a system-wide installation still shares one settings file per user.
std::string settings_folder_for(const std::string& native_folder);

// The single-instance claim's file name (without its ending) in the user's
// own claim folder: keyed by the user's id, the program and its folder.
std::string instance_name(unsigned user, std::string_view program, std::string_view folder);
// Whether the claims may live in this folder: a real folder (no link), the
// user's own, closed to everybody else.  Made when missing.
bool private_folder(const std::string& folder);

// Folder of the loaded file (executable or shared library) that holds the address.
std::string native_folder_of_address(const void* address);

// The argument vector that starts a program file: the program itself, or
// for a Windows executable (a file beginning with "MZ") `wine` from the
// search path with the program and absolute path arguments in wine's drive
// form (Z:\...).  Empty optional when such a program needs wine and there
// is none.
std::optional<std::vector<std::string>> launch_vector(const std::string& native_program,
                                                      const std::vector<std::string>& native_args);

}  // namespace tlv::port::posix
