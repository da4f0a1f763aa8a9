#include "actions/computer_name_script.h"

#include "host_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> scriptLines() {
    const ByteBlock& block = computerNameScript();
    const std::string text(block.begin(), block.end());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

const std::string setAddressKey =
    "reg add \"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ComputerName\\"
    "ActiveComputerName\" /v ComputerName /t reg_sz /d %name% /f >nul 2>nul";
const std::string setNvHostname =
    "reg add \"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters\" /v "
    "\"NV Hostname\" /t reg_sz /d %name% /f >nul 2>nul";
const std::string setHostname =
    "reg add \"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters\" /v "
    "Hostname /t reg_sz /d %name% /f >nul 2>nul";

// 您的计算机名已更改，按任意键退出。
const std::string successMessage = "echo \xC4\xFA\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xFB\xD2\xD1"
                                   "\xB8\xFC\xB8\xC4\xA3\xAC\xB0\xB4\xC8\xCE\xD2\xE2\xBC\xFC\xCD"
                                   "\xCB\xB3\xF6\xA1\xA3";

} // namespace

TEST(ComputerNameScript, OpeningLinesAreKeptByteForByte) {
    const auto lines = scriptLines();
    ASSERT_GE(lines.size(), 6u);
    std::string placeholders = "%%a";
    for (int i = 1; i < 313; ++i)
        placeholders += " %%a";
    EXPECT_EQ(lines[0], placeholders);
    EXPECT_EQ(lines[0].size(), 1251u);
    EXPECT_EQ(lines[1], "cls");
    EXPECT_EQ(lines[2], "@echo off");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "");
    // set /p name=请输入您将要更改的计算机名：
    EXPECT_EQ(lines[5], "set /p name=\xC7\xEB\xCA\xE4\xC8\xEB\xC4\xFA\xBD\xAB\xD2\xAA\xB8\xFC\xB8"
                        "\xC4\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xFB\xA3\xBA");
    EXPECT_EQ(lines[5].size(), 40u);
}

TEST(ComputerNameScript, WritesAllThreeValuesAndReportsSuccessOnlyIfEachWorked) {
    const auto lines = scriptLines();
    EXPECT_EQ(setAddressKey.size(), 143u);
    EXPECT_EQ(setNvHostname.size(), 130u);
    EXPECT_EQ(setHostname.size(), 125u);

    // Each write is followed by a test of its error level that leaves the
    // success path.
    std::size_t previous = 0;
    for (const std::string& write : {setAddressKey, setNvHostname, setHostname}) {
        const std::size_t at = indexOf(lines, write);
        ASSERT_LT(at + 1, lines.size()) << write;
        EXPECT_GT(at, previous);
        EXPECT_EQ(lines[at + 1], "if errorlevel 1 goto failed");
        previous = at;
    }
    const std::size_t success = indexOf(lines, successMessage);
    ASSERT_LT(success, lines.size());
    EXPECT_GT(success, previous);
    EXPECT_EQ(lines[success - 1], "cls");
    EXPECT_LT(indexOf(lines, ":failed"), lines.size());

    // An empty answer is refused before the first write.
    const std::size_t refuse = indexOf(lines, "if not defined nameWithoutBlanks goto noname");
    EXPECT_GT(refuse, 5u);
    EXPECT_LT(refuse, indexOf(lines, setAddressKey));
}

TEST(ComputerNameScript, IsPlainCrLfTextWithoutFinalLineBreak) {
    const ByteBlock& block = computerNameScript();
    EXPECT_EQ(std::count(block.begin(), block.end(), 0), 0);
    EXPECT_EQ(std::count(block.begin(), block.end(), '\t'), 0);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 7), "%%a %%a");
    EXPECT_EQ(std::string(block.end() - 7, block.end()), "\r\necho.");
    // Every LF belongs to a CR LF pair.
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (block[i] == '\n') {
            EXPECT_TRUE(i > 0 && block[i - 1] == '\r') << i;
        }
    }
}

TEST(ComputerNameScript, RunsAsTheComputerNameWorkingFile) {
    resetHostFakes();
    runComputerNameScript();
    const ByteBlock& script = computerNameScript();
    ASSERT_EQ(scriptRuns().size(), 1u);
    EXPECT_EQ(scriptRuns()[0].first, "GG.bat");
    EXPECT_EQ(scriptRuns()[0].second, std::string(script.begin(), script.end()));
}
