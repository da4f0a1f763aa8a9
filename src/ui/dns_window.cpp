// The DNS window: primary and alternate servers for an adapter of its own,
// and a flush of the resolver cache.
#include "actions/launch.h"
#include "actions/network_scripts.h"
#include "ui/window_settings.h"
#include "ui/window_template.h"

#include <array>

namespace {

constexpr std::string_view adapterBox = "编辑框4_适配器1";
constexpr std::string_view primaryBox = "编辑框_主DNS";
constexpr std::string_view alternateBox = "编辑框_备用DNS";

using enum ControlKind;
constexpr std::array<ControlRow, 9> controls = {{
    {"按钮1", Button, 0, 17, 137, 160, 28, "重置DNS缓存"},
    {adapterBox, EditBox, 0, 69, 23, 100, 24, ""},
    {"标签4", Label, 0, 15, 23, 51, 24, "适配器:"},
    {"分组框3", GroupBox, 0, 7, 4, 176, 137, "DNS.适配器名"},
    {"按钮3_改DNS", Button, 4, 9, 105, 160, 28, "改DNS"},
    {alternateBox, EditBox, 4, 62, 79, 100, 24, ""},
    {primaryBox, EditBox, 4, 62, 48, 100, 24, ""},
    {"标签5", Label, 4, 11, 79, 48, 24, "备用DNS"},
    {"标签3", Label, 4, 11, 48, 48, 24, "DNS"},
}};

void created(WindowContext& window) {
    loadBoxes(window, WindowId::Dns);
}
void willBeDestroyed(WindowContext& window) {
    saveBoxes(window, WindowId::Dns);
}

void changeDns(WindowContext& window) {
    runDnsScript(window.text(adapterBox), window.text(primaryBox), window.text(alternateBox));
}
void resetDnsCache(WindowContext&) {
    flushDnsCache();
}

constexpr std::array<ClickBinding, 2> clicks = {{
    {5, changeDns},
    {1, resetDnsCache},
}};

} // namespace

const WindowTemplate dnsWindowTemplate = {
    WindowId::Dns, "IpflipDnsWindow", 197, 193, false, controls, created, willBeDestroyed, clicks,
};
