#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "shared/failure.h"
#include "shared/platform/posix.h"

namespace tlv::port::posix {
namespace {

[[noreturn]] void fail_to_start(int error) {
    std::string description = std::strerror(error);
    switch (error) {
        case ENOENT:
        case ENOTDIR: raise(err::kFileNotFound, description);
        case EACCES:
        case EPERM: raise(err::kPermissionDenied, description);
        default: raise(err::kPathFileAccess, description);
    }
}

// Runs in the grandchild: a new session, no terminal, then the program.
// An exec failure is written to the report pipe for the parent to read.
[[noreturn]] void exec_detached(const std::vector<std::string>& arguments, int report) {
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    int error = errno;
    ssize_t ignored = ::write(report, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

class PosixPrograms final : public Programs {
public:
    // The window style has no meaning for a program without a window system
    // hint on POSIX; the program decides how it shows itself.
    void start(std::string_view command, WindowStyle) override {
        std::vector<std::string> arguments;
        for (const std::string& part : split_command_text(command))
            arguments.push_back(native_path(part));
        if (arguments.empty() || arguments.front().empty()) fail_to_start(ENOENT);

        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0) fail_to_start(errno);
        pid_t child = ::fork();
        if (child < 0) {
            int error = errno;
            ::close(report[0]);
            ::close(report[1]);
            fail_to_start(error);
        }
        if (child == 0) {
            ::close(report[0]);
            ::setsid();
            // A second fork leaves the program to init, so it is never waited for.
            if (::fork() == 0) exec_detached(arguments, report[1]);
            ::_exit(0);
        }
        ::close(report[1]);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        int error = 0;
        ssize_t got;
        while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
        }
        ::close(report[0]);
        if (got == static_cast<ssize_t>(sizeof error)) fail_to_start(error);
    }
};

uint64_t fnv1a(std::string_view text) {
    uint64_t hash = 1469598103934665603ULL;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

// The claim is an advisory lock on a file in the temporary folder, keyed by
// program and folder; the kernel drops it when the process ends, crash or not.
class LockFileInstance final : public SingleInstance {
public:
    bool another_copy_runs(std::string_view program, std::string_view folder) override {
        std::error_code ignored;
        std::filesystem::path temporary = std::filesystem::temp_directory_path(ignored);
        if (temporary.empty()) temporary = "/tmp";
        std::string key(program);
        key += '\n';
        key += folder;
        char name[64];
        std::snprintf(name, sizeof name, "tolvane-%016llx.lock",
                      static_cast<unsigned long long>(fnv1a(key)));
        std::string lock_path = (temporary / name).string();
        int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) return false;  // no way to tell: let this copy run
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return false;  // kept open: the claim lasts
        int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK;
    }
};

}  // namespace

std::vector<std::string> split_command_text(std::string_view command) {
    std::vector<std::string> parts;
    bool in_quotes = false;
    bool in_part = false;
    for (char c : command) {
        if (c == '"') {
            in_quotes = !in_quotes;
            if (!in_part) parts.emplace_back();
            in_part = true;
        } else if (!in_quotes && (c == ' ' || c == '\t')) {
            in_part = false;
        } else {
            if (!in_part) parts.emplace_back();
            in_part = true;
            parts.back() += c;
        }
    }
    return parts;
}

Programs& programs() {
    static PosixPrograms programs;
    return programs;
}

SingleInstance& single_instance() {
    static LockFileInstance instance;
    return instance;
}

}  // namespace tlv::port::posix
