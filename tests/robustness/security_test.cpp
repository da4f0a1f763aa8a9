// What the program starts and where it writes, seen from outside: nothing
// after start-up and while idle, exactly one process for each button that
// starts one (the one expected), never a program planted beside its folder or
// in it, and no file outside its own folder.

#include "robust_support.h"

#include <map>
#include <set>

using namespace driver;

namespace {

// Names in a folder, "." and ".." left out.
std::set<std::string> listing(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

struct ButtonCase {
    const char* name;
    const WindowKind& window;
    int button;
    // The command line of the one process the click starts: a working
    // script inside the program folder (quoted), or a console command.
    std::string script;
    std::string commandLine;
};

const std::vector<ButtonCase>& buttonCases() {
    static const std::vector<ButtonCase> all = {
        {"obtain an address automatically", mainWindow, mainIds::obtainAddress, "1.bat", ""},
        {"computer name", mainWindow, mainIds::computerName, "GG.bat", ""},
        {"IPconfig", mainWindow, mainIds::ipConfig, "", "cmd  /kipconfig"},
        {"Ping", mainWindow, mainIds::ping, "", "cmd  /kping 127.0.0.1 -t"},
        {"set DNS", dnsWindow, dnsIds::setDns, "1.bat", ""},
        {"flush the DNS cache", dnsWindow, dnsIds::flushDns, "", "cmd /cipconfig /flushdns"},
        {"set a static address", staticWindow, staticIds::setAddress, "1.bat", ""},
    };
    return all;
}

class Security : public RobustTest {
  protected:
    // The folder that holds the program folder "Net Tools".
    std::string parent() const { return folder.path().substr(0, folder.path().rfind('\\')); }

    // The program's own children now, by id.
    std::map<DWORD, ProcessEntry> children() const {
        std::map<DWORD, ProcessEntry> found;
        for (const ProcessEntry& entry : program->descendants())
            if (entry.parentId == program->id())
                found[entry.id] = entry;
        return found;
    }
};

} // namespace

// A program folder "Net Tools" with a decoy "Net.exe" beside it: a start of
// a path with a space that is not quoted would run the decoy. Every button is
// pressed; the tools the scripts and consoles start are held, so each started
// process can be seen.
TEST_F(Security, EachButtonStartsExactlyTheExpectedProcessAndWritesOnlyInItsFolder) {
    copyFileTo(testProgramDirectory() + "\\tool_probe.exe", parent() + "\\Net.exe");
    const std::set<std::string> parentBefore = listing(parent());

    ASSERT_NO_FATAL_FAILURE(start());
    pingOnlyLocalhost();
    Sleep(2000);
    EXPECT_TRUE(program->descendants().empty()) << "a process started without a click";
    EXPECT_EQ(program->processesStarted(), 1u);

    ToolHold hold(folder.path());
    for (const ButtonCase& c : buttonCases()) {
        SCOPED_TRACE(c.name);
        HWND window = open(c.window);
        ASSERT_TRUE(window);
        settle();
        const std::map<DWORD, ProcessEntry> before = children();
        clickOn(window, c.button);
        ASSERT_TRUE(waitUntil([&] { return children().size() > before.size(); }))
            << "nothing started";
        settle();
        std::vector<ProcessEntry> started;
        for (const auto& [id, entry] : children())
            if (!before.count(id))
                started.push_back(entry);
        ASSERT_EQ(started.size(), 1u);
        EXPECT_TRUE(isCommandProcessor(started[0])) << started[0].exeName;
        if (c.script.empty()) {
            EXPECT_EQ(started[0].commandLine, c.commandLine);
        } else {
            EXPECT_NE(started[0].commandLine.find(quoted(inFolder(c.script))), std::string::npos)
                << started[0].commandLine;
        }
        EXPECT_EQ(listing(parent()), parentBefore) << "a file written beside the program folder";
        program->endDescendants();
        ASSERT_NO_FATAL_FAILURE(waitForOnlyTheProgram());
        if (c.window.opener) {
            ASSERT_NO_FATAL_FAILURE(closeWithEsc(window, c.window));
        }
    }
    hold.release();
    ASSERT_NO_FATAL_FAILURE(closeProgram());
    EXPECT_EQ(listing(parent()), parentBefore);
    EXPECT_FALSE(fileExists(parent() + "\\tools.log")) << "the decoy Net.exe ran";
    // The program folder holds the settings file and what was there before.
    const std::set<std::string> expected = {"C.ini",        "ipflip.exe", "netsh.exe",
                                            "ipconfig.exe", "ping.exe",   "tools.log"};
    EXPECT_EQ(listing(folder.path()), expected);
}

// A program named like the command processor, planted in the program folder
// (a download folder, say): the consoles start the system's own.
TEST_F(Security, CommandProcessorPlantedInTheProgramFolderIsNotStarted) {
    copyFileTo(testProgramDirectory() + "\\tool_probe.exe", inFolder("cmd.exe"));
    ASSERT_NO_FATAL_FAILURE(start());
    pingOnlyLocalhost();
    for (const ButtonCase& c : buttonCases()) {
        if (c.commandLine.empty())
            continue;
        SCOPED_TRACE(c.name);
        HWND window = open(c.window);
        ASSERT_TRUE(window);
        const size_t logged = toolLog(folder.path()).size();
        clickOn(window, c.button);
        const auto console = waitForConsole(c.commandLine);
        ASSERT_TRUE(console) << "no console";
        // The console's tool, or the planted program itself, logs its start.
        EXPECT_TRUE(waitUntil([&] { return toolLog(folder.path()).size() > logged; }));
        ASSERT_NO_FATAL_FAILURE(endConsole(console->id));
        if (c.window.opener) {
            ASSERT_NO_FATAL_FAILURE(closeWithEsc(window, c.window));
        }
    }
    // The planted program would have logged its command line.
    for (const std::string& line : toolLog(folder.path()))
        EXPECT_NE(line.rfind("cmd", 0), 0u) << "the planted cmd.exe ran: " << line;
    ASSERT_NO_FATAL_FAILURE(closeProgram());
}
