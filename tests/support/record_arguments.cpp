// A program for the tests of program starts on Windows: writes its arguments, one a line in UTF-8,
// into <its own path>.args once it has them all, so that a test can wait for them.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>

#include "shared/platform/win32.h"

int main() {
    using tlv::port::win32::narrow;
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::string text;
    for (int i = 1; i < count; ++i) text += narrow(arguments[i]) + '\n';
    wchar_t own[MAX_PATH];
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring temporary = std::wstring(own) + L".tmp";
    HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    ::CloseHandle(file);
    ::MoveFileExW(temporary.c_str(), (std::wstring(own) + L".args").c_str(),
                  MOVEFILE_REPLACE_EXISTING);
}
