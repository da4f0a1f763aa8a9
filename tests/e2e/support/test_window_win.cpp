// A small window for proving the end-to-end driver on its own: a few controls
// with Tab stops, two of them nested in a group box, a button that counts its
// clicks, one that opens a modal window and one that starts a console. The
// exit code is the number of counted clicks.
//
// Controls of "E2eTestWindow" (ID: kind, place in the parent's client area):
//   11 Edit (10,10 100x24)   12 Button "count" (10,40 100x24)
//   13 Button "modal" (10,70 100x24)   14 group box (150,0 140x110), holding
//   15 Edit (10,20 100x24)   16 Button "console" (10,50 100x24)
// (IDs 1 and 2 would clash with the Enter and Esc commands of dialog keys.)
// Keys as in a dialog: Tab / Shift+Tab in creation order, Esc closes.

#include <windows.h>

#include <string>

namespace {

constexpr int outerWidth = 320;
constexpr int outerHeight = 200;

int clicks = 0;
WNDPROC groupBoxProc = nullptr;
bool modalOpen = false;

HWND makeControl(HWND parent, const char* kind, const char* text, DWORD style, DWORD exStyle,
                 int id, int x, int y, int width, int height) {
    return CreateWindowExA(exStyle, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

HWND makeTopWindow(const char* windowClass, const char* title, HWND owner) {
    const int x = (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2;
    return CreateWindowExA(0, windowClass, title, WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, x, y,
                           outerWidth, outerHeight, owner, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

// Runs a message loop with dialog keys until `window` is gone.
void runLoop(HWND window) {
    MSG message;
    while (IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(GetAncestor(message.hwnd ? message.hwnd : window, GA_ROOT), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void openModal(HWND main) {
    HWND modal = makeTopWindow("E2eTestModal", "modal", main);
    makeControl(modal, "EDIT", "in modal", WS_TABSTOP, WS_EX_CLIENTEDGE, 1, 10, 10, 100, 24);
    EnableWindow(main, FALSE);
    ShowWindow(modal, SW_SHOW);
    modalOpen = true;
    runLoop(modal);
    modalOpen = false;
}

void startConsole() {
    char commandLine[] = "cmd /k echo test window console";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

// Button notifications of nested controls reach the group box: pass them on.
LRESULT CALLBACK groupBox(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
        return SendMessageA(GetParent(window), message, wParam, lParam);
    return CallWindowProcA(groupBoxProc, window, message, wParam, lParam);
}

LRESULT CALLBACK mainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        makeControl(window, "EDIT", "first", WS_TABSTOP, WS_EX_CLIENTEDGE, 11, 10, 10, 100, 24);
        makeControl(window, "BUTTON", "count", WS_TABSTOP, 0, 12, 10, 40, 100, 24);
        makeControl(window, "BUTTON", "modal", WS_TABSTOP, 0, 13, 10, 70, 100, 24);
        HWND group = makeControl(window, "BUTTON", "group", BS_GROUPBOX, WS_EX_CONTROLPARENT, 14,
                                 150, 0, 140, 110);
        groupBoxProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(group, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(groupBox)));
        makeControl(group, "EDIT", "nested", WS_TABSTOP, WS_EX_CLIENTEDGE, 15, 10, 20, 100, 24);
        makeControl(group, "BUTTON", "console", WS_TABSTOP, 0, 16, 10, 50, 100, 24);
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case 12:
                SetWindowTextA(window, ("clicks " + std::to_string(++clicks)).c_str());
                break;
            case 13:
                openModal(window);
                break;
            case 16:
                startConsole();
                break;
            case IDCANCEL: // Esc
                PostMessageA(window, WM_CLOSE, 0, 0);
                break;
            }
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(clicks);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK modalWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_CLOSE)
        EnableWindow(GetWindow(window, GW_OWNER), TRUE); // before the owner is activated again
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerClass(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    registerClass("E2eTestWindow", mainWindow);
    registerClass("E2eTestModal", modalWindow);
    HWND main = makeTopWindow("E2eTestWindow", "test window", nullptr);
    ShowWindow(main, SW_SHOW);
    SetFocus(GetDlgItem(main, 11));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(GetAncestor(message.hwnd ? message.hwnd : main, GA_ROOT), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
