#pragma once
// Every setting the program keeps in C.ini: one row per edit box, the rows of
// each window in that window's order of loading and saving. The main window's
// and the static address window's adapter boxes share one entry.

#include <array>
#include <string_view>

enum class WindowId { Main, Dns, StaticAddress };

struct SettingRow {
    WindowId window;
    std::string_view box; // control name of the edit box
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue;
};

inline constexpr std::string_view settingsFileName = "C.ini";

inline constexpr std::array<SettingRow, 9> settingsTable = {{
    {WindowId::Main, "编辑框4_适配器", "配置1", "适配器", "无线网络连接"},
    {WindowId::Main, "编辑框1", "配置1", "TEST", "网址自己填"},
    {WindowId::Dns, "编辑框4_适配器1", "配置2", "适配器", "无线网络连接"},
    {WindowId::Dns, "编辑框_主DNS", "配置2", "DNS", "8.8.8.8"},
    {WindowId::Dns, "编辑框_备用DNS", "配置2", "备用DNS", "114.114.114.114"},
    {WindowId::StaticAddress, "编辑框1_IP", "配置3", "IP", "192.168.1.66"},
    {WindowId::StaticAddress, "编辑框3_网关", "配置3", "网关", "168.168.1.1"},
    {WindowId::StaticAddress, "编辑框2_子网", "配置3", "掩码", "255.255.255.0"},
    {WindowId::StaticAddress, "编辑框4_适配器", "配置1", "适配器", "无线网络连接"},
}};
