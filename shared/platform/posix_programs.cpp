#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include "shared/failure.h"
#include "shared/platform/posix.h"

namespace tlv::port::posix {
namespace {

[[noreturn]] void fail_to_start(int error, std::string description = {}) {
    if (description.empty()) description = std::strerror(error);
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            raise(err::kFileNotFound, description);
        case EACCES:
        case EPERM:
            raise(err::kPermissionDenied, description);
        default:
            raise(err::kPathFileAccess, description);
    }
}

bool starts_with_mz(const std::string& native) {
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char magic[2] = {};
    bool mz = ::read(fd, magic, 2) == 2 && magic[0] == 'M' && magic[1] == 'Z';
    ::close(fd);
    return mz;
}

std::string find_on_search_path(std::string_view name) {
    const char* search = std::getenv("PATH");
    std::string_view folders = search ? search : "/usr/bin:/bin";
    while (!folders.empty()) {
        size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        folders = colon == std::string_view::npos ? std::string_view{} : folders.substr(colon + 1);
        std::string candidate =
            (folder.empty() ? std::string(".") : folder) + "/" + std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

std::string absolute(const std::string& native) {
    if (!native.empty() && native.front() == '/') return native;
    char* here = ::getcwd(nullptr, 0);
    std::string path = here ? std::string(here) + "/" + native : native;
    std::free(here);
    return path;
}

// wine's name for a POSIX path: the whole file system is drive Z:.
std::string wine_drive_form(const std::string& absolute_path) {
    std::string path = "Z:" + absolute_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Runs in the intermediate child, between fork and exec: only async-signal-safe
// calls, no allocation (the argument vector was built before the fork).
[[noreturn]] void start_in_child(char* const* argv, int report) {
    auto tell = [report](int error) {
        ssize_t ignored = ::write(report, &error, sizeof error);
        (void)ignored;
    };
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild < 0) {
        tell(errno);
        ::_exit(1);
    }
    if (grandchild > 0) ::_exit(0);  // leaves the program to init: never waited for
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    ::execv(argv[0], argv);
    tell(errno);
    ::_exit(127);
}

// Starts the vector detached; an exec failure comes back through a pipe
// that closes by itself when the exec succeeds.
void start_detached(const std::vector<std::string>& vector) {
    std::vector<char*> argv;
    for (const std::string& part : vector) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) fail_to_start(errno);
    pid_t child = ::fork();
    if (child == 0) start_in_child(argv.data(), report[1]);
    int fork_error = errno;
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        fail_to_start(fork_error);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof error)) fail_to_start(error);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail_to_start(ECHILD);
}

class PosixPrograms final : public Programs {
public:
    // The window style is a hint that POSIX has no means to pass on; the
    // program decides how it shows itself.
    void start(std::string_view program, const std::vector<std::string>& arguments,
               WindowStyle) override {
        if (program.empty() || program.find('\0') != std::string_view::npos) fail_to_start(ENOENT);
        std::string native = native_path(program);
        // A name without a folder is the file in the current folder, as the
        // file test saw it; never one found through the search path.
        if (native.find('/') == std::string::npos) native = "./" + native;
        std::vector<std::string> native_arguments;
        for (const std::string& argument : arguments)
            native_arguments.push_back(native_path(argument));
        std::optional<std::vector<std::string>> vector = launch_vector(native, native_arguments);
        if (!vector) fail_to_start(ENOENT, "wine is needed to start a Windows program");
        start_detached(*vector);
    }
};

}  // namespace

std::optional<std::vector<std::string>> launch_vector(const std::string& native_program,
                                                      const std::vector<std::string>& native_args) {
    if (!starts_with_mz(native_program)) {
        std::vector<std::string> vector{native_program};
        vector.insert(vector.end(), native_args.begin(), native_args.end());
        return vector;
    }
    std::string wine = find_on_search_path("wine");
    if (wine.empty()) return std::nullopt;
    std::vector<std::string> vector{wine, wine_drive_form(absolute(native_program))};
    for (const std::string& argument : native_args)
        vector.push_back(!argument.empty() && argument.front() == '/' ? wine_drive_form(argument)
                                                                      : argument);
    return vector;
}

Programs& programs() {
    static PosixPrograms programs;
    return programs;
}

}  // namespace tlv::port::posix
