#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

// A temporary folder of the fuzz run's own, removed when the run ends, and
// whole-file reads and writes in it.
namespace tlv::fuzzing {

inline std::string& folder_path() {
    static std::string folder;
    return folder;
}

inline std::string make_folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) __builtin_trap();
    folder_path() = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder_path(), ignored);
    });
    return pattern;
}

inline void write_file(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tlv::fuzzing
