#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "shared/platform/headless.h"
#include "shared/platform/posix.h"

namespace tlv::port::posix {
namespace {

// The one request a second start may send; anything else is ignored.
constexpr std::string_view kShowRequest = "TONEN\n";
constexpr size_t kMostRequestBytes = 16;
// How long a connection of our own user may take to send its request.
constexpr int kRequestWaitMs = 200;
// Connections taken from the channel per wake-up.
constexpr int kMostConnections = 8;
// A second start that finds the holder not listening yet tries again so
// often, this far apart: a moment, never longer.
constexpr int kShowAttempts = 10;
constexpr std::chrono::milliseconds kShowPause{10};

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// A socket that never blocks: a holder that does not accept (a silent
// conversion) must not hold up a second start.
Descriptor new_socket() {
    return Descriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

std::optional<sockaddr_un> address_of(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

bool same_user(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

// Where the claims live: the same folder for every start of this user,
// whatever its environment, so that no two copies ever look in two places.
// The home folder's cache first; the system's temporary folder when the
// home folder cannot hold it.  Another user who made the name there first
// only moves us on.
std::optional<std::string> claim_folder() {
    const uid_t user = ::geteuid();
    std::vector<std::string> candidates;
    passwd entry{};
    passwd* found = nullptr;
    char buffer[1 << 14];
    if (::getpwuid_r(user, &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_dir[0] == '/') {
        const std::string cache = std::string(found->pw_dir) + "/.cache";
        ::mkdir(cache.c_str(), 0700);
        candidates.push_back(cache + "/tolvane-" + std::to_string(user));
    }
    candidates.push_back("/tmp/tolvane-" + std::to_string(user));
    for (const std::string& folder : candidates)
        if (private_folder(folder)) return folder;
    return std::nullopt;
}

// Reads what a connection sends, up to the limit, until it closes its side
// or the wait is over.
std::string request_of(int fd) {
    std::string bytes;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestWaitMs);
    while (bytes.size() <= kMostRequestBytes) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[kMostRequestBytes + 1];
        ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (got <= 0) return bytes;  // the sender is done
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return {};  // too long, or never finished
}

}  // namespace

std::string instance_name(unsigned user, std::string_view program, std::string_view folder) {
    char base[40];
    std::snprintf(base, sizeof base, "instance-%016llx",
                  static_cast<unsigned long long>(
                      headless::claim_key(std::to_string(user), program, folder)));
    return base;
}

namespace {

// The claim is a lock on a file in a folder only the user can use: the
// kernel gives it to exactly one process however many start at once, drops
// it when that process ends (crashed or not), and no other user can reach
// it.  The holder listens on a socket beside it for the show request of a
// second start; only the holder replaces that socket, so a stale one of a
// crashed copy never stands in the way.
class LockInstance final : public SingleInstance {
public:
    bool another_copy_runs(std::string_view program, std::string_view folder) override {
        std::optional<std::string> claims = claim_folder();
        if (!claims) return false;  // no place of our own: nothing to tell by
        const std::string base = *claims + "/" + instance_name(::geteuid(), program, folder);
        Descriptor lock(
            ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!lock) return false;
        if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) return false;
            running_channel_ = base + ".sock";
            return true;
        }
        lock_ = std::move(lock);
        listen_on(base + ".sock");
        return false;
    }

    bool ask_to_show() override {
        std::optional<sockaddr_un> address = address_of(running_channel_);
        if (running_channel_.empty() || !address) return false;
        for (int attempt = 0; attempt < kShowAttempts; ++attempt) {
            if (attempt > 0) std::this_thread::sleep_for(kShowPause);
            Descriptor holder = new_socket();
            if (::connect(holder.get(), reinterpret_cast<const sockaddr*>(&*address),
                          sizeof *address) != 0 ||
                !same_user(holder.get()))
                continue;
            return ::send(holder.get(), kShowRequest.data(), kShowRequest.size(), MSG_NOSIGNAL) ==
                   static_cast<ssize_t>(kShowRequest.size());
        }
        return false;
    }

    int request_handle() override { return listening_.get(); }

    bool take_show_request() override {
        bool asked = false;
        for (int taken = 0; taken < kMostConnections && listening_; ++taken) {
            Descriptor connection(
                ::accept4(listening_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (!connection) break;
            if (same_user(connection.get()) && request_of(connection.get()) == kShowRequest)
                asked = true;
        }
        return asked;
    }

private:
    // The channel of a holder; without it (a folder path too long for a
    // socket's name) the claim still holds, a second start just cannot ask.
    void listen_on(const std::string& channel) {
        std::optional<sockaddr_un> address = address_of(channel);
        Descriptor socket = new_socket();
        if (!address || !socket) return;
        ::unlink(channel.c_str());
        if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) ==
                0 &&
            ::listen(socket.get(), kMostConnections) == 0)
            listening_ = std::move(socket);
    }

    Descriptor lock_;
    Descriptor listening_;
    std::string running_channel_;  // the other copy's, once one was found
};

}  // namespace

SingleInstance& single_instance() {
    static LockInstance instance;
    return instance;
}

bool private_folder(const std::string& folder) {
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace tlv::port::posix
