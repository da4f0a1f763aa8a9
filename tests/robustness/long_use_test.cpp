// Long use: every modal window opened and closed and every button that starts
// a program clicked, cycle after cycle, in one run. The program's USER and
// GDI objects, handles and memory stay flat, every process it starts ends
// (the test ends those that wait: the computer-name prompt and the consoles
// that stay open), and the settings file is the same as after one cycle.
//
// The test command runs a few cycles; scripts/soak runs 300
// (IPFLIP_SOAK_CYCLES).

#include "robust_support.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

using namespace driver;

namespace {

int cyclesAsked() {
    const char* asked = std::getenv("IPFLIP_SOAK_CYCLES");
    const int cycles = asked ? std::atoi(asked) : 0;
    return cycles > 0 ? cycles : 20;
}

class LongUse : public RobustTest {
  protected:
    // Clicks a button whose script ends by itself and waits until it ended.
    void runScript(HWND window, int button, std::string_view file) {
        const DWORD before = program->processesStarted();
        clickOn(window, button);
        ASSERT_TRUE(waitUntil([&] { return program->processesStarted() > before; }))
            << "nothing started";
        ASSERT_TRUE(waitForScriptsEnded(file)) << file << " still runs";
        ASSERT_NO_FATAL_FAILURE(waitForOnlyTheProgram());
    }

    // What runs below the program now, for messages.
    std::string running() const {
        std::string list;
        for (const ProcessEntry& entry : program->descendants())
            list += "\n  " + entry.exeName + " \"" + entry.commandLine + "\"";
        return list;
    }

    // Clicks a button whose console stays (or may stay), waits until the
    // console has started its tool (`toolLine` logged, unless empty), and
    // ends the console. Ending it in the middle of starting the tool is no
    // user's way and leaves the tool behind.
    void runConsole(HWND window, int button, const std::function<bool(const ProcessEntry&)>& isIt,
                    const std::string& toolLine) {
        const DWORD before = program->processesStarted();
        const size_t logged = toolLog(folder.path()).size();
        clickOn(window, button);
        const auto console = program->waitForDescendant(isIt);
        ASSERT_TRUE(console) << "no console; " << program->processesStarted() - before
                             << " processes started since the click; running:" << running();
        if (!toolLine.empty()) {
            EXPECT_TRUE(waitUntil([&] {
                const std::vector<std::string> log = toolLog(folder.path());
                return std::find(log.begin() + static_cast<std::ptrdiff_t>(logged), log.end(),
                                 toolLine) != log.end();
            })) << "the console did not start "
                << toolLine;
        }
        ASSERT_NO_FATAL_FAILURE(endConsole(console->id));
    }

    void runConsole(HWND window, int button, const std::string& commandLine,
                    const std::string& toolLine) {
        runConsole(
            window, button,
            [&](const ProcessEntry& entry) { return entry.commandLine == commandLine; }, toolLine);
    }

    void cycle() {
        HWND dns = open(dnsWindow);
        ASSERT_TRUE(dns);
        ASSERT_NO_FATAL_FAILURE(runScript(dns, dnsIds::setDns, "1.bat"));
        // "cmd /c" ends when the flush is done; end it should it linger.
        ASSERT_NO_FATAL_FAILURE(
            runConsole(dns, dnsIds::flushDns, "cmd /cipconfig /flushdns", "ipconfig /flushdns"));
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(dns, dnsWindow));

        HWND fixed = open(staticWindow);
        ASSERT_TRUE(fixed);
        ASSERT_NO_FATAL_FAILURE(runScript(fixed, staticIds::setAddress, "1.bat"));
        ASSERT_NO_FATAL_FAILURE(closeWithEsc(fixed, staticWindow));

        ASSERT_NO_FATAL_FAILURE(runScript(main, mainIds::obtainAddress, "1.bat"));
        const std::string computerNameScript = inFolder("GG.bat");
        ASSERT_NO_FATAL_FAILURE(runConsole(
            main, mainIds::computerName,
            [&](const ProcessEntry& entry) {
                return isCommandProcessor(entry) &&
                       entry.commandLine.find(computerNameScript) != std::string::npos;
            },
            ""));
        ASSERT_NO_FATAL_FAILURE(runConsole(main, mainIds::ipConfig, "cmd  /kipconfig", "ipconfig"));
        ASSERT_NO_FATAL_FAILURE(
            runConsole(main, mainIds::ping, "cmd  /kping 127.0.0.1 -t", "ping 127.0.0.1 -t"));
        // Every process the cycle started has ended.
        ASSERT_TRUE(program->descendants().empty()) << "left running:" << running();
        ASSERT_NO_FATAL_FAILURE(waitForOnlyTheProgram());
    }

    ResourceUse measure(const std::string& when) {
        // Let the program settle after the last click.
        Sleep(500);
        const ResourceUse use = measureResources(program->id());
        std::printf("[ RESOURCES] %s: %s\n", when.c_str(), describe(use).c_str());
        std::fflush(stdout);
        return use;
    }
};

} // namespace

TEST_F(LongUse, WindowsAndButtonsCycleAfterCycleWithFlatResources) {
    // One cycle: the settings file it leaves is the measure for the long run.
    ASSERT_NO_FATAL_FAILURE(start());
    pingOnlyLocalhost();
    ASSERT_NO_FATAL_FAILURE(cycle());
    ASSERT_NO_FATAL_FAILURE(closeProgram());
    const std::string afterOneCycle = settingsFile();
    ASSERT_TRUE(DeleteFileA(inFolder("C.ini").c_str()));

    const int cycles = cyclesAsked();
    ASSERT_GE(cycles, 10) << "too few cycles to tell a leak";
    ASSERT_NO_FATAL_FAILURE(start());
    pingOnlyLocalhost();
    const ResourceUse atStart = measure("at start");
    std::printf("[ RESOURCES] measured by %s\n", atStart.sources.c_str());
    // The first cycles fill what is filled once: window classes, fonts,
    // Wine's caches, the records of the script runs.
    constexpr int warmUpCycles = 5;
    ResourceUse warm;
    const ULONGLONG began = GetTickCount64();
    for (int done = 1; done <= cycles; ++done) {
        ASSERT_NO_FATAL_FAILURE(cycle()) << "cycle " << done;
        if (done == 1)
            measure("after 1 cycle");
        if (done == warmUpCycles)
            warm = measure("after " + std::to_string(done) + " cycles");
        else if (done % 50 == 0 && done != cycles)
            measure("after " + std::to_string(done) + " cycles");
    }
    const ResourceUse end = measure("after " + std::to_string(cycles) + " cycles");
    std::printf("[ RESOURCES] %d cycles took %llu s\n", cycles, (GetTickCount64() - began) / 1000);

    EXPECT_EQ(end.userObjects, warm.userObjects);
    EXPECT_EQ(end.gdiObjects, warm.gdiObjects);
    EXPECT_LE(end.handles, warm.handles + 2);
    // The heap may move by a page or two; a leak of a kilobyte per cycle
    // would not stay under this in 300 cycles.
    EXPECT_LE(end.privateBytes, warm.privateBytes + 256 * 1024);
    EXPECT_TRUE(program->descendants().empty());

    ASSERT_NO_FATAL_FAILURE(closeProgram());
    EXPECT_EQ(settingsFile(), afterOneCycle);
    EXPECT_FALSE(fileExists(inFolder("1.bat")));
    EXPECT_FALSE(fileExists(inFolder("GG.bat")));
}
