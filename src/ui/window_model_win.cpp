#include "ui/window_model_win.h"

#include "ui/controls_win.h"
#include "ui/layout.h"
#include "win/window_class.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr char hiddenOwnerClassName[] = "IpflipHiddenOwner";

class Window final : public WindowContext {
  public:
    Window(const WindowTemplate& layout, std::uint64_t serial) : layout_(layout), serial_(serial) {}

    const WindowTemplate& layout() const { return layout_; }
    std::uint64_t serial() const { return serial_; }
    HWND frame() const { return frame_; }
    bool isModal() const { return modal_; }
    void attach(HWND frame) { frame_ = frame; }

    AnsiText text(std::string_view control) const override {
        return windowText(controlNamed(control));
    }
    void setText(std::string_view control, std::string_view value) override {
        SetWindowTextA(controlNamed(control), AnsiText(value).c_str());
    }
    void setTitle(std::string_view title) override {
        SetWindowTextA(frame_, AnsiText(title).c_str());
    }

    bool build(HINSTANCE instance, HWND owner);
    void fire(Handler handler);
    void clicked(int row);
    bool handleKey(const MSG& message);
    void rememberFocus();
    void restoreFocus();
    void disableOthers();
    void close();

  private:
    HWND controlAt(int row) const { return controls_[row - 1]; }
    HWND controlNamed(std::string_view name) const;
    int rowOf(HWND control) const;

    const WindowTemplate& layout_;
    const std::uint64_t serial_;
    HWND frame_ = nullptr;
    std::vector<HWND> controls_; // by row - 1
    bool modal_ = false;
    std::vector<std::pair<HWND, bool>> disabled_; // windows this one disabled, with prior state
    HWND lastFocus_ = nullptr;
};

// The process's window state, touched by the GUI thread only.
struct WindowModel {
    HINSTANCE instance = nullptr;
    HWND hiddenOwner = nullptr;
    std::vector<std::unique_ptr<Window>> open;
    std::uint64_t nextSerial = 1;
    bool loopStarted = false;
    int eventSuppression = 0;
};
WindowModel model;

Window* windowOf(HWND frame) {
    for (const auto& window : model.open)
        if (window->frame() == frame)
            return window.get();
    return nullptr;
}

bool isOpen(std::uint64_t serial) {
    return std::any_of(model.open.begin(), model.open.end(),
                       [serial](const auto& window) { return window->serial() == serial; });
}

void forget(const Window* gone) {
    std::erase_if(model.open, [gone](const auto& window) { return window.get() == gone; });
}

bool modifierDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

HWND Window::controlNamed(std::string_view name) const {
    for (std::size_t i = 0; i < layout_.controls.size(); ++i)
        if (layout_.controls[i].name == name)
            return controls_[i];
    return nullptr;
}

int Window::rowOf(HWND control) const {
    const auto at = std::find(controls_.begin(), controls_.end(), control);
    return at == controls_.end() ? 0 : static_cast<int>(at - controls_.begin()) + 1;
}

bool Window::build(HINSTANCE instance, HWND owner) {
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (layout_.minimizeBox)
        style |= WS_MINIMIZEBOX;
    const Point origin = centredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                       layout_.width, layout_.height);
    // WM_NCCREATE attaches the frame to this window object.
    if (!CreateWindowExA(0, layout_.className, "", style, origin.x, origin.y, layout_.width,
                         layout_.height, owner, nullptr, instance, this))
        return false;
    RECT outer;
    GetWindowRect(frame_, &outer);
    if (outer.right - outer.left != layout_.width || outer.bottom - outer.top != layout_.height)
        SetWindowPos(frame_, nullptr, origin.x, origin.y, layout_.width, layout_.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);

    // A nested control's group box may come later in the table: create the
    // group boxes first, then stack every control in table order, the first
    // row on top.
    const auto& rows = layout_.controls;
    controls_.assign(rows.size(), nullptr);
    for (bool groupBoxes : {true, false}) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if ((rows[i].kind == ControlKind::GroupBox) != groupBoxes)
                continue;
            HWND parent = rows[i].parentRow == 0 ? frame_ : controls_[rows[i].parentRow - 1];
            controls_[i] = createControl(instance, rows[i], static_cast<int>(i) + 1, parent);
            if (!controls_[i])
                return false;
        }
    }
    for (HWND control : controls_)
        SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void Window::fire(Handler handler) {
    if (handler && model.eventSuppression == 0)
        handler(*this);
}

void Window::clicked(int row) {
    for (const ClickBinding& click : layout_.clicks)
        if (click.row == row)
            fire(click.clicked);
}

// Tab and Shift+Tab move the focus through the focus order, Esc closes the
// window; everything else goes to the focused control.
bool Window::handleKey(const MSG& message) {
    if (message.message != WM_KEYDOWN)
        return false;
    const bool control = modifierDown(VK_CONTROL), alt = modifierDown(VK_MENU),
               shift = modifierDown(VK_SHIFT);
    if (message.wParam == VK_ESCAPE && !control && !alt && !shift) {
        SendMessageA(frame_, WM_CLOSE, 0, 0);
        return true;
    }
    if (message.wParam == VK_TAB && !control && !alt) {
        const auto next = nextFocusRow(layout_.controls, rowOf(GetFocus()), shift);
        if (!next)
            return false;
        SetFocus(controlAt(*next));
        return true;
    }
    return false;
}

void Window::rememberFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(frame_, focus))
        lastFocus_ = focus;
}

void Window::restoreFocus() {
    if (lastFocus_ && IsChild(frame_, lastFocus_)) {
        SetFocus(lastFocus_);
        return;
    }
    const std::vector<int> order = focusOrder(layout_.controls);
    if (!order.empty())
        SetFocus(controlAt(order.front()));
}

void Window::disableOthers() {
    modal_ = true;
    for (const auto& other : model.open) {
        if (other.get() == this)
            continue;
        disabled_.emplace_back(other->frame(), IsWindowEnabled(other->frame()) != FALSE);
        EnableWindow(other->frame(), FALSE);
    }
}

// Closing is never refused. The disabled windows get their state back
// before the frame goes, so the platform can activate them.
void Window::close() {
    if (modal_) {
        for (const auto& [other, wasEnabled] : disabled_)
            if (IsWindow(other))
                EnableWindow(other, wasEnabled);
        disabled_.clear();
        modal_ = false;
    }
    DestroyWindow(frame_);
}

// Bringing a disabled window forward brings the open modal window instead.
void handOnActivation(const Window& activated) {
    for (const auto& window : model.open) {
        if (window.get() == &activated || !window->isModal())
            continue;
        HWND frame = window->frame();
        if (IsWindowVisible(frame) && IsWindowEnabled(frame)) {
            SetActiveWindow(frame);
            return;
        }
    }
}

LRESULT CALLBACK frameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        window->attach(frame);
        SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
    if (!window)
        return DefWindowProcA(frame, message, wParam, lParam);

    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0)
            window->clicked(LOWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return controlColours(message, reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            window->rememberFocus();
        else if (!IsWindowEnabled(frame))
            handOnActivation(*window);
        break;
    case WM_SETFOCUS:
        window->restoreFocus();
        return 0;
    case WM_CLOSE:
        window->close();
        return 0;
    case WM_DESTROY:
        window->fire(window->layout().willBeDestroyed);
        return 0;
    case WM_NCDESTROY: {
        SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
        forget(window);
        if (model.open.empty() && model.loopStarted)
            PostQuitMessage(0);
        break;
    }
    case WM_QUERYENDSESSION:
        return TRUE; // nothing is saved: the session simply ends
    case WM_ENDSESSION:
        return 0;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

// The window a key press is aimed at, and its ancestors up to the top-level
// window, look at it first.
bool preTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN || !message.hwnd)
        return false;
    Window* window = windowOf(GetAncestor(message.hwnd, GA_ROOT));
    return window && window->handleKey(message);
}

void dispatch(const MSG& message) {
    if (!preTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Runs until the window is gone; a WM_QUIT taken here is passed on to the
// loop outside.
void runModalLoop(std::uint64_t serial) {
    MSG message;
    while (isOpen(serial)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got < 0)
            return;
        dispatch(message);
    }
}

bool registerFrameClass(HINSTANCE instance, const char* name, HICON large, HICON small) {
    return registerWindowClass(
        instance, {name, frameProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), large, small});
}

} // namespace

bool prepareWindowTemplates(HINSTANCE instance) {
    model.instance = instance;
    const WindowTemplate* templates[] = {&mainWindowTemplate, &dnsWindowTemplate,
                                         &staticAddressWindowTemplate};
    if (!std::all_of(std::begin(templates), std::end(templates),
                     [](const WindowTemplate* window) { return isWellFormed(*window); }))
        return false;
    auto large =
        static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    auto small = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    if (!registerControlClasses(instance))
        return false;
    return std::all_of(std::begin(templates), std::end(templates), [&](const WindowTemplate* w) {
        return registerFrameClass(instance, w->className, large, small);
    });
}

bool createHiddenOwnerWindow(HINSTANCE instance) {
    registerWindowClass(instance, {hiddenOwnerClassName, DefWindowProcA,
                                   static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))});
    model.hiddenOwner = CreateWindowExA(WS_EX_TOOLWINDOW, hiddenOwnerClassName, "", 0, 0, 0, 0, 0,
                                        nullptr, nullptr, instance, nullptr);
    return model.hiddenOwner != nullptr;
}

void destroyHiddenOwnerWindow() {
    if (model.hiddenOwner)
        DestroyWindow(std::exchange(model.hiddenOwner, nullptr));
}

bool openWindow(const WindowTemplate& layout, bool modal) {
    for (const auto& open : model.open) {
        if (&open->layout() != &layout)
            continue;
        if (IsIconic(open->frame()))
            ShowWindow(open->frame(), SW_RESTORE);
        else
            SetActiveWindow(open->frame());
        return true;
    }

    model.open.push_back(std::make_unique<Window>(layout, model.nextSerial++));
    Window& window = *model.open.back();
    const std::uint64_t serial = window.serial();

    // Nothing that building causes reaches a handler.
    ++model.eventSuppression;
    if (!window.build(model.instance, modal ? model.hiddenOwner : nullptr)) {
        if (window.frame())
            DestroyWindow(window.frame());
        forget(&window);
        --model.eventSuppression;
        return false;
    }
    MSG message;
    while (PeekMessageA(&message, window.frame(), 0, 0, PM_REMOVE))
        dispatch(message);
    --model.eventSuppression;

    window.fire(layout.created);
    if (!isOpen(serial))
        return true;
    ShowWindow(window.frame(), SW_SHOW);
    if (!modal)
        return true;

    window.disableOthers();
    runModalLoop(serial);
    return true;
}

bool openModalWindow(const WindowTemplate& window) {
    return openWindow(window, true);
}

int runMainMessageLoop() {
    model.loopStarted = true;
    if (model.open.empty())
        return 0;
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0)
        dispatch(message);
    return got == 0 ? static_cast<int>(message.wParam) : 0;
}

void suppressEventsForGood() {
    ++model.eventSuppression;
}
