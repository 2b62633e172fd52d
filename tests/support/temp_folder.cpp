#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace tlv::testing {

// A fresh name, made by create_directory, which fails for a name that exists.
TempFolder::TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() / ("tolvane-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) path_ = candidate.string();
    }
    if (path_.empty()) throw std::runtime_error("no temporary folder");
}

// Immutable flags a test left behind are cleared first, or nothing could be removed.
TempFolder::~TempFolder() {
    std::error_code ignored;
    set_immutable(path_, false);
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        if (!it->is_symlink(ignored)) set_immutable(it->path().string(), false);
    fs::remove_all(path_, ignored);
}

void TempFolder::write(std::string_view name, std::string_view bytes) const {
    write_bytes(file(name), bytes);
}
std::string TempFolder::read(std::string_view name) const { return read_bytes(file(name)); }
bool TempFolder::exists(std::string_view name) const { return fs::exists(file(name)); }
size_t TempFolder::entries() const {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
}
std::string TempFolder::read_when_made(std::string_view name) const {
    for (int i = 0; i < 1000 && !exists(name); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return exists(name) ? read(name) : "<not made>";
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

#ifdef _WIN32
// The read-only attribute: it makes a file refuse changes; a folder keeps
// taking new files whatever its attribute says.
bool set_immutable(const std::string& path, bool on) {
    std::wstring name = fs::path(path).wstring();
    DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    attributes =
        on ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::SetFileAttributesW(name.c_str(), attributes) != 0;
}
#else
bool set_immutable(const std::string& path, bool on) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
}
#endif

std::string test_data(std::string_view relative) {
    return std::string(TOLVANE_TEST_DATA_DIR) + "/" + std::string(relative);
}

}  // namespace tlv::testing
