#include "win_test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace

// The probe, copied into folders whose names the path search could get
// wrong, reports what the program would use there.
TEST(ProgramDirectoryOnWindows, FolderWithSpaceOrTrailByteBackslash) {
    struct Case {
        const char* name;
        std::string folderName;
    };
    const Case cases[] = {
        {"space", "Net Tools"},
        // 乗 is 81 5C in code page 936: its second byte is a backslash.
        {"trail byte 5C", "x\x81\x5C"},
    };
    ASSERT_EQ(GetACP(), 936u) << "run with LC_ALL=zh_CN.UTF-8";
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        TempFolder scratch("scratch");
        const std::string folder = scratch / row.folderName;
        makeFolder(folder);
        copyFileTo(testProgramDirectory() + "\\probe.exe", folder + "\\probe.exe");
        const std::string report = scratch / "paths.txt";

        ProcessOptions options;
        options.currentDirectory = scratch.path();
        const ProcessOutcome outcome =
            runProcess(quoted(folder + "\\probe.exe") + " paths " + quoted(report), options);
        ASSERT_TRUE(outcome.finished);
        ASSERT_EQ(outcome.exitCode, 0u);

        const auto reported = lines(readFile(report));
        ASSERT_EQ(reported.size(), 4u);
        EXPECT_EQ(reported[0], folder);
        EXPECT_EQ(reported[1], folder);
        EXPECT_EQ(reported[2], folder + "\\1.bat");
        EXPECT_EQ(reported[3], folder + "\\C.ini");
    }
}
