// read_box.exe TITLE SECONDS: waits for a message box titled TITLE, prints its texts (UTF-8, a
// line each) and presses its first button; exits 0, or 1 when no such box came in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shared/platform/win32.h"

int main(int argc, char** argv) {
    for (int waited = 0; argc == 3 && waited < 10 * std::atoi(argv[2]); ++waited, ::Sleep(100)) {
        if (HWND box = ::FindWindowA("#32770", argv[1])) {
            ::EnumChildWindows(
                box,
                [](HWND child, LPARAM) -> BOOL {
                    wchar_t text[1024];
                    if (::GetClassNameW(child, text, 1024) && std::wstring(text) == L"Static" &&
                        ::GetWindowTextW(child, text, 1024) > 0)
                        std::printf("%s\n", tlv::port::win32::narrow(text).c_str());
                    return TRUE;
                },
                0);
            std::fflush(stdout);
            return ::PostMessageW(box, WM_COMMAND, IDOK, 0) ? 0 : 1;
        }
    }
    return 1;
}
