#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "shared/codec.h"
#include "shared/failure.h"
#include "shared/platform/headless.h"
#include "shared/platform/win32.h"

namespace tlv::port::win32 {
namespace {

bool has_error_stream() {
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    return error != nullptr && error != INVALID_HANDLE_VALUE &&
           ::GetFileType(error) != FILE_TYPE_UNKNOWN;
}

// Started from a console or with its error stream redirected, the box is a
// line on standard error answered with the safe choice, as on POSIX; a
// program started from the desktop shows a real box.
class ConsoleMessageBoxes final : public MessageBoxes {
public:
    Answer show(std::string_view text, std::string_view title, BoxStyle style) override {
        if (has_error_stream()) return headless::write_box(text, title, style);
        return static_cast<Answer>(::MessageBoxW(nullptr, wide_path(text).c_str(),
                                                 wide_path(title).c_str(),
                                                 static_cast<UINT>(style) | MB_TASKMODAL));
    }
};

class SystemClock final : public Clock {
public:
    DateTime now() override {
        SYSTEMTIME t{};
        ::GetLocalTime(&t);
        return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
    }
    void sleep(std::chrono::milliseconds duration) override {
        ::Sleep(static_cast<DWORD>(duration.count()));
    }
};

std::string module_path(HMODULE module) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(module, buffer.data(), DWORD(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return narrow({buffer.data(), length});
        buffer.resize(buffer.size() * 2);
    }
}

std::string name_of(const std::string& native) {
    size_t slash = native.find_last_of("\\/");
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
        std::string path = module_path(nullptr);
        std::string folder = parent_folder(path);
        std::string title = name_of(path);
        if (title.size() > 4 && _stricmp(title.c_str() + title.size() - 4, ".exe") == 0)
            title.resize(title.size() - 4);
        return Application{from_native(folder), from_native(title),
                           from_native(settings_folder_for(folder))};
    }();
    return application;
}

namespace {

// A program folder under Program Files is an installation, whose settings are
// each user's own, also for a user who may write there (an administrator):
// the installer then removes the folder whole.
bool under_program_files(const std::string& native_folder) {
    const std::wstring folder = wide(native_folder) + L"\\";
    for (const wchar_t* name : {L"ProgramW6432", L"ProgramFiles", L"ProgramFiles(x86)"}) {
        const wchar_t* value = _wgetenv(name);
        if (!value || !*value) continue;
        const std::wstring root = std::wstring(value) + L"\\";
        if (folder.size() >= root.size() &&
            ::CompareStringOrdinal(folder.c_str(), int(root.size()), root.c_str(), int(root.size()),
                                   TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

// Writable means a file can be made there: the folder's attributes say
// nothing of its access rights.
bool may_write(const std::string& native_folder) {
    std::wstring probe = wide(native_folder + "\\.tolvane-probe");
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

}  // namespace

std::string settings_folder_for(const std::string& native_folder) {
    if (!under_program_files(native_folder) && may_write(native_folder)) return {};
    const wchar_t* appdata = _wgetenv(L"APPDATA");
    std::string folder = narrow(appdata ? appdata : L".") + "\\tolvane";
    ::CreateDirectoryW(wide(folder).c_str(), nullptr);
    return folder;
}

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), length);
    return text;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    int length = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), nullptr, 0,
                                       nullptr, nullptr);
    std::string text(size_t(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), text.data(), length, nullptr,
                          nullptr);
    return text;
}

std::wstring wide_path(std::string_view path) { return wide(codec::to_utf8(path)); }
std::string native_path(std::string_view path) { return codec::to_utf8(path); }

std::string from_native(std::string_view native) {
    std::optional<std::string> converted = codec::from_utf8(native);
    return converted ? *converted : std::string(native);
}

std::string parent_folder(const std::string& native) {
    size_t slash = native.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 2 && native[1] == ':') return native.substr(0, 3);  // "C:\"
    return slash == 0 ? native.substr(0, 1) : native.substr(0, slash);
}

// The program's name ends at its closing quote, or unquoted at the first blank.
std::string command_tail() {
    std::wstring_view line = ::GetCommandLineW();
    size_t end = line.starts_with(L'"') ? line.find(L'"', 1) : line.find_first_of(L" \t");
    line.remove_prefix(
        std::min(end == std::wstring_view::npos ? line.size() : end + 1, line.size()));
    line.remove_prefix(std::min(line.find_first_not_of(L" \t"), line.size()));
    return narrow(line);
}

bool has_display() { return true; }

std::string native_folder_of_address(const void* address) {
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module))
        return {};
    return parent_folder(module_path(module));
}

std::string system_message(unsigned long error) {
    wchar_t* text = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text),
        0, nullptr);
    std::wstring message(text ? text : L"", length);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L'.' || message.back() == L' '))
        message.pop_back();
    return from_native(narrow(message));
}

[[noreturn]] void fail_with_error(unsigned long error, std::string_view what) {
    std::string description = system_message(error);
    if (description.empty()) description = std::string(what) + " (" + std::to_string(error) + ")";
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            raise(err::kFileNotFound, description);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
            raise(err::kPathNotFound, description);
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_BAD_EXE_FORMAT:
            raise(err::kPermissionDenied, description);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            raise(err::kDiskFull, description);
        default:
            raise(err::kPathFileAccess, description);
    }
}

}  // namespace tlv::port::win32
