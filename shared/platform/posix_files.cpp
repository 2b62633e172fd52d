#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
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

constexpr std::string_view kTemporaryPrefix = ".tolvane-";
// Links followed on the way to one file before the path counts as a loop.
constexpr int kMostLinks = 40;

// The kernel's protected_symlinks rule, applied whatever the system's own
// setting: in a folder that is sticky and writable by everybody, a link is
// followed only when it belongs to the user or to the folder's owner.
bool foreign_link(const struct stat& link, const std::string& folder) {
    struct stat shared {};
    if (::stat(folder.c_str(), &shared) != 0) return true;
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    return (shared.st_mode & kShared) == kShared && link.st_uid != ::geteuid() &&
           link.st_uid != shared.st_uid;
}

std::string link_text(const std::string& link, const std::string& native) {
    std::string target(PATH_MAX, '\0');
    ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
    if (length < 0) fail_with_errno(errno, native);
    if (static_cast<size_t>(length) == target.size()) fail_with_errno(ENAMETOOLONG, native);
    target.resize(static_cast<size_t>(length));
    return target;
}

// The file a write should land in: links on the way are followed, so that a
// link the user made keeps pointing at the new text, but another user's link
// in a shared folder is refused (70) instead of followed.
std::string write_target(const std::string& native) {
    if (native.empty() || native.back() == '/') return native;
    std::string done = native.front() == '/' ? "" : ".";
    std::string rest = native;
    for (int links = 0; !rest.empty();) {
        const size_t slash = rest.find('/');
        const std::string part = rest.substr(0, slash);
        rest = slash == std::string::npos ? "" : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        std::string next = done + "/" + part;
        struct stat info {};
        if (::lstat(next.c_str(), &info) != 0)  // the write itself fails, or makes the file
            return rest.empty() ? next : next + "/" + rest;
        if (!S_ISLNK(info.st_mode)) {
            done = std::move(next);
            continue;
        }
        if (++links > kMostLinks) fail_with_errno(ELOOP, native);
        if (foreign_link(info, done.empty() ? "/" : done))
            raise(err::kPermissionDenied, "Link of another user in a shared folder, not followed");
        std::string target = link_text(next, native);
        if (target.starts_with('/')) done.clear();
        rest = rest.empty() ? target : target + "/" + rest;
    }
    return done.empty() ? "/" : done;
}

// Whether the user may not change the file, as its mode says: a read-only
// file is refused even to the administrator, who could write it anyway.
bool read_only(const struct stat& info, const std::string& native) {
    const uid_t user = ::geteuid();
    if (info.st_uid == user) return (info.st_mode & S_IWUSR) == 0;
    if (user == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return ::faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) != 0;
}

// ".tolvane-PID-RANDOM": the writer's process, so that the leftover of a dead
// writer can be told, and 64 random bits, so that nobody can prepare the name.
std::string temporary_name(const std::string& folder) {
    static std::atomic<uint64_t> counter{0};
    uint64_t random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != sizeof random)
        random = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    random ^= counter++;
    char name[64];
    std::snprintf(name, sizeof name, "/%s%d-%016llx", kTemporaryPrefix.data(),
                  static_cast<int>(::getpid()), static_cast<unsigned long long>(random));
    return folder + name;
}

// The process that wrote a temporary file, from its name; 0 when it is none.
pid_t writer_of(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix)) return 0;
    name.remove_prefix(kTemporaryPrefix.size());
    pid_t pid = 0;
    auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    return error == std::errc() && end != name.data() + name.size() && *end == '-' ? pid : 0;
}

// Temporary files of this user's writers that died between writing and
// renaming; a file of a process that still runs, or of another user, stays.
void remove_leftovers(const std::string& folder) {
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) return;
    while (const dirent* entry = ::readdir(listing)) {
        const pid_t writer = writer_of(entry->d_name);
        if (writer <= 0 || ::kill(writer, 0) == 0 || errno != ESRCH) continue;
        struct stat info {};
        if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
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

// Only a regular file that the user may change is ever replaced or added to.
void refuse_unwritable(const struct stat& info, const std::string& native) {
    if (!S_ISREG(info.st_mode))
        raise(err::kPathFileAccess,
              S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "Not a regular file");
    if (read_only(info, native)) raise(err::kPermissionDenied, "Read-only file");
}

// A group that holds the user alone: the user's own primary group, listing no members.
bool group_of_user_alone(gid_t group) {
    if (group != ::getegid()) return false;
    struct group entry {};
    char buffer[1 << 14];
    struct group* found = nullptr;
    if (::getgrgid_r(group, &entry, buffer, sizeof buffer, &found) != 0 || !found) return false;
    return !found->gr_mem || !found->gr_mem[0];
}

// Whether a user other than this one (or the system) owns the file or folder
// or may write it: everybody, or a group with others in it.
bool others_may_change(const struct stat& info) {
    if (info.st_uid != ::geteuid() && info.st_uid != 0) return true;
    if (info.st_mode & S_IWOTH) return true;
    return (info.st_mode & S_IWGRP) && !group_of_user_alone(info.st_gid);
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

    Presence examine(std::string_view path) override {
        if (is_plain_file(path)) return Presence::PlainFile;
        if (path.empty()) return Presence::Missing;
        const std::string native = checked_native_path(path);
        struct stat info {};
        if (::stat(native.c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return Presence::Missing;
            raise(err::kPathFileAccess, std::strerror(errno));
        }
        return S_ISREG(info.st_mode) ? Presence::Hidden : Presence::NotRegular;
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

    std::string read_all(std::string_view path, uint64_t most) override {
        std::string native = checked_native_path(path);
        // Opening a pipe must not wait for a writer.
        Descriptor file(::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (file.get() < 0) fail_with_errno(errno, native);
        struct stat info {};
        if (::fstat(file.get(), &info) != 0) fail_with_errno(errno, native);
        if (S_ISDIR(info.st_mode)) fail_with_errno(EISDIR, native);
        if (!S_ISREG(info.st_mode)) raise(err::kPathFileAccess, "Not a regular file");
        const auto size = static_cast<uint64_t>(info.st_size);
        if (size > most) refuse_too_large(most);
        // Straight into the text, up to the size the file had when opened:
        // a file that grows meanwhile is not read on.
        std::string text;
        if (size > 0) {
            reserve_ready(text, static_cast<size_t>(size));
            text.resize(static_cast<size_t>(size));
        }
        size_t length = 0;
        while (length < text.size()) {
            ssize_t got = ::read(file.get(), text.data() + length, text.size() - length);
            if (got < 0) {
                if (errno == EINTR) continue;
                fail_with_errno(errno, native);
            }
            if (got == 0) break;
            length += static_cast<size_t>(got);
        }
        text.resize(length);
        return text;
    }

    void replace(std::string_view path, std::string_view text) override {
        std::string native = write_target(checked_native_path(path));
        struct stat existing {};
        bool exists = ::stat(native.c_str(), &existing) == 0;
        if (exists) refuse_unwritable(existing, native);
        const std::string folder = parent_folder(native);
        remove_leftovers(folder);
        std::string temporary;
        Descriptor file = create_temporary(folder, temporary);
        if (file.get() < 0) fail_with_errno(errno, native);
        try {
            // Permission bits only from a file of the user's own; never set-user-id,
            // set-group-id or sticky.  Another user's file gives the new file's mode.
            if (exists && existing.st_uid == ::geteuid())
                ::fchmod(file.get(), existing.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO));
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
        std::string native = write_target(checked_native_path(path));
        Descriptor file(::open(native.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC));
        if (file.get() < 0) fail_with_errno(errno, native);
        struct stat info {};
        if (::fstat(file.get(), &info) != 0) fail_with_errno(errno, native);
        refuse_unwritable(info, native);
        try {
            write_all(file.get(), text, native);
            if (!file.close()) fail_with_errno(errno, native);
        } catch (...) {
            ::truncate(native.c_str(), info.st_size);
            throw;
        }
    }

    std::string foreign_writer(std::string_view path) override {
        if (has_nul(path)) return "Invalid file name";
        const std::string native = native_path(path);
        struct stat file {
        }, folder{};
        const bool file_exists = ::lstat(native.c_str(), &file) == 0;
        if (::stat(parent_folder(native).c_str(), &folder) != 0) return {};
        if (file_exists && S_ISLNK(file.st_mode)) {
            if (::stat(native.c_str(), &file) != 0) return "Link to nothing";
        }
        if (file_exists && others_may_change(file)) return "Another user may change the file";
        // Others may replace the file in their folder or in one they may write,
        // except where the sticky bit keeps them off a file of the user's own.
        const bool kept_off =
            (folder.st_mode & S_ISVTX) && file_exists && file.st_uid == ::geteuid();
        if (others_may_change(folder) && !kept_off) return "Another user may change the folder";
        return {};
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
