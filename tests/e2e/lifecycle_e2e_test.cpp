// The windows' lives as a user sees them: modal windows that hold the main
// window off, what closing saves and deletes, and the settings file that a
// run leaves behind.

#include "program_e2e.h"

using namespace driver;

namespace {

// "[section]", then "key=value" lines, each ended by CR LF.
std::string section(const std::string& name,
                    const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text = "[" + name + "]\r\n";
    for (const auto& [key, value] : entries)
        text += key + "=" + value + "\r\n";
    return text;
}

const std::string adapterKey = "\xCA\xCA\xC5\xE4\xC6\xF7"; // 适配器

std::string mainSection(const std::string& adapter, const std::string& pingTarget) {
    return section("\xC5\xE4\xD6\xC3"
                   "1",
                   {{adapterKey, adapter}, {"TEST", pingTarget}});
}

// Wine's profile writer may put an empty line between sections; where it
// stands is the platform's business, so it is left out of comparisons.
std::string withoutEmptyLines(std::string text) {
    for (size_t at; (at = text.find("\r\n\r\n")) != std::string::npos;)
        text.erase(at, 2);
    if (text.rfind("\r\n", 0) == 0)
        text.erase(0, 2);
    return text;
}

class Lifecycle : public ProgramTest {
  protected:
    // Replaces a box's text the way a user does: click into it, select
    // everything, delete it, type.
    void retype(HWND window, int id, std::string_view text) {
        HWND box = controlById(window, id);
        click(box);
        ASSERT_TRUE(waitForFocus(window, box));
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(box, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &ignored);
        press(window, Key::Delete);
        type(window, text);
        ASSERT_TRUE(waitUntil([&] { return windowText(box) == text; }, 5000))
            << "typed into box " << id << ", it holds \"" << windowText(box) << "\"";
    }
};

} // namespace

TEST_F(Lifecycle, ModalWindowsHoldTheMainWindowOffUntilTheyClose) {
    start();
    for (const WindowKind* kind : {&dnsWindow, &staticWindow}) {
        SCOPED_TRACE(std::string(kind->name) + " window");
        HWND window = open(*kind); // waits until the main window is disabled
        ASSERT_TRUE(window);

        // Clicks on the main window do nothing: no script, no console, no
        // second window.
        click(controlById(main, mainIds::obtainAddress));
        click(controlById(main, mainIds::ipConfig));
        click(controlById(main, kind->opener));
        // Input is handled in order: once the modal window has taken this
        // Tab, the clicks before it have been handled too.
        HWND before = focusOf(window);
        press(window, Key::Tab);
        EXPECT_TRUE(waitUntil([&] { return focusOf(window) != before; }, 5000));
        EXPECT_FALSE(fileExists(inFolder("1.bat")));
        EXPECT_TRUE(program->descendants().empty());
        EXPECT_EQ(GetForegroundWindow(), window);

        // Bringing the main window forward brings the modal window instead.
        SetForegroundWindow(main);
        EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }, 5000))
            << "the foreground is " << className(GetForegroundWindow());

        closeModal(window, *kind);
        EXPECT_TRUE(program->running());
        // Active again, the main window has its focus where it left it.
        EXPECT_TRUE(waitForFocus(main, controlById(main, kind->opener)))
            << "focus on " << describe(focusOf(main));
    }
    // The main window reacts again.
    click(controlById(main, mainIds::ipConfig));
    EXPECT_TRUE(program->waitForDescendant(
        [](const ProcessEntry& entry) { return entry.commandLine == "cmd  /kipconfig"; }));
}

TEST_F(Lifecycle, ReopeningShowsWhatTheLastClosingSaved) {
    struct Case {
        const WindowKind& kind;
        std::vector<std::pair<int, std::string>> typed;
    };
    const Case cases[] = {
        {dnsWindow,
         {{dnsIds::adapter, "LAN 1"}, {dnsIds::primary, "1.1.1.1"}, {dnsIds::alternate, ""}}},
        {staticWindow,
         {{staticIds::address, "10.0.0.7"},
          {staticIds::mask, "255.0.0.0"},
          {staticIds::gateway, "10.0.0.1"},
          {staticIds::adapter, "LAN 2"}}},
    };
    start({.recordFirstShows = true});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind.name) + " window");
        HWND window = open(c.kind);
        ASSERT_TRUE(window);
        for (const auto& [id, text] : c.typed)
            retype(window, id, text);
        press(window, Key::Esc);
        ASSERT_TRUE(program->waitForWindowGone(c.kind.className));

        window = open(c.kind);
        ASSERT_TRUE(window);
        for (const auto& [id, text] : c.typed)
            EXPECT_EQ(windowText(controlById(window, id)), text) << "box " << id;
        FirstShow reopened = program->firstShows().back();
        EXPECT_EQ(reopened.className, c.kind.className);
        for (const auto& [id, text] : c.typed)
            EXPECT_EQ(reopened.editTexts[id], text) << "box " << id << " when first shown";
        closeModal(window, c.kind);
    }
}

TEST_F(Lifecycle, ClosingDeletesTheWorkingFilesSavesTheBoxesAndEnds) {
    enum class Way { CloseRequest, Esc, AltF4 };
    const std::pair<Way, const char*> ways[] = {
        {Way::CloseRequest, "close request"}, {Way::Esc, "Esc"}, {Way::AltF4, "Alt+F4"}};
    for (const auto& [way, name] : ways) {
        SCOPED_TRACE(name);
        // Left over from a run that was killed, and a file of the user's.
        for (const char* file : {"1.bat", "GG.bat", "GG.exe", "notes.txt"})
            writeFile(inFolder(file), "left over");
        start();
        setWindowText(controlById(main, mainIds::adapter), "LAN 3");
        setWindowText(controlById(main, mainIds::pingTarget), "127.0.0.1");
        if (way == Way::CloseRequest)
            postClose(main);
        else
            press(main, way == Way::Esc ? Key::Esc : Key::AltF4);
        EXPECT_EQ(program->waitForExit(), 0u);
        for (const char* file : {"1.bat", "GG.bat", "GG.exe"})
            EXPECT_FALSE(fileExists(inFolder(file))) << file;
        EXPECT_TRUE(fileExists(inFolder("notes.txt")));
        EXPECT_EQ(withoutEmptyLines(settingsFile()), mainSection("LAN 3", "127.0.0.1"));
        DeleteFileA(inFolder("C.ini").c_str());
    }
}

// Opened and closed in this order with nothing changed, the windows leave
// the settings file of the worked example, sections in the order of saving.
TEST_F(Lifecycle, SettingsFileAfterOpeningAndClosingEachWindow) {
    start();
    for (const WindowKind* kind : {&dnsWindow, &staticWindow}) {
        HWND window = open(*kind);
        ASSERT_TRUE(window);
        closeModal(window, *kind);
    }
    closeProgram();
    const std::string expected = section("\xC5\xE4\xD6\xC3"
                                         "2",
                                         {{adapterKey, texts::wirelessConnection},
                                          {"DNS", "8.8.8.8"},
                                          {"\xB1\xB8\xD3\xC3"
                                           "DNS",
                                           "114.114.114.114"}}) +
                                 section("\xC5\xE4\xD6\xC3"
                                         "3",
                                         {{"IP", "192.168.1.66"},
                                          {"\xCD\xF8\xB9\xD8", "168.168.1.1"},
                                          {"\xD1\xDA\xC2\xEB", "255.255.255.0"}}) +
                                 mainSection(texts::wirelessConnection, texts::fillInAddress);
    EXPECT_EQ(withoutEmptyLines(settingsFile()), expected);
    EXPECT_EQ(settingsFile().substr(0, 9), "[\xC5\xE4\xD6\xC3"
                                           "2]\r\n");
}

// The main and static address windows keep their adapter in one entry: the
// static window shows what the file holds, the main window keeps its own
// text, and the main window's text is what the run leaves behind.
TEST_F(Lifecycle, AdapterSharedBetweenMainAndStaticWindows) {
    start();
    HWND mainAdapter = controlById(main, mainIds::adapter);
    setWindowText(mainAdapter, "typed in main");

    HWND window = open(staticWindow);
    ASSERT_TRUE(window);
    EXPECT_EQ(windowText(controlById(window, staticIds::adapter)), texts::wirelessConnection)
        << "text typed into the main window is not in the file yet";
    setWindowText(controlById(window, staticIds::adapter), "typed in static");
    closeModal(window, staticWindow);
    EXPECT_EQ(windowText(mainAdapter), "typed in main") << "the main window's box was refreshed";

    window = open(staticWindow);
    ASSERT_TRUE(window);
    EXPECT_EQ(windowText(controlById(window, staticIds::adapter)), "typed in static");
    closeModal(window, staticWindow);

    // The DNS window's adapter is its own.
    window = open(dnsWindow);
    ASSERT_TRUE(window);
    EXPECT_EQ(windowText(controlById(window, dnsIds::adapter)), texts::wirelessConnection);
    closeModal(window, dnsWindow);

    closeProgram();
    EXPECT_NE(settingsFile().find(mainSection("typed in main", texts::fillInAddress)),
              std::string::npos)
        << settingsFile();

    // The next run starts both windows from the main window's text.
    start();
    EXPECT_EQ(windowText(controlById(main, mainIds::adapter)), "typed in main");
    window = open(staticWindow);
    ASSERT_TRUE(window);
    EXPECT_EQ(windowText(controlById(window, staticIds::adapter)), "typed in main");
    closeModal(window, staticWindow);
    closeProgram();
}
