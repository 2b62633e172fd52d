#include "shared/platform/port.h"

#include "shared/platform/posix.h"

namespace tlv::port {
namespace {

Services& current() {
    static Services services;
    return services;
}

template <typename T>
void keep_or_take(T*& slot, T* given) {
    if (given) slot = given;
}

}  // namespace

Services installed() { return current(); }

Services install(const Services& services) {
    Services previous = current();
    Services& now = current();
    keep_or_take(now.message_boxes, services.message_boxes);
    keep_or_take(now.clock, services.clock);
    keep_or_take(now.files, services.files);
    keep_or_take(now.application, services.application);
    keep_or_take(now.programs, services.programs);
    keep_or_take(now.single_instance, services.single_instance);
    return previous;
}

void restore(const Services& previous) { current() = previous; }

MessageBoxes& message_boxes() {
    auto* installed = current().message_boxes;
    return installed ? *installed : posix::console_message_boxes();
}
Clock& clock() {
    auto* installed = current().clock;
    return installed ? *installed : posix::system_clock();
}
FileSystem& files() {
    auto* installed = current().files;
    return installed ? *installed : posix::file_system();
}
Application& application() {
    auto* installed = current().application;
    return installed ? *installed : posix::executable_application();
}
Programs& programs() {
    auto* installed = current().programs;
    return installed ? *installed : posix::programs();
}
SingleInstance& single_instance() {
    auto* installed = current().single_instance;
    return installed ? *installed : posix::single_instance();
}

std::string join_path(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != posix::kSeparator) path += posix::kSeparator;
    path += name;
    return path;
}

}  // namespace tlv::port
