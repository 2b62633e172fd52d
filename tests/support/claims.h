#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// Raw access to a single-instance claim's name in the abstract socket
// namespace, as another process (or another user) would have it.
namespace tlv::testing {

inline socklen_t claim_address(const std::string& name, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

// Binds the name and listens on it; false when it could not.
inline bool hold_name(const std::string& name) {
    sockaddr_un address;
    socklen_t size = claim_address(name, address);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0 &&
           ::listen(fd, 8) == 0;
}

// Connects to the name as a client would and sends the bytes.
inline void send_to_claim(const std::string& name, std::string_view bytes) {
    sockaddr_un address;
    socklen_t size = claim_address(name, address);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0)
        (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    ::close(fd);
}

// Runs `setup` in a child process, which hands its one-byte answer back and
// then runs `serve` (by default it waits to be killed); returns the child's
// id and its answer.
inline std::pair<pid_t, char> in_child(
    const std::function<char()>& setup, const std::function<void()>& serve = [] { ::pause(); }) {
    int ready[2];
    if (::pipe(ready) != 0) return {-1, 0};
    pid_t child = ::fork();
    if (child == 0) {
        char answer = setup();
        (void)!::write(ready[1], &answer, 1);
        serve();
        ::_exit(0);
    }
    char answer = 0;
    (void)!::read(ready[0], &answer, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return {child, answer};
}

// Becomes the user nobody (the tests run as root in CI); false when it could not.
inline bool become_nobody() {
    return ::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0;
}

}  // namespace tlv::testing
