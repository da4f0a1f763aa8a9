// Odd input in every box of the real windows: nothing, one character, long
// and very long texts, Chinese text and the command processor's special
// characters. The program neither crashes nor hangs, puts each text into its
// script or command line exactly, and shows it again after a restart (up to
// the settings reader's cut at 10239 bytes).

#include "robust_support.h"

#include "actions/launch.h"
#include "actions/network_scripts.h"

using namespace driver;

namespace {

std::string text(const ByteBlock& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Texts of up to 20000 bytes: on a difference, name where it begins rather
// than print both whole.
::testing::AssertionResult sameText(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure()
           << actual.size() << " bytes where " << expected.size() << " were expected, first "
           << "difference at byte " << at << ": \"" << actual.substr(at, 40) << "\" instead of \""
           << expected.substr(at, 40) << "\"";
}

// The nine boxes, in the order of the settings table.
enum BoxIndex {
    mainAdapter,
    pingTarget,
    dnsAdapter,
    primaryDns,
    alternateDns,
    address,
    gateway,
    mask,
    staticAdapter,
    boxCount
};

struct Box {
    const char* name;
    const WindowKind& window;
    int id;
};

const Box boxes[boxCount] = {
    {"main window's adapter", mainWindow, mainIds::adapter},
    {"ping target", mainWindow, mainIds::pingTarget},
    {"DNS window's adapter", dnsWindow, dnsIds::adapter},
    {"primary DNS", dnsWindow, dnsIds::primary},
    {"alternate DNS", dnsWindow, dnsIds::alternate},
    {"address", staticWindow, staticIds::address},
    {"gateway", staticWindow, staticIds::gateway},
    {"mask", staticWindow, staticIds::mask},
    {"static window's adapter", staticWindow, staticIds::adapter},
};

// The longest value the settings reader gives back.
constexpr size_t settingsCut = 10239;

struct InputKind {
    const char* name;
    // The text for box `box`; texts differ from box to box (but for the empty
    // one), so a text in the wrong place shows.
    std::string (*value)(int box);
};

char letter(int box) {
    return static_cast<char>('a' + box);
}

const InputKind inputKinds[] = {
    {"empty", [](int) { return std::string(); }},
    {"one character", [](int box) { return std::string(1, letter(box)); }},
    {"300 characters", [](int box) { return std::string(300, letter(box)); }},
    {"20000 characters",
     [](int box) { return std::string(1, letter(box)) + std::string(19999, 'x'); }},
    // "本地连接", the lead byte 0x81 with the trail byte 0x5C (a backslash in
    // ASCII), and "网卡".
    {"Chinese (GBK)",
     [](int box) {
         return "\xB1\xBE\xB5\xD8\xC1\xAC\xBD\xD3\x81\x5C" + std::string(1, letter(box)) +
                "\xCD\xF8\xBF\xA8";
     }},
    {"command processor's special characters",
     [](int box) { return std::string(1, letter(box)) + "\" & | % ^ < > " + letter(box); }},
};

class BadInput : public RobustTest {
  protected:
    std::string values[boxCount];

    void fill(HWND window, const WindowKind& kind) {
        for (int box = 0; box < boxCount; ++box)
            if (&boxes[box].window == &kind)
                setWindowText(controlById(window, boxes[box].id), values[box]);
    }

    void expectShown(HWND window, const WindowKind& kind, int exceptBox = -1) {
        for (int box = 0; box < boxCount; ++box)
            if (&boxes[box].window == &kind && box != exceptBox) {
                EXPECT_TRUE(sameText(windowText(controlById(window, boxes[box].id)),
                                     values[box].substr(0, settingsCut)))
                    << boxes[box].name;
            }
    }

    // Clicks a script button and checks the script the program wrote and ran.
    void runScript(HWND window, int button, const std::string& expected) {
        const DWORD started = program->processesStarted();
        clickOn(window, button);
        // A script that stops at a syntax error may be gone before anyone
        // sees it run: count the processes that joined the program's job.
        ASSERT_TRUE(waitUntil([&] { return program->processesStarted() > started; }))
            << "no script started";
        ASSERT_TRUE(waitForScriptsEnded("1.bat")) << "the script did not end";
        ASSERT_NO_FATAL_FAILURE(waitForOnlyTheProgram());
        EXPECT_TRUE(sameText(readFile(inFolder("1.bat")), expected));
        EXPECT_TRUE(program->running());
        EXPECT_TRUE(IsWindowEnabled(window)) << "the window does not respond";
    }

    // Whether the ping console runs the stand-in tool from the program folder
    // rather than the system's ping: only then may odd texts reach it, since
    // the system's ping would look an odd text up as a host name.
    bool pingGoesToStandIn() {
        pingOnlyLocalhost();
        const size_t before = toolLog(folder.path()).size();
        clickOn(main, mainIds::ping);
        const auto console = waitForConsole("cmd  /kping 127.0.0.1 -t");
        const bool standIn = waitUntil([&] {
            const std::vector<std::string> log = toolLog(folder.path());
            return log.size() > before && log.back() == "ping 127.0.0.1 -t";
        });
        if (console)
            endConsole(console->id);
        return standIn;
    }
};

} // namespace

TEST_F(BadInput, EveryBoxTakesOddTextsIntoItsScriptAndBackAfterARestart) {
    ASSERT_NO_FATAL_FAILURE(start());
    const bool pingChecked = pingGoesToStandIn();
    EXPECT_TRUE(pingChecked) << "the ping console did not run the stand-in tool: "
                                "the ping command lines are not checked";
    program.reset();

    for (const InputKind& kind : inputKinds) {
        SCOPED_TRACE(kind.name);
        for (int box = 0; box < boxCount; ++box)
            values[box] = kind.value(box);

        ASSERT_NO_FATAL_FAILURE(start());
        fill(main, mainWindow);
        ASSERT_NO_FATAL_FAILURE(
            runScript(main, mainIds::obtainAddress, text(buildDhcpScript(values[mainAdapter]))));
        if (pingChecked) {
            clickOn(main, mainIds::ping);
            const auto console = program->waitForDescendant([](const ProcessEntry& entry) {
                return entry.commandLine.rfind("cmd  /kping ", 0) == 0;
            });
            ASSERT_TRUE(console) << "no ping console";
            EXPECT_TRUE(sameText(console->commandLine, pingCommandLine(values[pingTarget])));
            endConsole(console->id);
        }

        HWND dns = open(dnsWindow);
        ASSERT_TRUE(dns);
        fill(dns, dnsWindow);
        ASSERT_NO_FATAL_FAILURE(runScript(
            dns, dnsIds::setDns,
            text(buildDnsScript(values[dnsAdapter], values[primaryDns], values[alternateDns]))));
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(dns, dnsWindow));

        HWND fixed = open(staticWindow);
        ASSERT_TRUE(fixed);
        fill(fixed, staticWindow);
        ASSERT_NO_FATAL_FAILURE(
            runScript(fixed, staticIds::setAddress,
                      text(buildStaticAddressScript(values[staticAdapter], values[address],
                                                    values[mask], values[gateway]))));
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(fixed, staticWindow));
        // Its adapter box saved its own text (the main window's goes over it
        // at the end of the run).
        fixed = open(staticWindow);
        ASSERT_TRUE(fixed);
        expectShown(fixed, staticWindow);
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(fixed, staticWindow));
        program->endDescendants();
        ASSERT_NO_FATAL_FAILURE(waitForOnlyTheProgram());
        ASSERT_NO_FATAL_FAILURE(closeProgram());

        // The next run shows every text again.
        ASSERT_NO_FATAL_FAILURE(start());
        expectShown(main, mainWindow);
        dns = open(dnsWindow);
        ASSERT_TRUE(dns);
        expectShown(dns, dnsWindow);
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(dns, dnsWindow));
        fixed = open(staticWindow);
        ASSERT_TRUE(fixed);
        expectShown(fixed, staticWindow, staticAdapter);
        EXPECT_TRUE(sameText(windowText(controlById(fixed, staticIds::adapter)),
                             values[mainAdapter].substr(0, settingsCut)));
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(fixed, staticWindow));
        ASSERT_NO_FATAL_FAILURE(closeProgram());
    }
}
