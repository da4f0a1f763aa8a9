// The static address window: address, mask and gateway, for the adapter the
// main window names too (both boxes keep one entry in C.ini).
#include "actions/network_scripts.h"
#include "ui/window_settings.h"
#include "ui/window_template.h"

#include <array>

namespace {

constexpr std::string_view addressBox = "编辑框1_IP";
constexpr std::string_view gatewayBox = "编辑框3_网关";
constexpr std::string_view maskBox = "编辑框2_子网";
constexpr std::string_view adapterBox = "编辑框4_适配器";

using enum ControlKind;
constexpr std::array<ControlRow, 10> controls = {{
    {"按钮2_固定IP", Button, 0, 13, 162, 150, 62, "固定IP"},
    {addressBox, EditBox, 0, 65, 25, 100, 24, ""},
    {gatewayBox, EditBox, 0, 65, 96, 100, 24, ""},
    {maskBox, EditBox, 0, 65, 60, 100, 24, ""},
    {"标签3_网关", Label, 0, 17, 96, 64, 24, "网关:"},
    {"标签2", Label, 0, 17, 60, 64, 24, "掩码:"},
    {"标签1", Label, 0, 17, 25, 64, 24, "IP  :"},
    {"分组框2", GroupBox, 0, 8, 8, 168, 224, "固定IP"},
    {adapterBox, EditBox, 8, 57, 122, 100, 24, ""},
    {"标签4", Label, 8, 9, 122, 51, 24, "适配器:"},
}};

void created(WindowContext& window) {
    loadBoxes(window, WindowId::StaticAddress);
}
void willBeDestroyed(WindowContext& window) {
    saveBoxes(window, WindowId::StaticAddress);
}

void setStaticAddress(WindowContext& window) {
    runStaticAddressScript(window.text(adapterBox), window.text(addressBox), window.text(maskBox),
                           window.text(gatewayBox));
}

constexpr std::array<ClickBinding, 1> clicks = {{
    {1, setStaticAddress},
}};

} // namespace

const WindowTemplate staticAddressWindowTemplate = {
    WindowId::StaticAddress,
    "IpflipStaticAddressWindow",
    186,
    266,
    false,
    controls,
    created,
    willBeDestroyed,
    clicks,
};
