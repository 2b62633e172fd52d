#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "shared/failure.h"
#include "shared/platform/large_pages.h"
#include "shared/platform/posix.h"

namespace tlv::port::posix {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a late write error shows here).
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool folder_exists(const std::string& native_folder) {
    struct stat info {};
    return ::stat(native_folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

[[noreturn]] void fail_with_errno(int error, const std::string& native) {
    std::string description = std::strerror(error);
    switch (error) {
        case ENOENT:
            raise(folder_exists(parent_folder(native)) ? err::kFileNotFound : err::kPathNotFound,
                  description);
        case ENOTDIR:
            raise(err::kPathNotFound, description);
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            raise(err::kPermissionDenied, description);
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            raise(err::kDiskFull, description);
        default:
            raise(err::kPathFileAccess, description);
    }
}

void write_all(int fd, std::string_view text, const std::string& native) {
    while (!text.empty()) {
        ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            fail_with_errno(errno, native);
        }
        text.remove_prefix(static_cast<size_t>(written));
    }
}

// The file a write should land in: the target of a symbolic link, so that a
// link keeps pointing at the new text instead of being replaced by a file.
std::string write_target(const std::string& native) {
    struct stat info {};
    if (::lstat(native.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return native;
    char* resolved = ::realpath(native.c_str(), nullptr);
    if (!resolved) return native;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

std::string temporary_name(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    char name[64];
    std::snprintf(name, sizeof name, "/.tolvane-%d-%u", static_cast<int>(::getpid()), counter++);
    return folder + name;
}

// A new file in the target's folder, created with the mode a new file gets
// there (the kernel applies the process's mask; no global mask is touched).
// Where the file system allows it the file has no name while it is written,
// so a process killed half-way leaves nothing behind; `temporary` stays
// empty until `give_name` links it into the folder.
Descriptor create_temporary(const std::string& folder, std::string& temporary) {
    temporary.clear();
    int unnamed = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (unnamed >= 0) return Descriptor(unnamed);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporary_name(folder);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return Descriptor(fd);
    }
    return Descriptor(-1);
}

// Links a nameless temporary file into the folder, complete, under a name of its own.
void give_name(const Descriptor& file, const std::string& folder, std::string& temporary,
               const std::string& native) {
    if (!temporary.empty()) return;
    const std::string self = "/proc/self/fd/" + std::to_string(file.get());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporary_name(folder);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return;
        if (errno != EEXIST) break;
    }
    int error = errno;
    temporary.clear();
    fail_with_errno(error, native);
}

// A NUL byte would cut the native path short and name another file.
bool has_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

std::string checked_native_path(std::string_view path) {
    if (has_nul(path)) fail_with_errno(EINVAL, std::string(path));
    return native_path(path);
}

class PosixFileSystem final : public FileSystem {
public:
    bool is_plain_file(std::string_view path) override {
        if (path.empty() || path.back() == kSeparator || has_nul(path)) return false;
        size_t slash = path.rfind(kSeparator);
        std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
        if (name.empty() || name.front() == '.') return false;
        struct stat info {};
        return ::stat(native_path(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }

    std::optional<uint64_t> file_size(std::string_view path) override {
        struct stat info {};
        if (has_nul(path) || ::stat(native_path(path).c_str(), &info) != 0) return std::nullopt;
        return static_cast<uint64_t>(info.st_size);
    }

    std::optional<DateTime> last_modified(std::string_view path) override {
        struct stat info {};
        if (has_nul(path) || ::stat(native_path(path).c_str(), &info) != 0) return std::nullopt;
        std::tm local{};
        localtime_r(&info.st_mtim.tv_sec, &local);
        return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                        local.tm_hour,        local.tm_min,     local.tm_sec};
    }

    std::optional<FileStamp> stamp(std::string_view path) override {
        struct stat info {};
        if (has_nul(path) || ::stat(native_path(path).c_str(), &info) != 0) return std::nullopt;
        return FileStamp{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                         static_cast<uint64_t>(info.st_size),
                         int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
    }

    std::string read_all(std::string_view path) override {
        std::string native = checked_native_path(path);
        Descriptor file(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.get() < 0) fail_with_errno(errno, native);
        struct stat info {};
        if (::fstat(file.get(), &info) != 0) fail_with_errno(errno, native);
        if (S_ISDIR(info.st_mode)) fail_with_errno(EISDIR, native);
        // Straight into the text; a file that grew since its size was taken
        // is read on to its end.
        std::string text;
        if (info.st_size > 0) {
            reserve_ready(text, static_cast<size_t>(info.st_size));
            text.resize(static_cast<size_t>(info.st_size));
        }
        size_t length = 0;
        char more[1 << 12];
        for (;;) {
            const bool full = length == text.size();
            ssize_t got = full ? ::read(file.get(), more, sizeof more)
                               : ::read(file.get(), text.data() + length, text.size() - length);
            if (got < 0) {
                if (errno == EINTR) continue;
                fail_with_errno(errno, native);
            }
            if (got == 0) break;
            if (full) text.append(more, static_cast<size_t>(got));
            length += static_cast<size_t>(got);
        }
        text.resize(length);
        return text;
    }

    void replace(std::string_view path, std::string_view text) override {
        std::string native = write_target(checked_native_path(path));
        struct stat existing {};
        bool exists = ::stat(native.c_str(), &existing) == 0;
        // Only a regular file is ever replaced: never a folder, a device or a pipe.
        if (exists && !S_ISREG(existing.st_mode))
            raise(err::kPathFileAccess,
                  S_ISDIR(existing.st_mode) ? std::strerror(EISDIR) : "Not a regular file");
        const std::string folder = parent_folder(native);
        std::string temporary;
        Descriptor file = create_temporary(folder, temporary);
        if (file.get() < 0) fail_with_errno(errno, native);
        try {
            if (exists) ::fchmod(file.get(), existing.st_mode & 07777);
            write_all(file.get(), text, native);
            give_name(file, folder, temporary, native);
            if (!file.close()) fail_with_errno(errno, native);
            if (::rename(temporary.c_str(), native.c_str()) != 0) fail_with_errno(errno, native);
        } catch (...) {
            if (!temporary.empty()) ::unlink(temporary.c_str());
            throw;
        }
    }

    void append(std::string_view path, std::string_view text) override {
        std::string native = checked_native_path(path);
        Descriptor file(::open(native.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
        if (file.get() < 0) fail_with_errno(errno, native);
        struct stat info {};
        if (::fstat(file.get(), &info) != 0) fail_with_errno(errno, native);
        try {
            write_all(file.get(), text, native);
            if (!file.close()) fail_with_errno(errno, native);
        } catch (...) {
            ::truncate(native.c_str(), info.st_size);
            throw;
        }
    }
};

}  // namespace

// Only whole large pages inside the buffer: its head and tail take small
// ones, so no large page reaches past what is used.  A buffer smaller than a
// large page is left as it is: its few faults cost less than the calls.
void prepare_pages(void* data, size_t size) {
    if (size < kLargePage) return;
    constexpr uintptr_t kLarge = kLargePage, kPage = 4096;
    const auto start = reinterpret_cast<uintptr_t>(data);
    const uintptr_t begin = (start + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t end = (start + size) & ~(kLarge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    const uintptr_t first = start & ~(kPage - 1);
    ::madvise(reinterpret_cast<void*>(first), start + size - first, MADV_POPULATE_WRITE);
#endif
}

void reserve_ready(std::string& text, size_t size) {
    text.reserve(size);
    prepare_pages(text.data(), size);
}

FileSystem& file_system() {
    static PosixFileSystem files;
    return files;
}

}  // namespace tlv::port::posix
