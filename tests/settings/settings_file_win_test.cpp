#include "settings/program_directory.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

namespace {

// C.ini beside this test program, removed before and after each test.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        initProgramDirectory();
        DeleteFileA(settingsPath().c_str());
    }
    void TearDown() override { DeleteFileA(settingsPath().c_str()); }

    static void saveWindow(WindowId window) {
        for (const SettingRow& row : settingsTable)
            if (row.window == window)
                writeSetting(row.section, row.key, row.defaultValue);
    }
};

std::string withoutBlankLines(const std::string& text) {
    std::string result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        if (end - start > 2)
            result.append(text, start, end - start);
        start = end;
    }
    return result;
}

} // namespace

TEST_F(SettingsFile, SavingTheWindowsInTurnGivesTheKnownFile) {
    EXPECT_EQ(settingsPath(), testProgramDirectory() + "\\C.ini");
    // DNS window, static address window, then the main window close.
    saveWindow(WindowId::Dns);
    saveWindow(WindowId::StaticAddress);
    saveWindow(WindowId::Main);
    // [配置2] 适配器=无线网络连接 DNS=8.8.8.8 备用DNS=114.114.114.114
    // [配置3] IP=192.168.1.66 网关=168.168.1.1 掩码=255.255.255.0
    // [配置1] 适配器=无线网络连接 TEST=网址自己填
    const std::string expected =
        "[\xC5\xE4\xD6\xC3\x32]\r\n"
        "\xCA\xCA\xC5\xE4\xC6\xF7=\xCE\xDE\xCF\xDF\xCD\xF8\xC2\xE7\xC1\xAC\xBD\xD3\r\n"
        "DNS=8.8.8.8\r\n"
        "\xB1\xB8\xD3\xC3"
        "DNS=114.114.114.114\r\n"
        "[\xC5\xE4\xD6\xC3\x33]\r\n"
        "IP=192.168.1.66\r\n"
        "\xCD\xF8\xB9\xD8=168.168.1.1\r\n"
        "\xD1\xDA\xC2\xEB=255.255.255.0\r\n"
        "[\xC5\xE4\xD6\xC3\x31]\r\n"
        "\xCA\xCA\xC5\xE4\xC6\xF7=\xCE\xDE\xCF\xDF\xCD\xF8\xC2\xE7\xC1\xAC\xBD\xD3\r\n"
        "TEST=\xCD\xF8\xD6\xB7\xD7\xD4\xBC\xBA\xCC\xEE\r\n";
    EXPECT_EQ(withoutBlankLines(readFile(settingsPath())), expected);
}

TEST_F(SettingsFile, ReadsDefaultsOnlyForMissingEntries) {
    EXPECT_EQ(readSetting("s", "k", "fallback"), "fallback"); // no file
    EXPECT_FALSE(fileExists(settingsPath()));                 // reading creates nothing

    ASSERT_TRUE(writeSetting("s", "k", ""));
    EXPECT_EQ(readFile(settingsPath()), "[s]\r\nk=\r\n");
    EXPECT_EQ(readSetting("s", "k", "fallback"), ""); // empty, not the default
    EXPECT_EQ(readSetting("s", "other", "fallback"), "fallback");
    EXPECT_EQ(readSetting("t", "k", "fallback"), "fallback");
    EXPECT_EQ(readSetting("s", "other", ""), "");
}

TEST_F(SettingsFile, ValuesComeBackAsSaved) {
    const std::string values[] = {
        "\xCE\xDE\xCF\xDF \x81\x5C", "a & b | c % ^ < >", "x", "=", std::string(300, 'v'),
    };
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(writeSetting("s", "k", value));
        EXPECT_EQ(readSetting("s", "k", "d"), value);
    }
}

TEST_F(SettingsFile, LongValueComesBackCut) {
    const std::string longValue(20000, 'z');
    ASSERT_TRUE(writeSetting("s", "k", longValue));
    const std::string back = readSetting("s", "k", "");
    EXPECT_LE(back.size(), 10239u);
    EXPECT_GE(back.size(), 10000u);
    EXPECT_EQ(back, longValue.substr(0, back.size()));
}

TEST_F(SettingsFile, BlankNamesReadAsEmpty) {
    ASSERT_TRUE(writeSetting("s", "k", "value"));
    EXPECT_EQ(readSetting(" \t", "k", "d"), "");
    EXPECT_EQ(readSetting("s", "  ", "d"), "");
}

TEST_F(SettingsFile, UnwritableFileFailsQuietlyAndStaysAsItWas) {
    ASSERT_TRUE(writeSetting("s", "k", "kept"));
    const std::string before = readFile(settingsPath());
    {
        WriteLock lock(settingsPath());
        ASSERT_TRUE(lock.held());
        EXPECT_FALSE(writeSetting("s", "k", "lost"));
        EXPECT_FALSE(writeSetting("s", "k2", "lost too"));
        EXPECT_EQ(readFile(settingsPath()), before);
    }
    EXPECT_EQ(readSetting("s", "k", "d"), "kept");
    EXPECT_TRUE(writeSetting("s", "k2", "saved later"));
    EXPECT_EQ(readSetting("s", "k2", "d"), "saved later");
}
