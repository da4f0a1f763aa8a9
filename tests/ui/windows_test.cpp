#include "actions/computer_name_script.h"
#include "actions/network_scripts.h"
#include "settings/settings_table.h"
#include "ui/layout.h"
#include "ui/window_template.h"

#include "host_fakes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A window as its handlers see it: box texts by control name, and a title.
class FakeWindow final : public WindowContext {
  public:
    explicit FakeWindow(const WindowTemplate& layout) : layout_(layout) {
        for (const ControlRow& row : layout.controls)
            if (row.kind == ControlKind::EditBox)
                boxes_[std::string(row.name)] = "";
    }
    AnsiText text(std::string_view control) const override {
        const auto found = boxes_.find(std::string(control));
        if (found == boxes_.end()) {
            ADD_FAILURE() << "no edit box " << control;
            return {};
        }
        return found->second;
    }
    void setText(std::string_view control, std::string_view value) override {
        const auto found = boxes_.find(std::string(control));
        if (found == boxes_.end()) {
            ADD_FAILURE() << "no edit box " << control;
            return;
        }
        found->second = value;
    }
    void setTitle(std::string_view title) override {
        hostLog().push_back("title " + std::string(title));
        title_ = title;
    }

    // Runs the handler bound to the button with this caption.
    void click(std::string_view caption) {
        for (const ClickBinding& binding : layout_.clicks)
            if (layout_.controls[binding.row - 1].caption == caption)
                return binding.clicked(*this);
        ADD_FAILURE() << "no button " << caption;
    }

    const std::string& title() const { return title_; }

  private:
    const WindowTemplate& layout_;
    std::map<std::string, std::string> boxes_;
    std::string title_;
};

const WindowTemplate* const allWindows[] = {&mainWindowTemplate, &dnsWindowTemplate,
                                            &staticAddressWindowTemplate};

int rowNamed(const WindowTemplate& window, std::string_view name) {
    for (std::size_t i = 0; i < window.controls.size(); ++i)
        if (window.controls[i].name == name)
            return static_cast<int>(i) + 1;
    return 0;
}

} // namespace

TEST(Windows, FramesAndTablesAreAsDesigned) {
    struct Frame {
        const WindowTemplate* window;
        int width, height;
        bool minimizeBox;
        std::size_t controls;
    };
    const Frame frames[] = {
        {&mainWindowTemplate, 379, 218, true, 10},
        {&dnsWindowTemplate, 197, 193, false, 9},
        {&staticAddressWindowTemplate, 186, 266, false, 10},
    };
    for (const Frame& frame : frames) {
        SCOPED_TRACE(frame.window->className);
        EXPECT_TRUE(isWellFormed(*frame.window));
        EXPECT_EQ(frame.window->width, frame.width);
        EXPECT_EQ(frame.window->height, frame.height);
        EXPECT_EQ(frame.window->minimizeBox, frame.minimizeBox);
        EXPECT_EQ(frame.window->controls.size(), frame.controls);
        EXPECT_TRUE(frame.window->created && frame.window->willBeDestroyed);
    }
}

TEST(Windows, NestedControlsStandWhereTheWindowShowsThem) {
    struct Placement {
        const WindowTemplate* window;
        std::string_view control;
        Point client;
    };
    const Placement placements[] = {
        {&mainWindowTemplate, "按钮2_查看设置", {195, 44}},
        {&mainWindowTemplate, "按钮1_ping", {281, 44}},
        {&mainWindowTemplate, "编辑框1", {210, 16}},
        {&dnsWindowTemplate, "按钮3_改DNS", {16, 109}},
        {&dnsWindowTemplate, "编辑框_备用DNS", {69, 83}},
        {&dnsWindowTemplate, "编辑框_主DNS", {69, 52}},
        {&dnsWindowTemplate, "标签5", {18, 83}},
        {&dnsWindowTemplate, "标签3", {18, 52}},
        {&staticAddressWindowTemplate, "编辑框4_适配器", {65, 130}},
        {&staticAddressWindowTemplate, "标签4", {17, 130}},
    };
    for (const Placement& placement : placements) {
        SCOPED_TRACE(placement.control);
        const int row = rowNamed(*placement.window, placement.control);
        ASSERT_NE(row, 0);
        EXPECT_EQ(clientPosition(placement.window->controls, row), placement.client);
    }
}

TEST(Windows, MainWindowControlsDoNotOverlap) {
    const auto& rows = mainWindowTemplate.controls;
    for (int a = 1; a <= static_cast<int>(rows.size()); ++a) {
        for (int b = a + 1; b <= static_cast<int>(rows.size()); ++b) {
            if (rows[a - 1].parentRow == b || rows[b - 1].parentRow == a)
                continue; // a control inside its own group box
            const Point pa = clientPosition(rows, a), pb = clientPosition(rows, b);
            const bool apart =
                pa.x + rows[a - 1].width <= pb.x || pb.x + rows[b - 1].width <= pa.x ||
                pa.y + rows[a - 1].height <= pb.y || pb.y + rows[b - 1].height <= pa.y;
            EXPECT_TRUE(apart) << rows[a - 1].name << " / " << rows[b - 1].name;
        }
    }
}

TEST(Windows, FocusOrders) {
    struct Order {
        const WindowTemplate* window;
        std::vector<std::string_view> controls;
    };
    const Order orders[] = {
        {&mainWindowTemplate,
         {"按钮1_获取IP", "编辑框1", "按钮1_ping", "按钮2_查看设置", "按钮1", "按钮2",
          "编辑框4_适配器", "按钮4"}},
        {&dnsWindowTemplate,
         {"编辑框_主DNS", "编辑框_备用DNS", "按钮3_改DNS", "编辑框4_适配器1", "按钮1"}},
        {&staticAddressWindowTemplate,
         {"编辑框4_适配器", "编辑框2_子网", "编辑框3_网关", "编辑框1_IP", "按钮2_固定IP"}},
    };
    for (const Order& order : orders) {
        SCOPED_TRACE(order.window->className);
        std::vector<std::string_view> actual;
        for (int row : focusOrder(order.window->controls))
            actual.push_back(order.window->controls[row - 1].name);
        EXPECT_EQ(actual, order.controls);
    }
}

TEST(Windows, EverySettingsRowNamesAnEditBoxOfItsWindow) {
    for (const SettingRow& setting : settingsTable) {
        const WindowTemplate* window = allWindows[static_cast<int>(setting.window)];
        ASSERT_EQ(window->id, setting.window);
        const int row = rowNamed(*window, setting.box);
        ASSERT_NE(row, 0) << setting.box;
        EXPECT_EQ(window->controls[row - 1].kind, ControlKind::EditBox) << setting.box;
    }
}

TEST(Windows, MainWindowSetsTitleBeforeLoadingAndFinishesScriptsBeforeSaving) {
    resetHostFakes();
    fakeSettings()["配置1/TEST"] = "127.0.0.1";
    FakeWindow window(mainWindowTemplate);
    mainWindowTemplate.created(window);
    EXPECT_EQ(window.title(), fakeHostName);
    EXPECT_EQ(window.text("编辑框4_适配器"), "无线网络连接");
    EXPECT_EQ(window.text("编辑框1"), "127.0.0.1");

    window.setText("编辑框4_适配器", "");
    mainWindowTemplate.willBeDestroyed(window);
    const std::vector<std::string> expected = {
        "host name",
        "title test-host",
        "read 配置1/适配器",
        "read 配置1/TEST",
        "finish script runs",
        "write 配置1/适配器=",
        "write 配置1/TEST=127.0.0.1",
    };
    EXPECT_EQ(hostLog(), expected);
}

TEST(Windows, DnsAndStaticWindowsLoadAndSaveTheirRowsInOrder) {
    resetHostFakes();
    FakeWindow dns(dnsWindowTemplate);
    dnsWindowTemplate.created(dns);
    EXPECT_EQ(dns.text("编辑框_主DNS"), "8.8.8.8");
    EXPECT_EQ(dns.text("编辑框_备用DNS"), "114.114.114.114");
    dnsWindowTemplate.willBeDestroyed(dns);

    FakeWindow addresses(staticAddressWindowTemplate);
    staticAddressWindowTemplate.created(addresses);
    EXPECT_EQ(addresses.text("编辑框1_IP"), "192.168.1.66");
    EXPECT_EQ(addresses.text("编辑框3_网关"), "168.168.1.1");
    EXPECT_EQ(addresses.text("编辑框2_子网"), "255.255.255.0");
    addresses.setText("编辑框4_适配器", "LAN 2");
    staticAddressWindowTemplate.willBeDestroyed(addresses);

    const std::vector<std::string> expected = {
        "read 配置2/适配器",
        "read 配置2/DNS",
        "read 配置2/备用DNS",
        "write 配置2/适配器=无线网络连接",
        "write 配置2/DNS=8.8.8.8",
        "write 配置2/备用DNS=114.114.114.114",
        "read 配置3/IP",
        "read 配置3/网关",
        "read 配置3/掩码",
        "read 配置1/适配器",
        "write 配置3/IP=192.168.1.66",
        "write 配置3/网关=168.168.1.1",
        "write 配置3/掩码=255.255.255.0",
        "write 配置1/适配器=LAN 2",
    };
    EXPECT_EQ(hostLog(), expected);
}

TEST(Windows, EachButtonDoesItsActionWithTheBoxesAtTheClick) {
    resetHostFakes();
    FakeWindow main(mainWindowTemplate);
    main.setText("编辑框4_适配器", "Local Area Connection");
    main.setText("编辑框1", "127.0.0.1");
    FakeWindow dns(dnsWindowTemplate);
    dns.setText("编辑框4_适配器1", "dns-adapter");
    dns.setText("编辑框_主DNS", "1.1.1.1");
    dns.setText("编辑框_备用DNS", "9.9.9.9");
    FakeWindow addresses(staticAddressWindowTemplate);
    addresses.setText("编辑框4_适配器", "lan");
    addresses.setText("编辑框1_IP", "10.0.0.2");
    addresses.setText("编辑框2_子网", "255.0.0.0");
    addresses.setText("编辑框3_网关", "10.0.0.1");

    struct Click {
        FakeWindow* window;
        std::string_view caption;
        std::string logged;
    };
    const Click clicks[] = {
        {&main, "自动获取IP", "run 1.bat"},
        {&main, "IPconfig", "launch cmd  /kipconfig"},
        {&main, "Ping", "launch cmd  /kping 127.0.0.1 -t"},
        {&main, "计算机名", "run GG.bat"},
        {&main, "修改DNS", "open IpflipDnsWindow"},
        {&main, "修改固定IP", "open IpflipStaticAddressWindow"},
        {&dns, "改DNS", "run 1.bat"},
        {&dns, "重置DNS缓存", "launch cmd /cipconfig /flushdns"},
        {&addresses, "固定IP", "run 1.bat"},
    };
    for (const Click& click : clicks) {
        SCOPED_TRACE(std::string(click.caption));
        hostLog().clear();
        click.window->click(click.caption);
        EXPECT_EQ(hostLog(), std::vector<std::string>{click.logged});
    }

    const ByteBlock& nameScript = computerNameScript();
    const std::vector<std::pair<std::string, std::string>> scripts = {
        {"1.bat", "   netsh interface ip set address name=\"Local Area Connection\"  "
                  "source=dhcp\r\nnetsh interface ip delete dns \"Local Area Connection\" "
                  "all\r\nipconfig /flushdns"},
        {"GG.bat", std::string(nameScript.begin(), nameScript.end())},
        {"1.bat", "netsh interface ip set dns \"dns-adapter\"  static  1.1.1.1\r\n"
                  "netsh interface ip add dns \"dns-adapter\"  9.9.9.9"},
        {"1.bat", "netsh interface ip set address name=\"lan\"  source=static addr=10.0.0.2 "
                  "mask=255.0.0.0 gateway=10.0.0.1"},
    };
    EXPECT_EQ(scriptRuns(), scripts);
}
