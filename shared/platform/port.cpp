#include "shared/platform/port.h"

#include "shared/failure.h"
#include "shared/platform/headless.h"
#include "shared/platform/library.h"
#include "shared/platform/native.h"

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

template <typename T>
T& installed_or(T* installed, T& fallback) {
    return installed ? *installed : fallback;
}

}  // namespace

Services installed() { return current(); }

Services install(const Services& services) {
    Services previous = current();
    Services& now = current();
    keep_or_take(now.message_boxes, services.message_boxes);
    keep_or_take(now.file_dialogs, services.file_dialogs);
    keep_or_take(now.clock, services.clock);
    keep_or_take(now.files, services.files);
    keep_or_take(now.application, services.application);
    keep_or_take(now.programs, services.programs);
    keep_or_take(now.single_instance, services.single_instance);
    keep_or_take(now.tray, services.tray);
    keep_or_take(now.help, services.help);
    return previous;
}

void restore(const Services& previous) { current() = previous; }

MessageBoxes& message_boxes() {
    return installed_or(current().message_boxes, native::console_message_boxes());
}
FileDialogs& file_dialogs() {
    return installed_or(current().file_dialogs, headless::file_dialogs());
}
Clock& clock() { return installed_or(current().clock, native::system_clock()); }
FileSystem& files() { return installed_or(current().files, native::file_system()); }
Application& application() {
    return installed_or(current().application, native::executable_application());
}
Programs& programs() { return installed_or(current().programs, native::programs()); }
SingleInstance& single_instance() {
    return installed_or(current().single_instance, native::single_instance());
}
TrayIcons& tray() { return installed_or(current().tray, headless::tray()); }
HelpViewer& help() { return installed_or(current().help, headless::help()); }

void FileSystem::refuse_too_large(uint64_t most) {
    raise(err::kPathFileAccess, "File too large: more than " + std::to_string(most) + " bytes");
}

std::string settings_folder() {
    const Application& running = application();
    return running.settings_folder.empty() ? running.folder : running.settings_folder;
}

std::string program_file_name(std::string_view name) {
    return std::string(name) + std::string(native::kProgramSuffix);
}

std::string library_file_name(std::string_view name) {
    return std::string(native::kLibraryPrefix) + std::string(name) +
           std::string(native::kLibrarySuffix);
}

char separator() { return native::kSeparator; }

std::string folder_of(std::string_view path) {
    const size_t last =
        native::kSeparator == '\\' ? path.find_last_of("\\/") : path.rfind(native::kSeparator);
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string join_path(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != native::kSeparator) path += native::kSeparator;
    path += name;
    return path;
}

}  // namespace tlv::port
