// The driver itself, proven on a small window of its own: when these pass and
// a program test fails, the fault is in the program, not in the mechanics.

#include "driver_win.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <memory>

using namespace driver;

namespace {

class Driver : public ::testing::Test {
  protected:
    TempFolder scratch{"driver test"};
    std::unique_ptr<RunningProgram> program;
    HWND window = nullptr;

    void SetUp() override {
        const std::string exe = scratch / "test window.exe";
        copyFileTo(testProgramDirectory() + "\\e2e_test_window.exe", exe);
        program = std::make_unique<RunningProgram>(exe);
        ASSERT_TRUE(program->started());
        window = program->waitForWindow("E2eTestWindow");
        ASSERT_TRUE(window);
    }
};

} // namespace

TEST_F(Driver, FindsNestedControlsAndTheirPlaces) {
    struct Expected {
        int id;
        const char* kind;
        RECT rect; // in the top window's client area
    };
    const Expected controls[] = {
        {11, "Edit", {10, 10, 110, 34}},    {12, "Button", {10, 40, 110, 64}},
        {14, "Button", {150, 0, 290, 110}}, {15, "Edit", {160, 20, 260, 44}},
        {16, "Button", {160, 50, 260, 74}},
    };
    for (const Expected& expected : controls) {
        SCOPED_TRACE(expected.id);
        HWND control = controlById(window, expected.id);
        ASSERT_TRUE(control);
        EXPECT_EQ(className(control), expected.kind);
        const RECT rect = rectInTopClient(control);
        EXPECT_EQ(rect.left, expected.rect.left);
        EXPECT_EQ(rect.top, expected.rect.top);
        EXPECT_EQ(rect.right, expected.rect.right);
        EXPECT_EQ(rect.bottom, expected.rect.bottom);
    }
    EXPECT_EQ(GetParent(controlById(window, 15)), controlById(window, 14));
    EXPECT_EQ(windowText(controlById(window, 15)), "nested");
    EXPECT_EQ(windowText(window), "test window");
    const RECT outer = outerRect(window);
    EXPECT_EQ(outer.left, (1024 - 320) / 2);
    EXPECT_EQ(outer.top, (768 - 200) / 2);
}

TEST_F(Driver, RealKeysMoveTheFocusAndClick) {
    ASSERT_TRUE(waitForFocus(window, controlById(window, 11)));
    for (int id : {12, 13, 15, 16, 11}) {
        press(window, Key::Tab);
        ASSERT_TRUE(waitForFocus(window, controlById(window, id))) << "Tab to " << id;
    }
    press(window, Key::ShiftTab);
    ASSERT_TRUE(waitForFocus(window, controlById(window, 16)));

    click(controlById(window, 12)); // a real click also moves the focus
    ASSERT_TRUE(waitForFocus(window, controlById(window, 12)));
    press(window, Key::Space);
    EXPECT_TRUE(waitUntil([&] { return windowText(window) == "clicks 2"; }));

    press(window, Key::Esc);
    EXPECT_EQ(program->waitForExit(), 2u);
}

TEST_F(Driver, ModalWindowBlocksClicksOnItsOwner) {
    postClick(
        controlById(window, 13)); // returns at once, though the click waits for the modal window
    HWND modal = program->waitForWindow("E2eTestModal");
    ASSERT_TRUE(modal);
    EXPECT_FALSE(IsWindowEnabled(window));

    click(controlById(window, 12));
    // Input is handled in order: once the modal window has taken the Tab,
    // the click before it has been handled too.
    press(modal, Key::Tab);
    Sleep(300);
    EXPECT_EQ(windowText(window), "test window");

    postClose(modal);
    ASSERT_TRUE(program->waitForWindowGone("E2eTestModal"));
    EXPECT_TRUE(IsWindowEnabled(window));
    click(controlById(window, 12));
    EXPECT_TRUE(waitUntil([&] { return windowText(window) == "clicks 1"; }));
}

TEST_F(Driver, StartedConsolesAreFoundAndEnded) {
    click(controlById(window, 16));
    const auto console = program->waitForDescendant(
        [](const ProcessEntry& entry) { return lstrcmpiA(entry.exeName.c_str(), "cmd.exe") == 0; });
    ASSERT_TRUE(console);
    EXPECT_EQ(console->commandLine, "cmd /k echo test window console");
    EXPECT_EQ(console->parentId, program->id());

    const DWORD consoleId = console->id;
    program.reset(); // ends the console and the window, by id
    UniqueHandle gone(OpenProcess(SYNCHRONIZE, FALSE, consoleId));
    EXPECT_TRUE(!gone || WaitForSingleObject(gone.get(), 0) == WAIT_OBJECT_0);
}

TEST(DriverFirstShow, RecordsWindowsAsTheyAreFirstShown) {
    TempFolder scratch{"driver test"};
    const std::string exe = scratch / "test window.exe";
    copyFileTo(testProgramDirectory() + "\\e2e_test_window.exe", exe);
    RunningProgram program(exe, {.recordFirstShows = true});
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(program.waitForWindow("E2eTestWindow"));
    const std::vector<FirstShow> shows = program.firstShows();
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].className, "E2eTestWindow");
    EXPECT_EQ(shows[0].title, "test window");
    EXPECT_EQ(shows[0].editTexts, (std::map<int, std::string>{{11, "first"}, {15, "nested"}}));
}
