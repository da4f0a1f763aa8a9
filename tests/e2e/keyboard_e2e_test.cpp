// The keyboard as a user presses it: Tab and Shift+Tab through each window,
// Esc closes from anywhere, Enter presses nothing, Space clicks the focused
// button.

#include "program_e2e.h"

using namespace driver;

namespace {

struct FocusOrder {
    const WindowKind& kind;
    std::vector<int> ids; // from the control that has the focus when the window opens
};

const std::vector<FocusOrder>& focusOrders() {
    static const std::vector<FocusOrder> all = {
        {mainWindow, {9, 8, 7, 6, 5, 4, 3, 1}},
        {dnsWindow, {7, 6, 5, 2, 1}},
        {staticWindow, {9, 4, 3, 2, 1}},
    };
    return all;
}

const std::vector<int>& focusOrderOf(const WindowKind& kind) {
    for (const FocusOrder& order : focusOrders())
        if (&order.kind == &kind)
            return order.ids;
    throw std::logic_error("no such window");
}

class Keyboard : public ProgramTest {
  protected:
    // Presses Tab until control `id` has the focus.
    void tabTo(HWND window, const WindowKind& kind, int id) {
        HWND target = controlById(window, id);
        ASSERT_TRUE(waitUntil([&] { return IsChild(window, focusOf(window)) != FALSE; }, 5000));
        for (size_t step = 0; step < focusOrderOf(kind).size() && focusOf(window) != target;
             ++step) {
            HWND before = focusOf(window);
            press(window, Key::Tab);
            waitUntil([&] { return focusOf(window) != before; }, 5000);
        }
        ASSERT_EQ(focusOf(window), target) << "Tab did not reach control " << id;
    }

    // Keys are handled in order: once a later Tab has moved the focus from
    // `from` to the next control, every key before it has been handled.
    void expectKeysHandled(HWND window, const WindowKind& kind, int from) {
        const std::vector<int>& order = focusOrderOf(kind);
        const auto at = std::find(order.begin(), order.end(), from);
        const int next = std::next(at) == order.end() ? order.front() : *std::next(at);
        press(window, Key::Tab);
        EXPECT_TRUE(waitForFocus(window, controlById(window, next)))
            << "the focus did not go on from control " << from;
    }
};

} // namespace

TEST_F(Keyboard, TabAndShiftTabGoRoundEachWindow) {
    start();
    for (const FocusOrder& order : focusOrders()) {
        SCOPED_TRACE(std::string(order.kind.name) + " window");
        HWND window = open(order.kind);
        ASSERT_TRUE(window);
        const size_t count = order.ids.size();
        ASSERT_TRUE(waitForFocus(window, controlById(window, order.ids[0])))
            << "first focus on " << describe(focusOf(window));
        // Forwards once round and back to the first.
        for (size_t step = 1; step <= count; ++step) {
            press(window, Key::Tab);
            const int expected = order.ids[step % count];
            ASSERT_TRUE(waitForFocus(window, controlById(window, expected)))
                << "Tab should reach control " << expected << ", focus is on "
                << describe(focusOf(window));
        }
        // Backwards once round, starting with the wrap to the last.
        for (size_t step = 1; step <= count; ++step) {
            press(window, Key::ShiftTab);
            const int expected = order.ids[(count - step) % count];
            ASSERT_TRUE(waitForFocus(window, controlById(window, expected)))
                << "Shift+Tab should reach control " << expected << ", focus is on "
                << describe(focusOf(window));
        }
        if (&order.kind != &mainWindow)
            closeModal(window, order.kind);
    }
}

TEST_F(Keyboard, EscClosesTheModalWindowsFromAnEditBoxAndFromAButton) {
    struct Case {
        const WindowKind& kind;
        int focused;
    };
    const Case cases[] = {
        {dnsWindow, dnsIds::primary},          {dnsWindow, dnsIds::setDns},
        {dnsWindow, dnsIds::flushDns},         {staticWindow, staticIds::adapter},
        {staticWindow, staticIds::setAddress},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind.name) + " window, focus on control " +
                     std::to_string(c.focused));
        HWND window = open(c.kind);
        ASSERT_TRUE(window);
        tabTo(window, c.kind, c.focused);
        press(window, Key::Esc);
        EXPECT_TRUE(program->waitForWindowGone(c.kind.className));
        EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
        EXPECT_TRUE(program->running());
    }
    EXPECT_TRUE(program->descendants().empty()) << "Esc pressed a button";
    EXPECT_FALSE(fileExists(inFolder("1.bat")));
}

TEST_F(Keyboard, EscClosesTheMainWindowFromAnEditBoxAndFromAButton) {
    for (int focused : {mainIds::adapter, mainIds::obtainAddress, mainIds::pingTarget}) {
        SCOPED_TRACE("focus on control " + std::to_string(focused));
        start();
        tabTo(main, mainWindow, focused);
        press(main, Key::Esc);
        EXPECT_EQ(program->waitForExit(), 0u);
        EXPECT_FALSE(fileExists(inFolder("1.bat"))) << "Esc pressed a button";
    }
}

TEST_F(Keyboard, EnterPressesNothing) {
    struct Case {
        const WindowKind& kind;
        int focused;
    };
    const Case cases[] = {
        {mainWindow, mainIds::obtainAddress}, {mainWindow, mainIds::adapter},
        {mainWindow, mainIds::changeDns},     {dnsWindow, dnsIds::setDns},
        {dnsWindow, dnsIds::primary},         {staticWindow, staticIds::setAddress},
        {staticWindow, staticIds::adapter},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind.name) + " window, focus on control " +
                     std::to_string(c.focused));
        HWND window = open(c.kind);
        ASSERT_TRUE(window);
        tabTo(window, c.kind, c.focused);
        press(window, Key::Enter);
        // Also shows that Enter left the focus where it was.
        expectKeysHandled(window, c.kind, c.focused);
        EXPECT_FALSE(fileExists(inFolder("1.bat")));
        EXPECT_TRUE(program->descendants().empty());
        EXPECT_FALSE(program->findWindow(dnsClass) && &c.kind != &dnsWindow);
        EXPECT_FALSE(program->findWindow(staticClass) && &c.kind != &staticWindow);
        if (&c.kind != &mainWindow)
            closeModal(window, c.kind);
    }
}

TEST_F(Keyboard, SpaceClicksTheFocusedButton) {
    start();
    // Right after the start the focus is on "自动获取IP".
    press(main, Key::Space);
    EXPECT_TRUE(waitUntil([&] { return fileExists(inFolder("1.bat")); }));
    program->endDescendants();

    tabTo(main, mainWindow, mainIds::changeDns);
    press(main, Key::Space);
    HWND dns = program->waitForWindow(dnsClass);
    ASSERT_TRUE(dns);
    tabTo(dns, dnsWindow, dnsIds::flushDns);
    press(dns, Key::Space);
    EXPECT_TRUE(program->waitForDescendant(
        [](const ProcessEntry& entry) { return entry.commandLine == "cmd /cipconfig /flushdns"; }));
}
