#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

#include "shared/platform/headless.h"
#include "shared/platform/posix.h"

namespace tlv::port::posix {
namespace {

// The one request a second start may send; anything else is ignored.
constexpr std::string_view kShowRequest = "TONEN\n";
constexpr size_t kMostRequestBytes = 16;
// How long a connection of our own user may take to send its request.
constexpr int kRequestWaitMs = 200;
// Names tried in turn when another user holds one: abstract names carry no
// permissions, so anybody can bind ours first.
constexpr int kNames = 8;

class Socket {
public:
    // A new socket that never blocks: a holder that does not accept (a silent
    // conversion) must not hold up a second start.
    Socket() : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    explicit Socket(int fd) : fd_(fd) {}
    Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Socket& operator=(Socket&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Socket() { reset(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

struct Address {
    sockaddr_un address{};
    socklen_t size = 0;
};

Address address_of(const std::string& label) {
    Address result;
    result.address.sun_family = AF_UNIX;
    std::memcpy(result.address.sun_path + 1, label.data(), label.size());
    result.size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + label.size());
    return result;
}

bool same_user(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

// Whether nobody holds the name (a refused connection says only that nobody listens).
bool unheld(const Address& name) {
    Socket probe;
    return probe &&
           ::bind(probe.get(), reinterpret_cast<const sockaddr*>(&name.address), name.size) == 0;
}

// A connection to the holder of the name, when it listens; a holder that is
// between its bind and its listen, or has a full queue, gets a moment.
Socket connect_to(const Address& name) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        Socket socket;
        if (!socket) return socket;
        if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&name.address), name.size) ==
            0)
            return socket;
        if (errno == ECONNREFUSED && unheld(name)) break;
        if (errno != ECONNREFUSED && errno != EAGAIN) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Socket(-1);
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

std::string instance_name(unsigned user, std::string_view program, std::string_view folder,
                          int index) {
    char base[40];
    std::snprintf(base, sizeof base, "tolvane-instance-%016llx",
                  static_cast<unsigned long long>(
                      headless::claim_key(std::to_string(user), program, folder)));
    return index == 0 ? base : base + ("-" + std::to_string(index));
}

namespace {

// The claim is a name in the abstract socket namespace, keyed by user,
// program and folder: no file is left behind, the kernel drops the name when
// the process ends (crash or not), and started programs do not inherit it.
// A name counts only when its holder is the same user (its peer credentials);
// one held by another user is passed over for the next.  The holder listens
// on it for the show request of a second start.
class SocketInstance final : public SingleInstance {
public:
    bool another_copy_runs(std::string_view program, std::string_view folder) override {
        const unsigned user = ::getuid();
        for (int index = 0; index < kNames; ++index) {
            Address name = address_of(instance_name(user, program, folder, index));
            Socket claim;
            if (!claim) return false;  // no way to tell: let this copy run
            if (::bind(claim.get(), reinterpret_cast<const sockaddr*>(&name.address), name.size) ==
                0) {
                if (::listen(claim.get(), 8) != 0) return false;
                // A copy of ours may hold a later name, taken while this one was another's.
                if (ours_after(user, program, folder, index)) return true;
                claim_ = std::move(claim);
                return false;
            }
            if (errno != EADDRINUSE) return false;
            Socket holder = connect_to(name);
            if (holder && same_user(holder.get())) {
                running_copy_ = std::move(holder);
                return true;
            }
        }
        return false;  // every name is another's: run without a claim
    }

    bool ask_to_show() override {
        if (!running_copy_) return false;
        bool sent = ::send(running_copy_.get(), kShowRequest.data(), kShowRequest.size(),
                           MSG_NOSIGNAL) == static_cast<ssize_t>(kShowRequest.size());
        running_copy_.reset();
        return sent;
    }

    int request_handle() override { return claim_.get(); }

    bool take_show_request() override {
        bool asked = false;
        for (int taken = 0; taken < kNames && claim_; ++taken) {
            Socket connection(
                ::accept4(claim_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (!connection) break;
            if (same_user(connection.get()) && request_of(connection.get()) == kShowRequest)
                asked = true;
        }
        return asked;
    }

private:
    bool ours_after(unsigned user, std::string_view program, std::string_view folder, int index) {
        for (int later = index + 1; later < kNames; ++later) {
            Socket holder = connect_to(address_of(instance_name(user, program, folder, later)));
            if (holder && same_user(holder.get())) {
                running_copy_ = std::move(holder);
                return true;
            }
        }
        return false;
    }

    Socket claim_{-1};
    Socket running_copy_{-1};
};

}  // namespace

SingleInstance& single_instance() {
    static SocketInstance instance;
    return instance;
}

}  // namespace tlv::port::posix
