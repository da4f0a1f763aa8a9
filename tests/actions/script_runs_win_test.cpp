#include "actions/launch.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A script that notes its start in log.txt, waits until the file `signal`
// shows up beside it (looking once a second), and notes its end. A script
// that ran bytes of another would leave other lines in the log.
std::string loggingScript(const std::string& tag, const std::string& signal = {}) {
    std::string script = "@echo off\r\necho " + tag + " begin>>log.txt\r\n";
    if (!signal.empty())
        script += ":wait\r\n"
                  "if exist " +
                  signal +
                  " goto done\r\n"
                  "ping -n 2 127.0.0.1 >nul\r\n"
                  "goto wait\r\n"
                  ":done\r\n";
    return script + "echo " + tag + " end>>log.txt\r\n";
}

// The probe, copied into a program folder of its own, stands in for the
// program: it runs scripts one after the other as quick clicks would and
// then tears down as the main window does. Everything it starts runs in
// `job`, which ends whatever still runs when the test is over.
class WorkingScriptRuns : public ::testing::Test {
  protected:
    TempFolder scratch{"script runs"};
    ProcessJob job;
    const std::string folder = scratch / "Net Tools";

    void SetUp() override {
        makeFolder(folder);
        copyFileTo(testProgramDirectory() + "\\probe.exe", folder + "\\probe.exe");
    }

    std::string inFolder(const std::string& name) const { return folder + "\\" + name; }

    UniqueHandle startClicks(const std::string& workingFile,
                             std::initializer_list<std::string> scripts,
                             unsigned teardownBoundMs = 60000) {
        std::string commandLine =
            concatText({quoted(inFolder("probe.exe")), " run-scripts ", workingFile, " ",
                        quoted(report()), " ", std::to_string(teardownBoundMs)});
        int number = 0;
        for (const std::string& script : scripts) {
            const std::string source =
                scratch / concatText({"script", std::to_string(++number), ".txt"});
            writeFile(source, script);
            commandLine = concatText({commandLine, " ", quoted(source)});
        }
        ProcessOptions options;
        options.job = &job;
        return startProcess(commandLine, options);
    }

    std::string report() const { return scratch / "report.txt"; }

    std::vector<std::string> reportLines() const {
        std::vector<std::string> lines;
        if (!fileExists(report()))
            return lines;
        std::istringstream in(readFile(report()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    // Waits until the probe has made every call and begun its teardown,
    // and checks that each call came back at once.
    void expectCallsReturnedAtOnce(std::size_t calls) {
        ASSERT_TRUE(waitUntil([&] { return reportLines().size() > calls; }))
            << "the calls did not return";
        const std::vector<std::string> lines = reportLines();
        ASSERT_EQ(lines[calls], "finishing");
        for (std::size_t i = 0; i < calls; ++i) {
            SCOPED_TRACE("call " + std::to_string(i + 1));
            std::istringstream line(lines[i]);
            int runs = 0;
            unsigned milliseconds = 0;
            line >> runs >> milliseconds;
            EXPECT_EQ(runs, 1) << "reported as neither started nor waiting";
            EXPECT_LT(milliseconds, 500u) << "the caller was held up";
        }
    }

    std::string log() const {
        const std::string path = inFolder("log.txt");
        return fileExists(path) ? readFile(path) : std::string();
    }

    bool logBecomes(const std::string& expected) {
        return waitUntil([&] { return log() == expected; });
    }

    void signal(const std::string& name) { writeFile(inFolder(name), ""); }

    static bool stillRuns(const UniqueHandle& process) {
        return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
    }
};

} // namespace

TEST_F(WorkingScriptRuns, OtherScriptsWaitTheirTurnInClickOrderAndTeardownWaitsForThem) {
    const std::string a = loggingScript("A", "go-A.txt");
    const UniqueHandle probe =
        startClicks("1.bat", {a, loggingScript("B", "go-B.txt"), loggingScript("C")});
    expectCallsReturnedAtOnce(3);

    // A runs alone and its file is left as it was; the teardown waits for
    // the two runs still waiting.
    Sleep(1000);
    EXPECT_EQ(log(), "A begin\r\n");
    EXPECT_EQ(readFile(inFolder("1.bat")), a);
    EXPECT_TRUE(stillRuns(probe)) << "the teardown gave up waiting runs";

    signal("go-A.txt");
    ASSERT_TRUE(logBecomes("A begin\r\nA end\r\nB begin\r\n")) << log();
    Sleep(1000); // C must not start while B runs
    EXPECT_EQ(log(), "A begin\r\nA end\r\nB begin\r\n");

    signal("go-B.txt");
    EXPECT_TRUE(logBecomes("A begin\r\nA end\r\nB begin\r\nB end\r\nC begin\r\nC end\r\n"))
        << log();
    const ProcessOutcome outcome = finishProcess(probe, 20000);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(reportLines().back(), "finished");
}

TEST_F(WorkingScriptRuns, SameBytesStartAgainAtOnceAndTheirFileOutlivesTheTeardown) {
    writeFile(inFolder("1.bat"), "left by an earlier run");
    writeFile(inFolder("GG.exe"), "x");
    const std::string waiting = loggingScript("W", "go.txt");
    const UniqueHandle probe = startClicks("GG.bat", {waiting, waiting});
    expectCallsReturnedAtOnce(2);

    // Both run at once, and nothing waits, so the teardown is quick.
    EXPECT_TRUE(logBecomes("W begin\r\nW begin\r\n")) << log();
    const ProcessOutcome outcome = finishProcess(probe, 20000);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0u);
    // The teardown deletes the idle files but not the one still running.
    EXPECT_FALSE(fileExists(inFolder("1.bat")));
    EXPECT_FALSE(fileExists(inFolder("GG.exe")));
    EXPECT_EQ(readFile(inFolder("GG.bat")), waiting);

    signal("go.txt");
    EXPECT_TRUE(logBecomes("W begin\r\nW begin\r\nW end\r\nW end\r\n")) << log();
    ASSERT_TRUE(waitUntil([&] { return job.activeProcesses() == 0; }));
    // A later run's teardown deletes it.
    EXPECT_TRUE(finishProcess(startClicks("GG.bat", {}), 20000).finished);
    EXPECT_FALSE(fileExists(inFolder("GG.bat")));
}

TEST_F(WorkingScriptRuns, TeardownGivesUpWaitingRunsAfterItsBound) {
    const std::string a = loggingScript("A", "go-A.txt");
    const UniqueHandle probe = startClicks("1.bat", {a, loggingScript("B")}, 1500);
    expectCallsReturnedAtOnce(2);

    const ProcessOutcome outcome = finishProcess(probe, 20000);
    EXPECT_TRUE(outcome.finished) << "the teardown did not give up";
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(readFile(inFolder("1.bat")), a) << "deleted or rewritten under A";

    signal("go-A.txt");
    ASSERT_TRUE(waitUntil([&] { return job.activeProcesses() == 0; }));
    EXPECT_EQ(log(), "A begin\r\nA end\r\n");
}
