#pragma once

#include <string>
#include <string_view>

#include "shared/platform/port.h"

namespace tlv::testing {

// A fresh folder under the system's temporary folder, removed with everything
// in it (immutable flags cleared first) when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // The folder and the name, joined as the platform joins paths.
    std::string file(std::string_view name) const { return port::join_path(path_, name); }

    void write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;  // throws when missing
    bool exists(std::string_view name) const;
    size_t entries() const;  // how many names the folder holds
    // The file once another process has made it (up to ten seconds), or "<not made>".
    std::string read_when_made(std::string_view name) const;

private:
    std::string path_;
};

// Reads a whole file byte for byte; throws std::runtime_error when it cannot.
std::string read_bytes(const std::string& path);
void write_bytes(const std::string& path, std::string_view bytes);

// Sets or clears the immutable flag (chattr +i / -i): the way to make a file
// or folder refuse changes when the tests run as root.  False when the file
// system does not support the flag; the test should then skip.
bool set_immutable(const std::string& path, bool on);

// A file in the tests' data folder (tests/ in the source tree).
std::string test_data(std::string_view relative);

// The golden example's bytes (".ste": three points and a route; ".txt": its
// hand-written text file).
inline std::string basic_example(std::string_view extension) {
    return read_bytes(test_data("conversion/golden/basic" + std::string(extension)));
}

}  // namespace tlv::testing
