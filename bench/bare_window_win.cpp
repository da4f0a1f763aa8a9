// The floor for start-up: a bare Win32 program that opens one empty window
// of the main window's size, centred, and does nothing else. Built a second
// time with the program's manifest and one push button.
#include <windows.h>

namespace {

LRESULT CALLBACK bareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = bareProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "BenchBareWindow";
    RegisterClassExA(&windowClass);
    const int width = 379, height = 218;
    HWND window = CreateWindowExA(0, "BenchBareWindow", "bare", WS_CAPTION | WS_SYSMENU,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                  nullptr, nullptr, instance, nullptr);
#ifdef BENCH_THEMED_CONTROL
    // One themed push button: what any window with controls pays for the
    // common controls 6.0 that the manifest asks for.
    CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 8, 80, 24, window,
                    nullptr, instance, nullptr);
#endif
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
