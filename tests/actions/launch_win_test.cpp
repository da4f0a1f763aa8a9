#include "actions/launch.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

namespace {

class Launch : public ::testing::Test {
  protected:
    TempFolder scratch{"launch"};

    // A folder with a space in its name, holding a copy of the probe, and a
    // decoy "Net.exe" beside it: a start that cut the path at the space
    // would run the decoy, which leaves "command_line.txt" behind.
    std::string prepareProgramFolder() {
        const std::string folder = scratch / "Net Tools";
        makeFolder(folder);
        copyFileTo(testProgramDirectory() + "\\probe.exe", folder + "\\probe.exe");
        copyFileTo(testProgramDirectory() + "\\record_command_line.exe", scratch / "Net.exe");
        return folder;
    }

    ProcessOutcome probeRunScript(const std::string& folder, std::string_view script) {
        const std::string scriptSource = scratch / "script.txt";
        writeFile(scriptSource, script);
        return runProcess(quoted(folder + "\\probe.exe") + " run-script 1.bat " +
                          quoted(scriptSource));
    }
};

} // namespace

TEST_F(Launch, CommandLineIsHandedOverUnchanged) {
    copyFileTo(testProgramDirectory() + "\\record_command_line.exe",
               scratch / "record_command_line.exe");
    const std::string commandLine =
        quoted(scratch / "record_command_line.exe") + "  /kping x & y  \"a b\" \x81\x5C -t";
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(scratch.path().c_str()); // the child inherits it
    const bool started = launchCommand(commandLine);
    SetCurrentDirectoryA(previous);

    ASSERT_TRUE(started);
    const std::string record = scratch / "command_line.txt";
    ASSERT_TRUE(waitUntil([&] { return fileExists(record) && !readFile(record).empty(); }));
    EXPECT_EQ(readFile(record), commandLine);
}

// A "cmd.exe" in the current folder (the program folder, where a download
// may have put one) is not taken for the command processor.
TEST_F(Launch, CommandProcessorIsTheSystemsOwn) {
    copyFileTo(testProgramDirectory() + "\\record_command_line.exe", scratch / "cmd.exe");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(scratch.path().c_str()); // the child inherits it
    const bool started = launchCommandProcessor("cmd /cecho ran> marker.txt");
    SetCurrentDirectoryA(previous);

    ASSERT_TRUE(started);
    const std::string marker = scratch / "marker.txt";
    EXPECT_TRUE(waitUntil([&] { return fileExists(marker) && !readFile(marker).empty(); }));
    EXPECT_FALSE(fileExists(scratch / "command_line.txt")) << "the planted cmd.exe ran";
}

TEST_F(Launch, MissingProgramIsReportedAsNotStarted) {
    EXPECT_FALSE(launchCommand(scratch / "no such program.exe"));
    EXPECT_FALSE(launchCommand(""));
}

TEST_F(Launch, WorkingScriptRunsFromAFolderWithASpace) {
    const std::string folder = prepareProgramFolder();
    const ProcessOutcome outcome = probeRunScript(folder, "@echo ran> marker.txt\r\n");
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(waitUntil([&] { return fileExists(folder + "\\marker.txt"); }));
    EXPECT_EQ(readFile(folder + "\\1.bat"), "@echo ran> marker.txt\r\n");
    EXPECT_FALSE(fileExists(folder + "\\command_line.txt")) << "the decoy Net.exe ran";
    EXPECT_FALSE(fileExists(scratch / "command_line.txt")) << "the decoy Net.exe ran";
}

TEST_F(Launch, ScriptThatCouldNotBeWrittenIsNotStarted) {
    const std::string folder = prepareProgramFolder();
    // An older script stands at the path and cannot be replaced.
    writeFile(folder + "\\1.bat", "@echo stale> marker.txt\r\n");
    WriteLock lock(folder + "\\1.bat");
    ASSERT_TRUE(lock.held());

    const ProcessOutcome outcome = probeRunScript(folder, "@echo new> marker.txt\r\n");
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 1u) << "reported as started";
    Sleep(2000); // time enough for a wrongly started script to leave its mark
    EXPECT_FALSE(fileExists(folder + "\\marker.txt"));
}
