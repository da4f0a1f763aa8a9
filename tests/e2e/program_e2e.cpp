// Winsock 2's header must come before <windows.h>.
#include <winsock2.h>

#include "program_e2e.h"

std::string hostName() {
    WSADATA winsock;
    WSAStartup(MAKEWORD(1, 0), &winsock);
    char name[256] = "";
    const bool known = gethostname(name, sizeof name) == 0;
    WSACleanup();
    return known ? name : "";
}

void ProgramTest::SetUp() {
    copyFileTo(testProgramDirectory() + "\\ipflip.exe", inFolder("ipflip.exe"));
}

void ProgramTest::start(const driver::StartOptions& options) {
    program.reset(); // an earlier run's leftovers go first
    program = std::make_unique<driver::RunningProgram>(inFolder("ipflip.exe"), options);
    ASSERT_TRUE(program->started());
    main = program->waitForWindow(mainClass);
    ASSERT_TRUE(main) << "no main window";
}

HWND ProgramTest::open(const WindowKind& kind) {
    if (!kind.opener)
        return main;
    // A real click: the handler that opens the window runs until it closes.
    driver::click(driver::controlById(main, kind.opener));
    HWND window = program->waitForWindow(kind.className);
    EXPECT_TRUE(window) << "the " << kind.name << " window did not open";
    // It is shown first and then holds the main window off.
    EXPECT_TRUE(waitUntil([&] { return !IsWindowEnabled(main); }, 5000))
        << "the main window stays enabled";
    return window;
}

void ProgramTest::closeModal(HWND modal, const WindowKind& kind) {
    driver::postClose(modal);
    ASSERT_TRUE(program->waitForWindowGone(kind.className));
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
}

void ProgramTest::closeProgram() {
    driver::postClose(main);
    EXPECT_EQ(program->waitForExit(), 0u);
}

std::string ProgramTest::settingsFile() const {
    const std::string path = inFolder("C.ini");
    return fileExists(path) ? readFile(path) : "";
}

std::string describe(HWND control) {
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" +
           driver::windowText(control) + "\"";
}
