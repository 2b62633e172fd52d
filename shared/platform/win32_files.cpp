#define _CRT_RAND_S
#include <stdlib.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <utility>

#include "shared/failure.h"
#include "shared/platform/win32.h"

namespace tlv::port::win32 {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (*this) ::CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_; }
    // Closes now and reports whether the close succeeded.
    bool close() { return ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

private:
    HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool folder_exists(const std::string& native_folder) {
    DWORD attributes = ::GetFileAttributesW(wide(native_folder).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A missing file in a missing folder is a missing path, as on POSIX.
[[noreturn]] void fail_on(DWORD error, const std::string& native) {
    if (error == ERROR_FILE_NOT_FOUND && !folder_exists(parent_folder(native)))
        error = ERROR_PATH_NOT_FOUND;
    fail_with_error(error, native);
}

bool has_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

std::optional<WIN32_FILE_ATTRIBUTE_DATA> attributes_of(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (has_nul(path) ||
        !::GetFileAttributesExW(wide_path(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return data;
}

uint64_t join(DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; }

void write_all(HANDLE file, std::string_view text, const std::string& native) {
    while (!text.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, text.data(), chunk, &written, nullptr))
            fail_on(::GetLastError(), native);
        text.remove_prefix(written);
    }
}

// Leftovers of a writer that died half-way: ".tolvane-PID-N" of a process
// that no longer runs.
void remove_leftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\.tolvane-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        unsigned long pid = 0;
        if (std::swscanf(found.cFileName, L".tolvane-%lu-", &pid) != 1) continue;
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
        bool running = process && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (process) ::CloseHandle(process);
        if (!running) ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// ".tolvane-PID-RANDOM": the writer's process, so that the leftover of a dead
// writer can be told, and 64 random bits, so that nobody can prepare the name.
std::wstring temporary_name(const std::wstring& folder) {
    static std::atomic<uint64_t> counter{0};
    unsigned high = 0, low = 0;
    if (rand_s(&high) != 0 || rand_s(&low) != 0) high = ::GetTickCount();
    const uint64_t random = ((uint64_t{high} << 32) | low) ^ counter++;
    wchar_t name[64];
    std::swprintf(name, 64, L"\\.tolvane-%lu-%016llx", ::GetCurrentProcessId(),
                  static_cast<unsigned long long>(random));
    return folder + name;
}

class Win32FileSystem final : public FileSystem {
public:
    // Listed as a pattern, ordinary files only: not hidden, not a system
    // file, not a folder; a pattern counts when it matches such a file.
    bool is_plain_file(std::string_view path) override {
        if (path.empty() || path.back() == '\\' || path.back() == '/' || has_nul(path))
            return false;
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW(wide_path(path).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return false;
        constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
        bool plain = false;
        do plain = (found.dwFileAttributes & kNotPlain) == 0;
        while (!plain && ::FindNextFileW(search, &found));
        ::FindClose(search);
        return plain;
    }

    std::optional<uint64_t> file_size(std::string_view path) override {
        auto data = attributes_of(path);
        if (!data) return std::nullopt;
        return join(data->nFileSizeHigh, data->nFileSizeLow);
    }

    std::optional<DateTime> last_modified(std::string_view path) override {
        auto data = attributes_of(path);
        SYSTEMTIME universal{}, local{};
        if (!data || !::FileTimeToSystemTime(&data->ftLastWriteTime, &universal) ||
            !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
            return std::nullopt;
        return DateTime{local.wYear, local.wMonth,  local.wDay,
                        local.wHour, local.wMinute, local.wSecond};
    }

    std::optional<FileStamp> stamp(std::string_view path) override {
        if (has_nul(path)) return std::nullopt;
        Handle file(::CreateFileW(wide_path(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!file || !::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
        const uint64_t ticks =
            join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
        return FileStamp{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                         join(info.nFileSizeHigh, info.nFileSizeLow), int64_t(ticks) * 100};
    }

    Presence examine(std::string_view path) override {
        if (is_plain_file(path)) return Presence::PlainFile;
        if (path.empty()) return Presence::Missing;
        if (has_nul(path)) fail_with_error(ERROR_INVALID_NAME, native_path(path));
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(wide_path(path).c_str(), GetFileExInfoStandard, &data)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                return Presence::Missing;
            raise(err::kPathFileAccess, system_message(error));
        }
        constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
        return data.dwFileAttributes & kNotPlain ? Presence::NotRegular : Presence::Hidden;
    }

    std::string read_all(std::string_view path, uint64_t most) override {
        const std::string native = native_path(path);
        if (has_nul(path)) fail_with_error(ERROR_INVALID_NAME, native);
        auto data = attributes_of(path);
        if (data && (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            raise(err::kPathFileAccess, "Is a directory");
        Handle file(::CreateFileW(wide_path(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) fail_on(::GetLastError(), native);
        if (::GetFileType(file.get()) != FILE_TYPE_DISK) raise(err::kPathFileAccess, "Not a file");
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file.get(), &size)) fail_on(::GetLastError(), native);
        const auto bytes = static_cast<uint64_t>(size.QuadPart);
        if (bytes > most) refuse_too_large(most);
        // Up to the size the file had when opened: a file that grows meanwhile is not read on.
        std::string text(static_cast<size_t>(bytes), '\0');
        size_t length = 0;
        while (length < text.size()) {
            DWORD got = 0;
            const auto chunk = static_cast<DWORD>(std::min<size_t>(text.size() - length, 1u << 30));
            if (!::ReadFile(file.get(), text.data() + length, chunk, &got, nullptr))
                fail_on(::GetLastError(), native);
            if (got == 0) break;
            length += got;
        }
        text.resize(length);
        return text;
    }

    // Written beside the target under a name of its own, then swapped in:
    // ReplaceFileW keeps the old file's attributes and access rights.
    void replace(std::string_view path, std::string_view text) override {
        const std::string native = native_path(path);
        if (has_nul(path)) fail_with_error(ERROR_INVALID_NAME, native);
        const std::wstring target = wide_path(path);
        auto existing = attributes_of(path);
        if (existing &&
            (existing->dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
            raise(err::kPathFileAccess, "Not a regular file");
        const std::wstring folder = wide(parent_folder(native));
        remove_leftovers(folder);
        const std::wstring temporary = temporary_name(folder);
        Handle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) fail_on(::GetLastError(), native);
        try {
            write_all(file.get(), text, native);
            if (!file.close()) fail_on(::GetLastError(), native);
            bool swapped = existing
                               ? ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                               : ::MoveFileExW(temporary.c_str(), target.c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            if (!swapped) fail_on(::GetLastError(), native);
        } catch (...) {
            ::DeleteFileW(temporary.c_str());
            throw;
        }
    }

    void append(std::string_view path, std::string_view text) override {
        const std::string native = native_path(path);
        if (has_nul(path)) fail_with_error(ERROR_INVALID_NAME, native);
        Handle file(::CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) fail_on(::GetLastError(), native);
        LARGE_INTEGER end{}, zero{};
        if (!::SetFilePointerEx(file.get(), zero, &end, FILE_END))
            fail_on(::GetLastError(), native);
        try {
            write_all(file.get(), text, native);
        } catch (...) {
            ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
            ::SetEndOfFile(file.get());
            throw;
        }
        if (!file.close()) fail_on(::GetLastError(), native);
    }
};

}  // namespace

FileSystem& file_system() {
    static Win32FileSystem files;
    return files;
}

// Windows gives large pages only to a process with the lock-pages right:
// buffers are reserved as they are.
void prepare_pages(void*, size_t) {}
void reserve_ready(std::string& text, size_t size) { text.reserve(size); }

}  // namespace tlv::port::win32
