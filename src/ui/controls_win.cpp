#include "ui/controls_win.h"

#include "win/window_class.h"

namespace {

constexpr char labelClassName[] = "IpflipLabel";

HFONT guiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LRESULT CALLBACK labelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(label, &paint);
        RECT area;
        GetClientRect(label, &area);
        FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
        HGDIOBJ previousFont = SelectObject(dc, guiFont());
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        const AnsiText caption = windowText(label);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, previousFont);
        EndPaint(label, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // painting fills the whole label
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(label, message, wParam, lParam);
        InvalidateRect(label, nullptr, TRUE);
        return result;
    }
    }
    return DefWindowProcA(label, message, wParam, lParam);
}

// A group box is the real parent of its nested controls, but the button
// class keeps their notifications and colour requests to itself: hand them
// to the window, and erase the interior in the button-face colour.
LRESULT CALLBACK groupBoxProc(HWND groupBox, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return SendMessageA(GetAncestor(groupBox, GA_ROOT), message, wParam, lParam);
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(groupBox, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    }
    const auto buttonProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(groupBox, GCLP_WNDPROC));
    return CallWindowProcA(buttonProc, groupBox, message, wParam, lParam);
}

struct KindStyle {
    const char* className;
    DWORD style;
    DWORD extendedStyle;
};

KindStyle styleOf(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kind) {
    case ControlKind::EditBox:
        return {"EDIT", child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button:
        return {"BUTTON",
                child | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0};
    case ControlKind::Label:
        return {labelClassName, child, 0};
    case ControlKind::GroupBox:
        return {"BUTTON", child | BS_GROUPBOX | BS_LEFT, 0};
    }
    return {};
}

} // namespace

bool registerControlClasses(HINSTANCE instance) {
    return registerWindowClass(instance, {labelClassName, labelProc});
}

HWND createControl(HINSTANCE instance, const ControlRow& row, int id, HWND parent) {
    const KindStyle kind = styleOf(row.kind);
    const AnsiText caption(row.caption);
    HWND control =
        CreateWindowExA(kind.extendedStyle, kind.className, caption.c_str(), kind.style, row.left,
                        row.top, row.width, row.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!control)
        return nullptr;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont()), FALSE);
    if (row.kind == ControlKind::EditBox) {
        SendMessageA(control, EM_LIMITTEXT, 0, 0);
        SendMessageA(control, EM_SETSEL, 0, 0);
    } else if (row.kind == ControlKind::GroupBox) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(groupBoxProc));
    }
    return control;
}

LRESULT controlColours(UINT message, HDC dc) {
    SetTextColor(dc, RGB(0, 0, 0));
    if (message == WM_CTLCOLOREDIT) {
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

AnsiText windowText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    AnsiText text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}
