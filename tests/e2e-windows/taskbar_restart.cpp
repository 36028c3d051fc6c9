// What a restart of Explorer does to a program's notification icon, in two steps a test can
// watch between:
//   taskbar_restart forget    the notification area drops every icon of the toolkit's tray
//                             windows, as a crashed taskbar loses them all;
//   taskbar_restart announce  the new taskbar's "TaskbarCreated" goes to every top-level window.
// Exits 0 when it did something, 1 when there was nothing to act on, 2 on a wrong call.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstring>

namespace {
int forgotten = 0;

BOOL CALLBACK forget(HWND window, LPARAM) {
    char name[64];
    if (!GetClassNameA(window, name, sizeof name) || !std::strstr(name, "TrayIconMessageWindow"))
        return TRUE;
    // The toolkit numbers the icons of one window from 0; a few more ids are harmless.
    for (UINT id = 0; id < 4; ++id) {
        NOTIFYICONDATAW data;
        std::memset(&data, 0, sizeof data);
        data.cbSize = sizeof data;
        data.hWnd = window;
        data.uID = id;
        if (Shell_NotifyIconW(NIM_DELETE, &data))
            ++forgotten;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    if (!std::strcmp(argv[1], "forget")) {
        EnumWindows(forget, 0);
        return forgotten ? 0 : 1;
    }
    if (!std::strcmp(argv[1], "announce")) {
        const UINT created = RegisterWindowMessageW(L"TaskbarCreated");
        DWORD_PTR answer;
        return SendMessageTimeoutW(HWND_BROADCAST, created, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)
                   ? 0
                   : 1;
    }
    return 2;
}
