// Runs of the one network script kept apart, through the real windows: a
// script asked for while an earlier one still runs from "1.bat" waits for it,
// and the runs happen whole, in the order the buttons were pressed.

#include "robust_support.h"

#include "actions/network_scripts.h"

using namespace driver;

namespace {

std::string text(const ByteBlock& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class ScriptRunsApart : public RobustTest {};

} // namespace

TEST_F(ScriptRunsApart, LaterScriptsWaitForTheRunningOneAndRunInClickOrder) {
    ASSERT_NO_FATAL_FAILURE(start());
    setWindowText(controlById(main, mainIds::adapter), "LAN 1");
    // The first tool the automatic-address script starts waits until released.
    ToolHold hold(folder.path());
    clickOn(main, mainIds::obtainAddress);
    ASSERT_TRUE(waitUntil([&] { return toolLog(folder.path()).size() == 1; }))
        << "the automatic-address script did not start";

    HWND dns = open(dnsWindow);
    ASSERT_TRUE(dns);
    setWindowText(controlById(dns, dnsIds::adapter), "LAN 2");
    setWindowText(controlById(dns, dnsIds::primary), "10.0.0.53");
    setWindowText(controlById(dns, dnsIds::alternate), "10.0.0.54");
    clickOn(dns, dnsIds::setDns);
    ASSERT_NO_FATAL_FAILURE(closeWithEsc(dns, dnsWindow));

    HWND fixed = open(staticWindow);
    ASSERT_TRUE(fixed);
    setWindowText(controlById(fixed, staticIds::adapter), "LAN 3");
    setWindowText(controlById(fixed, staticIds::address), "10.1.2.3");
    setWindowText(controlById(fixed, staticIds::mask), "255.255.0.0");
    setWindowText(controlById(fixed, staticIds::gateway), "10.1.0.1");
    clickOn(fixed, staticIds::setAddress);
    ASSERT_NO_FATAL_FAILURE(closeWithEsc(fixed, staticWindow));

    // Both later runs wait: the running script's file is untouched and no
    // second script runs beside it.
    Sleep(1000);
    EXPECT_EQ(readFile(inFolder("1.bat")), text(buildDhcpScript("LAN 1")));
    EXPECT_EQ(scriptRuns("1.bat").size(), 1u);
    EXPECT_EQ(toolLog(folder.path()).size(), 1u);

    hold.release();
    ASSERT_TRUE(waitUntil([&] { return toolLog(folder.path()).size() == 6; }))
        << testing::PrintToString(toolLog(folder.path()));
    ASSERT_TRUE(waitForScriptsEnded("1.bat"));
    const std::vector<std::string> log = toolLog(folder.path());
    // Each script's commands, whole and in the order of the clicks.
    const char* expected[] = {
        "netsh interface ip set address name=\"LAN 1\"  source=dhcp",
        "netsh interface ip delete dns \"LAN 1\" all",
        "ipconfig /flushdns",
        "netsh interface ip set dns \"LAN 2\"  static  10.0.0.53",
        "netsh interface ip add dns \"LAN 2\"  10.0.0.54",
        "netsh interface ip set address name=\"LAN 3\"  source=static addr=10.1.2.3 "
        "mask=255.255.0.0 gateway=10.1.0.1",
    };
    ASSERT_EQ(log.size(), std::size(expected));
    for (size_t i = 0; i < log.size(); ++i)
        EXPECT_EQ(log[i], expected[i]) << "tool start " << i;
    EXPECT_EQ(readFile(inFolder("1.bat")),
              text(buildStaticAddressScript("LAN 3", "10.1.2.3", "255.255.0.0", "10.1.0.1")));

    closeProgram();
    EXPECT_FALSE(fileExists(inFolder("1.bat")));
}
