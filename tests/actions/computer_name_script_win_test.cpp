#include "actions/computer_name_script.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct RegistryValue {
    const char* key;
    const char* name;
};

constexpr std::array<RegistryValue, 3> nameValues = {{
    {"System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName", "ComputerName"},
    {"System\\CurrentControlSet\\Services\\Tcpip\\Parameters", "NV Hostname"},
    {"System\\CurrentControlSet\\Services\\Tcpip\\Parameters", "Hostname"},
}};

std::string readValue(const RegistryValue& value) {
    char data[512] = {};
    DWORD size = sizeof data - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, value.key, value.name, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return data;
}

void writeValue(const RegistryValue& value, const std::string& data) {
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, value.key, value.name, REG_SZ, data.c_str(),
                    static_cast<DWORD>(data.size() + 1));
}

// 您的计算机名已更改
const std::string changedMessage = "\xC4\xFA\xB5\xC4\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xFB\xD2\xD1\xB8"
                                   "\xFC\xB8\xC4";
// 计算机名未更改
const std::string unchangedMessage = "\xBC\xC6\xCB\xE3\xBB\xFA\xC3\xFB\xCE\xB4\xB8\xFC\xB8\xC4";
// 请以管理员身份运行本程序
const std::string runAsAdministrator = "\xC7\xEB\xD2\xD4\xB9\xDC\xC0\xED\xD4\xB1\xC9\xED\xB7\xDD"
                                       "\xD4\xCB\xD0\xD0\xB1\xBE\xB3\xCC\xD0\xF2";

// Runs the script from a scratch folder the way its console would, the
// user's answer fed to its prompt; the registry values are put back after.
class ComputerNameScriptRun : public ::testing::Test {
  protected:
    TempFolder scratch{"names"};
    std::array<std::string, 3> saved;

    void SetUp() override {
        for (std::size_t i = 0; i < nameValues.size(); ++i) {
            saved[i] = readValue(nameValues[i]);
            writeValue(nameValues[i], "before-test");
        }
        const ByteBlock& script = computerNameScript();
        writeFile(scratch / "GG.bat", std::string(script.begin(), script.end()));
    }
    void TearDown() override {
        for (std::size_t i = 0; i < nameValues.size(); ++i)
            writeValue(nameValues[i], saved[i]);
    }

    std::string run(std::string_view answer) {
        writeFile(scratch / "answer.txt", answer);
        ProcessOptions options;
        options.currentDirectory = scratch.path();
        options.standardInputFile = scratch / "answer.txt";
        options.standardOutputFile = scratch / "console.txt";
        const ProcessOutcome outcome = runProcess("cmd /c GG.bat", options);
        EXPECT_TRUE(outcome.finished) << "the script waited";
        return readFile(scratch / "console.txt");
    }

    void expectValues(const std::string& expected) {
        for (const RegistryValue& value : nameValues)
            EXPECT_EQ(readValue(value), expected) << value.name;
    }
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(ComputerNameScriptRun, WritesTheNameAndSaysSo) {
    const std::string console = run("NEWNAME-1\r\n");
    expectValues("NEWNAME-1");
    EXPECT_TRUE(contains(console, changedMessage)) << console;
    EXPECT_FALSE(contains(console, unchangedMessage)) << console;
}

TEST_F(ComputerNameScriptRun, FailedWriteIsReportedAsFailure) {
    // cmd finds a reg.exe in the current folder before the real one.
    copyFileTo(testProgramDirectory() + "\\failing_tool.exe", scratch / "reg.exe");
    const std::string console = run("NEWNAME-2\r\n");
    expectValues("before-test");
    EXPECT_TRUE(contains(console, unchangedMessage)) << console;
    EXPECT_TRUE(contains(console, runAsAdministrator)) << console;
    EXPECT_FALSE(contains(console, changedMessage)) << console;
}

TEST_F(ComputerNameScriptRun, EmptyOrBlankAnswerIsRefused) {
    for (std::string_view answer : {"\r\n", "   \r\n"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(answer)));
        const std::string console = run(answer);
        expectValues("before-test");
        EXPECT_TRUE(contains(console, unchangedMessage)) << console;
        EXPECT_FALSE(contains(console, changedMessage)) << console;
    }
}
