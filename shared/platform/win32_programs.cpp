#include <windows.h>

#include "shared/failure.h"
#include "shared/platform/win32.h"

namespace tlv::port::win32 {
namespace {

void append_argument(std::wstring& line, std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        line += argument;
        return;
    }
    // Backslashes are literal except before a quote, where they double.
    line += L'"';
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

int show_command(WindowStyle style) {
    switch (style) {
        case WindowStyle::Hidden:
            return SW_HIDE;
        case WindowStyle::MinimizedFocus:
            return SW_SHOWMINIMIZED;
        default:
            return SW_SHOWNORMAL;
    }
}

// The file itself, never one found through the search path: a name without
// a folder is taken from the current folder, as the file test saw it.
class Win32Programs final : public Programs {
public:
    void start(std::string_view program, const std::vector<std::string>& arguments,
               WindowStyle style) override {
        if (program.empty() || program.find('\0') != std::string_view::npos)
            fail_with_error(ERROR_FILE_NOT_FOUND, "no program");
        std::wstring file = wide_path(program);
        if (file.find_first_of(L"\\/:") == std::wstring::npos) file = L".\\" + file;
        std::vector<std::wstring> wide_arguments;
        for (const std::string& argument : arguments) wide_arguments.push_back(wide_path(argument));
        std::wstring line = command_line(file, wide_arguments);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show_command(style));
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(file.c_str(), line.data(), nullptr, nullptr, FALSE,
                              CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process))
            fail_with_error(::GetLastError(), native_path(program));
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
};

}  // namespace

std::wstring command_line(std::wstring_view program, const std::vector<std::wstring>& arguments) {
    std::wstring line;
    append_argument(line, program);
    for (const std::wstring& argument : arguments) {
        line += L' ';
        append_argument(line, argument);
    }
    return line;
}

Programs& programs() {
    static Win32Programs programs;
    return programs;
}

}  // namespace tlv::port::win32
