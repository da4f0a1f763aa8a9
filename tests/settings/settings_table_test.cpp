#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

// Code page 936 bytes of the names and defaults, as they stand in C.ini.
namespace gbk {
constexpr std::string_view section1 = "\xC5\xE4\xD6\xC3\x31";    // 配置1
constexpr std::string_view section2 = "\xC5\xE4\xD6\xC3\x32";    // 配置2
constexpr std::string_view section3 = "\xC5\xE4\xD6\xC3\x33";    // 配置3
constexpr std::string_view adapter = "\xCA\xCA\xC5\xE4\xC6\xF7"; // 适配器
constexpr std::string_view alternateDns = "\xB1\xB8\xD3\xC3"
                                          "DNS";         // 备用DNS
constexpr std::string_view gateway = "\xCD\xF8\xB9\xD8"; // 网关
constexpr std::string_view mask = "\xD1\xDA\xC2\xEB";    // 掩码
// 无线网络连接
constexpr std::string_view defaultAdapter = "\xCE\xDE\xCF\xDF\xCD\xF8\xC2\xE7\xC1\xAC\xBD\xD3";
// 网址自己填
constexpr std::string_view defaultPingTarget = "\xCD\xF8\xD6\xB7\xD7\xD4\xBC\xBA\xCC\xEE";
} // namespace gbk

TEST(SettingsTable, RowsInEachWindowsLoadAndSaveOrder) {
    struct Expected {
        WindowId window;
        std::string_view section, key, defaultValue;
    };
    const Expected expected[] = {
        {WindowId::Main, gbk::section1, gbk::adapter, gbk::defaultAdapter},
        {WindowId::Main, gbk::section1, "TEST", gbk::defaultPingTarget},
        {WindowId::Dns, gbk::section2, gbk::adapter, gbk::defaultAdapter},
        {WindowId::Dns, gbk::section2, "DNS", "8.8.8.8"},
        {WindowId::Dns, gbk::section2, gbk::alternateDns, "114.114.114.114"},
        {WindowId::StaticAddress, gbk::section3, "IP", "192.168.1.66"},
        {WindowId::StaticAddress, gbk::section3, gbk::gateway, "168.168.1.1"},
        {WindowId::StaticAddress, gbk::section3, gbk::mask, "255.255.255.0"},
        {WindowId::StaticAddress, gbk::section1, gbk::adapter, gbk::defaultAdapter},
    };
    ASSERT_EQ(std::size(expected), settingsTable.size());
    for (std::size_t i = 0; i < settingsTable.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(settingsTable[i].window, expected[i].window);
        EXPECT_EQ(settingsTable[i].section, expected[i].section);
        EXPECT_EQ(settingsTable[i].key, expected[i].key);
        EXPECT_EQ(settingsTable[i].defaultValue, expected[i].defaultValue);
    }
}

TEST(SettingsTable, OnlyTheTwoAdapterBoxesNamedAlikeShareAnEntry) {
    std::set<std::pair<std::string_view, std::string_view>> entries;
    for (const SettingRow& row : settingsTable)
        entries.insert({row.section, row.key});
    EXPECT_EQ(entries.size(), 8u);
    // "编辑框4_适配器" in the main and static address windows.
    EXPECT_EQ(settingsTable[0].box, settingsTable[8].box);
    EXPECT_EQ(settingsTable[0].box, "\xB1\xE0\xBC\xAD\xBF\xF2"
                                    "4_"
                                    "\xCA\xCA\xC5\xE4\xC6\xF7");
}
