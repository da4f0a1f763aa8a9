// The start window: adapter and ping target, the DHCP, ipconfig, ping and
// computer-name buttons, and the two buttons that open the other windows.
#include "actions/computer_name_script.h"
#include "actions/launch.h"
#include "actions/network_scripts.h"
#include "ui/host_name.h"
#include "ui/window_settings.h"
#include "ui/window_template.h"

#include <array>

namespace {

constexpr std::string_view adapterBox = "编辑框4_适配器";
constexpr std::string_view pingTargetBox = "编辑框1";

using enum ControlKind;
constexpr std::array<ControlRow, 10> controls = {{
    {"按钮4", Button, 0, 8, 37, 151, 73, "修改固定IP"},
    {"标签4", Label, 0, 8, 8, 51, 24, "适配器:"},
    {adapterBox, EditBox, 0, 62, 8, 100, 24, ""},
    {"按钮2", Button, 0, 104, 138, 72, 46, "计算机名"},
    {"按钮1", Button, 0, 8, 138, 72, 46, "修改DNS"},
    {"按钮2_查看设置", Button, 10, 5, 44, 82, 52, "IPconfig"},
    {"按钮1_ping", Button, 10, 91, 44, 82, 52, "Ping"},
    {pingTargetBox, EditBox, 10, 20, 16, 128, 25, ""},
    {"按钮1_获取IP", Button, 0, 214, 112, 151, 73, "自动获取IP"},
    {"分组框1", GroupBox, 0, 190, 0, 177, 112, "Test"},
}};

void created(WindowContext& window) {
    window.setTitle(localHostName());
    loadBoxes(window, WindowId::Main);
}

// Scripts still waiting their turn are started before the working files go;
// a file that a script still runs from is left for a later teardown.
void willBeDestroyed(WindowContext& window) {
    finishScriptRuns();
    saveBoxes(window, WindowId::Main);
}

void obtainAddressAutomatically(WindowContext& window) {
    runDhcpScript(window.text(adapterBox));
}
void showIpConfig(WindowContext&) {
    openIpConfigConsole();
}
void ping(WindowContext& window) {
    openPingConsole(window.text(pingTargetBox));
}
void changeComputerName(WindowContext&) {
    runComputerNameScript();
}
void openDnsWindow(WindowContext&) {
    openModalWindow(dnsWindowTemplate);
}
void openStaticAddressWindow(WindowContext&) {
    openModalWindow(staticAddressWindowTemplate);
}

constexpr std::array<ClickBinding, 6> clicks = {{
    {9, obtainAddressAutomatically},
    {6, showIpConfig},
    {7, ping},
    {4, changeComputerName},
    {5, openDnsWindow},
    {1, openStaticAddressWindow},
}};

} // namespace

const WindowTemplate mainWindowTemplate = {
    WindowId::Main, "IpflipMainWindow", 379, 218, true, controls, created, willBeDestroyed, clicks,
};
