#include "settings/program_directory.h"
#include "settings/settings_table.h"
#include "settings/working_files.h"

#include <gtest/gtest.h>

namespace {

bool gbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
bool noLeadByte(unsigned char) {
    return false;
}

struct PathCase {
    const char* name;
    std::string_view programPath;
    std::string_view directory;
    std::string_view networkScript;
    std::string_view settings;
};

// "乗" in code page 936 is 81 5C: its trail byte is a backslash.
const PathCase pathCases[] = {
    {"nested folder", "D:\\Tools\\Net\\app.exe", "D:\\Tools\\Net", "D:\\Tools\\Net\\1.bat",
     "D:\\Tools\\Net\\C.ini"},
    {"drive root", "E:\\app.exe", "E:", "E:\\1.bat", "E:\\C.ini"},
    {"no backslash", "app.exe", "", "\\1.bat", "\\C.ini"},
    {"folder ending in a trail-byte backslash", "C:\\x\x81\x5C\\app.exe", "C:\\x\x81\x5C",
     "C:\\x\x81\x5C\\1.bat", "C:\\x\x81\x5C\\C.ini"},
    {"file name ending in a trail-byte backslash", "C:\\x\\a\x81\x5C", "C:\\x", "C:\\x\\1.bat",
     "C:\\x\\C.ini"},
    {"space in folder", "C:\\Net Tools\\app.exe", "C:\\Net Tools", "C:\\Net Tools\\1.bat",
     "C:\\Net Tools\\C.ini"},
};

} // namespace

TEST(ProgramDirectory, FormsDirectoryAndPathsInsideIt) {
    for (const PathCase& row : pathCases) {
        SCOPED_TRACE(row.name);
        const AnsiText directory = directoryOfPath(row.programPath, gbkLeadByte);
        EXPECT_EQ(directory, row.directory);
        EXPECT_EQ(pathInDirectory(directory, networkScriptFile), row.networkScript);
        EXPECT_EQ(pathInDirectory(directory, settingsFileName), row.settings);
    }
}

TEST(ProgramDirectory, TrailByteIsASeparatorOnlyInSingleByteCodePages) {
    EXPECT_EQ(directoryOfPath("C:\\x\x81\x5C\\app.exe", noLeadByte), "C:\\x\x81\x5C");
    EXPECT_EQ(directoryOfPath("C:\\x\x81\x5Cy.exe", noLeadByte), "C:\\x\x81");
    EXPECT_EQ(directoryOfPath("C:\\x\x81\x5Cy.exe", gbkLeadByte), "C:");
}

TEST(ProgramDirectory, LeadByteAtTheEndDoesNotHideAFinalSeparator) {
    EXPECT_EQ(directoryOfPath("C:\\a\\\x81", gbkLeadByte), "C:\\a");
    EXPECT_EQ(directoryOfPath("", gbkLeadByte), "");
}
