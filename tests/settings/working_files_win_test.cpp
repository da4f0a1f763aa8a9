#include "settings/program_directory.h"
#include "settings/working_files.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

using namespace std::string_view_literals;

namespace {

// The working files of this test program live beside it.
class WorkingFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        initProgramDirectory();
        for (std::string_view name : workingFileNames)
            DeleteFileA(workingFilePath(name).c_str());
    }
    void TearDown() override { removeWorkingFiles(); }

    static std::string pathOf(std::string_view name) { return workingFilePath(name); }
};

} // namespace

TEST_F(WorkingFiles, LiveInsideTheProgramDirectory) {
    EXPECT_EQ(programDirectory(), testProgramDirectory());
    EXPECT_EQ(pathOf("1.bat"), testProgramDirectory() + "\\1.bat");
}

TEST_F(WorkingFiles, WriteCreatesTruncatesAndWritesEmptyBlocks) {
    struct Step {
        const char* name;
        std::string_view content;
    };
    const Step steps[] = {
        {"new file", "first content, long enough"},
        {"shorter content cuts the old one", "short"},
        {"empty block leaves an empty file", ""},
        {"bytes as given, no terminator or line end", "\x81\x5C\r\n\0x"sv},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE(writeWorkingFile("1.bat", toBytes(step.content)));
        EXPECT_EQ(readFile(pathOf("1.bat")), step.content);
    }
}

TEST_F(WorkingFiles, WriteFailsAndLeavesAFileThatCannotBeOpened) {
    writeFile(pathOf("GG.bat"), "old script");
    {
        WriteLock lock(pathOf("GG.bat"));
        ASSERT_TRUE(lock.held());
        EXPECT_FALSE(writeWorkingFile("GG.bat", toBytes("new")));
    }
    EXPECT_EQ(readFile(pathOf("GG.bat")), "old script");
}

TEST_F(WorkingFiles, RemoveDeletesAllThreeAndPassesOverMissingOrBusyOnes) {
    for (std::string_view name : workingFileNames)
        writeFile(pathOf(name), "x");
    removeWorkingFiles();
    for (std::string_view name : workingFileNames)
        EXPECT_FALSE(fileExists(pathOf(name))) << name;

    removeWorkingFiles(); // none there: nothing happens

    writeFile(pathOf("1.bat"), "x");
    writeFile(pathOf("GG.exe"), "x");
    {
        // Held open without delete sharing: cannot go, the others still do.
        WriteLock lock(pathOf("1.bat"));
        removeWorkingFiles();
        EXPECT_TRUE(fileExists(pathOf("1.bat")));
        EXPECT_FALSE(fileExists(pathOf("GG.exe")));
    }
}
