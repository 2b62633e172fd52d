#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "shared/codec.h"
#include "shared/failure.h"
#include "shared/platform/headless.h"
#include "shared/platform/posix.h"

namespace tlv::port::posix {
namespace {

// Without a display there is nobody to answer.
class ConsoleMessageBoxes final : public MessageBoxes {
public:
    Answer show(std::string_view text, std::string_view title, BoxStyle style) override {
        return headless::write_box(text, title, style);
    }
};

class SystemClock final : public Clock {
public:
    // The local time is worked out once a second: a burst of error reports
    // asks for it thousands of times.
    DateTime now() override {
        std::time_t seconds = std::time(nullptr);
        if (seconds != last_seconds_) {
            std::tm local{};
            localtime_r(&seconds, &local);
            last_ = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
            last_seconds_ = seconds;
        }
        return last_;
    }
    void sleep(std::chrono::milliseconds duration) override {
        std::this_thread::sleep_for(duration);
    }

private:
    std::time_t last_seconds_ = -1;
    DateTime last_;
};

std::string executable_path() {
    std::string buffer(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0) return {};
    buffer.resize(static_cast<size_t>(length));
    return buffer;
}

std::string name_of(const std::string& native) {
    size_t slash = native.rfind('/');
    return slash == std::string::npos ? native : native.substr(slash + 1);
}

}  // namespace

MessageBoxes& console_message_boxes() {
    static ConsoleMessageBoxes boxes;
    return boxes;
}

Clock& system_clock() {
    static SystemClock clock;
    return clock;
}

Application& executable_application() {
    static Application application = [] {
        std::string path = executable_path();
        std::string folder = parent_folder(path);
        return Application{from_native(folder), from_native(name_of(path)),
                           from_native(settings_folder_for(folder))};
    }();
    return application;
}

// A program under /usr is a system installation: its folder belongs to the
// package manager even for root, so settings never land there.
std::string settings_folder_for(const std::string& native_folder) {
    bool system = native_folder.rfind("/usr/", 0) == 0;
    if (!system && ::access(native_folder.c_str(), W_OK) == 0) return {};
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string base =
        config && *config == '/' ? config : std::string(home ? home : "") + "/.config";
    std::string folder = base + "/tolvane";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

std::string native_path(std::string_view path) { return codec::to_utf8(path); }

// A name without a Windows-1252 form is kept byte for byte: the rest of the
// system can still show it, but paths built on it will not round-trip, so an
// installation folder needs a name that Windows-1252 can write.
std::string from_native(std::string_view native) {
    std::optional<std::string> converted = codec::from_utf8(native);
    return converted ? *converted : std::string(native);
}

std::string parent_folder(const std::string& native) {
    size_t slash = native.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : native.substr(0, slash);
}

bool has_display() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

std::string native_folder_of_address(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    return parent_folder(info.dli_fname);
}

}  // namespace tlv::port::posix
