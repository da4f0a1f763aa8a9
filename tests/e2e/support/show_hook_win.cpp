// Loaded into the program under test through the end-to-end driver's window
// hook. Records every top-level window at the moment it is first shown (on
// WM_SHOWWINDOW, before it becomes visible): its class, its title and the
// text of each edit box in it, one line per window, appended to the file
// that IPFLIP_E2E_SHOW_LOG names. It runs inside the program's GUI thread,
// so what it records is exactly what the window holds at that moment.

#include <windows.h>

#include <set>
#include <string>

namespace {

std::set<HWND> recorded; // only touched by the program's GUI thread

std::string textOf(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK addEditText(HWND control, LPARAM line) {
    char name[16] = "";
    GetClassNameA(control, name, sizeof name);
    if (lstrcmpiA(name, "Edit") == 0) {
        std::string& text = *reinterpret_cast<std::string*>(line);
        text += '\t';
        text += std::to_string(GetDlgCtrlID(control));
        text += '=';
        text += textOf(control);
    }
    return TRUE;
}

void record(HWND window) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("IPFLIP_E2E_SHOW_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path || !recorded.insert(window).second)
        return;
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    std::string line = std::string(name) + "\t" + textOf(window);
    EnumChildWindows(window, addEditText, reinterpret_cast<LPARAM>(&line));
    line += "\r\n";
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    recordFirstShow(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam &&
        !(GetWindowLongPtrA(message->hwnd, GWL_STYLE) & WS_CHILD))
        record(message->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
