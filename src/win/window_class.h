#pragma once
// Registering a window class with the arrow cursor, the one way this
// program does it.

#include <windows.h>

struct WindowClass {
    const char* name;
    WNDPROC procedure;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
};

inline bool registerWindowClass(HINSTANCE instance, const WindowClass& windowClass) {
    WNDCLASSEXA description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = windowClass.procedure;
    description.hInstance = instance;
    description.hIcon = windowClass.icon;
    description.hIconSm = windowClass.smallIcon;
    description.hCursor = LoadCursor(nullptr, IDC_ARROW);
    description.hbrBackground = windowClass.background;
    description.lpszClassName = windowClass.name;
    return RegisterClassExA(&description) != 0;
}
