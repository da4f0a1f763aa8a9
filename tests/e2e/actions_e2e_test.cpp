// Each of the program's nine buttons that does something outside it: the
// working file it writes inside the program folder, byte for byte, and the
// console program it really starts (which the test then ends).

#include "program_e2e.h"

#include "actions/computer_name_script.h"

#include <functional>

using namespace driver;

namespace {

struct ButtonCase {
    const char* name;
    const WindowKind& window;
    int button;
    std::vector<std::pair<int, std::string>> boxes; // filled in before the click
    std::string workingFile; // written and started; empty for a console command
    std::function<void(const std::string&)> check; // of the file's bytes or the command line
};

std::function<void(const std::string&)> equals(std::string expected) {
    return [expected](const std::string& actual) { EXPECT_EQ(actual, expected); };
}

const std::string lan = "Local Area Connection 2";

// The bytes of the script are pinned by the unit tests; here it is the
// program's own script, and its prompt for the new name is in it.
void checkComputerNameScript(const std::string& script) {
    const ByteBlock& expected = computerNameScript();
    EXPECT_EQ(script, std::string(expected.begin(), expected.end()));
    EXPECT_EQ(script.substr(0, 8), "%%a %%a ");
    EXPECT_NE(script.find("\r\nset /p name=\xC7\xEB\xCA\xE4\xC8\xEB\xC4\xFA\xBD\xAB\xD2\xAA\xB8\xFC"
                          "\xB8\xC4\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xFB\xA3\xBA\r\n"),
              std::string::npos);
}

const std::vector<ButtonCase>& buttonCases() {
    static const std::vector<ButtonCase> all = {
        {"obtain an address automatically",
         mainWindow,
         mainIds::obtainAddress,
         {{mainIds::adapter, lan}},
         "1.bat",
         equals("   netsh interface ip set address name=\"" + lan +
                "\"  source=dhcp\r\nnetsh interface ip delete dns \"" + lan +
                "\" all\r\nipconfig /flushdns")},
        {"IPconfig", mainWindow, mainIds::ipConfig, {}, "", equals("cmd  /kipconfig")},
        {"Ping",
         mainWindow,
         mainIds::ping,
         {{mainIds::pingTarget, "127.0.0.1"}},
         "",
         equals("cmd  /kping 127.0.0.1 -t")},
        {"computer name", mainWindow, mainIds::computerName, {}, "GG.bat", checkComputerNameScript},
        {"set DNS",
         dnsWindow,
         dnsIds::setDns,
         {{dnsIds::adapter, lan}, {dnsIds::primary, "10.0.0.53"}, {dnsIds::alternate, ""}},
         "1.bat",
         equals("netsh interface ip set dns \"" + lan + "\"  static  10.0.0.53\r\n" +
                "netsh interface ip add dns \"" + lan + "\"  ")},
        {"set DNS with the defaults",
         dnsWindow,
         dnsIds::setDns,
         {},
         "1.bat",
         equals("netsh interface ip set dns \"" + texts::wirelessConnection +
                "\"  static  8.8.8.8\r\nnetsh interface ip add dns \"" + texts::wirelessConnection +
                "\"  114.114.114.114")},
        {"flush the DNS cache",
         dnsWindow,
         dnsIds::flushDns,
         {},
         "",
         equals("cmd /cipconfig /flushdns")},
        {"set a static address",
         staticWindow,
         staticIds::setAddress,
         {{staticIds::adapter, lan},
          {staticIds::address, "10.1.2.3"},
          {staticIds::mask, "255.255.0.0"},
          {staticIds::gateway, "10.1.0.1"}},
         "1.bat",
         equals("netsh interface ip set address name=\"" + lan +
                "\"  source=static addr=10.1.2.3 mask=255.255.0.0 gateway=10.1.0.1")},
    };
    return all;
}

bool isCommandProcessor(const ProcessEntry& entry) {
    return lstrcmpiA(entry.exeName.c_str(), "cmd.exe") == 0;
}

class Actions : public ProgramTest {};

} // namespace

TEST_F(Actions, EachButtonDoesItsAction) {
    for (const ButtonCase& c : buttonCases()) {
        SCOPED_TRACE(c.name);
        start();
        HWND window = open(c.window);
        ASSERT_TRUE(window);
        for (const auto& [id, text] : c.boxes)
            setWindowText(controlById(window, id), text);

        click(controlById(window, c.button));
        if (c.workingFile.empty()) {
            const auto console = program->waitForDescendant(isCommandProcessor);
            ASSERT_TRUE(console) << "no console started";
            EXPECT_EQ(console->parentId, program->id());
            c.check(console->commandLine);
        } else {
            const std::string path = inFolder(c.workingFile);
            // The script is started from its place inside the program folder.
            const auto script = program->waitForDescendant([&](const ProcessEntry& entry) {
                return isCommandProcessor(entry) &&
                       entry.commandLine.find(path) != std::string::npos;
            });
            EXPECT_TRUE(script) << "the script was not started";
            ASSERT_TRUE(fileExists(path));
            c.check(readFile(path));
            EXPECT_FALSE(fileExists(folder.path() + c.workingFile))
                << "written beside the program folder";
        }
        EXPECT_TRUE(program->running());
        EXPECT_TRUE(IsWindowVisible(window)) << "the window closed";
        program.reset(); // ends what the click started, and the program
    }
}

// Every click starts its program anew and rewrites the working file.
TEST_F(Actions, RepeatedClicksStartAgain) {
    start();
    setWindowText(controlById(main, mainIds::pingTarget), "127.0.0.1");
    HWND ping = controlById(main, mainIds::ping);
    click(ping);
    ASSERT_TRUE(waitUntil([&] { return program->descendants().size() >= 1; }));
    click(ping);
    EXPECT_TRUE(waitUntil([&] {
        int pings = 0;
        for (const ProcessEntry& entry : program->descendants())
            pings += entry.commandLine == "cmd  /kping 127.0.0.1 -t";
        return pings == 2;
    })) << "two clicks, two ping consoles";
    program->endDescendants();

    HWND adapter = controlById(main, mainIds::adapter);
    setWindowText(adapter, "a much longer adapter name than the next one");
    click(controlById(main, mainIds::obtainAddress));
    ASSERT_TRUE(waitUntil([&] { return fileExists(inFolder("1.bat")); }));
    // Wine's cmd keeps a running script open: let the first run end.
    ASSERT_TRUE(waitUntil([&] { return program->descendants().empty(); }));
    setWindowText(adapter, "LAN");
    click(controlById(main, mainIds::obtainAddress));
    EXPECT_TRUE(waitUntil([&] {
        return readFile(inFolder("1.bat")) ==
               "   netsh interface ip set address name=\"LAN\"  source=dhcp\r\n"
               "netsh interface ip delete dns \"LAN\" all\r\nipconfig /flushdns";
    }));
}
