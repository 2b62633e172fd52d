#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/platform/port.h"

// The POSIX/console adapter of the platform port.
namespace tlv::port::posix {

inline constexpr char kSeparator = '/';

MessageBoxes& console_message_boxes();  // writes the box to standard error
Clock& system_clock();
FileSystem& file_system();
Application& executable_application();  // folder and name of the running executable
Programs& programs();
SingleInstance& single_instance();

// Path conversions at the edge: Windows-1252 inside, UTF-8 on the file system.
std::string native_path(std::string_view path);
std::string from_native(std::string_view native);

// The folder part of a native path ("." when there is none).
std::string parent_folder(const std::string& native);

// Folder of the loaded file (executable or shared library) that holds the address.
std::string folder_of_address(const void* address);

// Splits a command text by the Windows command-line rules: blanks separate,
// double quotes group and are dropped.
std::vector<std::string> split_command_text(std::string_view command);

}  // namespace tlv::port::posix
