#include "actions/network_scripts.h"

#include "host_fakes.h"

#include <gtest/gtest.h>

namespace {

// 无线网络连接 in code page 936: 12 bytes.
constexpr std::string_view wirelessAdapter = "\xCE\xDE\xCF\xDF\xCD\xF8\xC2\xE7\xC1\xAC\xBD\xD3";

std::string asText(const ByteBlock& block) {
    return std::string(block.begin(), block.end());
}

} // namespace

TEST(NetworkScripts, DefaultValuesGiveTheExactScripts) {
    const std::string adapter(wirelessAdapter);
    const std::string dhcp = "   netsh interface ip set address name=\"" + adapter +
                             "\"  source=dhcp\r\n"
                             "netsh interface ip delete dns \"" +
                             adapter +
                             "\" all\r\n"
                             "ipconfig /flushdns";
    const std::string staticAddress = "netsh interface ip set address name=\"" + adapter +
                                      "\"  source=static addr=192.168.1.66 mask=255.255.255.0 "
                                      "gateway=168.168.1.1";
    const std::string dns = "netsh interface ip set dns \"" + adapter +
                            "\"  static  8.8.8.8\r\n"
                            "netsh interface ip add dns \"" +
                            adapter + "\"  114.114.114.114";

    EXPECT_EQ(asText(buildDhcpScript(wirelessAdapter)), dhcp);
    EXPECT_EQ(asText(buildStaticAddressScript(wirelessAdapter, "192.168.1.66", "255.255.255.0",
                                              "168.168.1.1")),
              staticAddress);
    EXPECT_EQ(asText(buildDnsScript(wirelessAdapter, "8.8.8.8", "114.114.114.114")), dns);

    EXPECT_EQ(buildDhcpScript(wirelessAdapter).size(), 136u);
    EXPECT_EQ(
        buildStaticAddressScript(wirelessAdapter, "192.168.1.66", "255.255.255.0", "168.168.1.1")
            .size(),
        122u);
    EXPECT_EQ(buildDnsScript(wirelessAdapter, "8.8.8.8", "114.114.114.114").size(), 118u);
}

TEST(NetworkScripts, EmptyValuesLeaveOnlyTheFixedText) {
    EXPECT_EQ(asText(buildDhcpScript("")), "   netsh interface ip set address name=\"\"  "
                                           "source=dhcp\r\n"
                                           "netsh interface ip delete dns \"\" all\r\n"
                                           "ipconfig /flushdns");
    EXPECT_EQ(asText(buildStaticAddressScript("", "", "", "")),
              "netsh interface ip set address name=\"\"  source=static addr= mask= gateway=");
    EXPECT_EQ(asText(buildDnsScript("", "", "")), "netsh interface ip set dns \"\"  static  \r\n"
                                                  "netsh interface ip add dns \"\"  ");
    EXPECT_EQ(buildDhcpScript("").size(), 112u);
    EXPECT_EQ(buildStaticAddressScript("", "", "", "").size(), 74u);
    EXPECT_EQ(buildDnsScript("", "", "").size(), 72u);
}

TEST(NetworkScripts, ValuesGoInUnchangedInsideTheFixedQuotes) {
    const std::string_view spaced = "Local Area Connection 2";
    EXPECT_EQ(asText(buildStaticAddressScript(spaced, "10.0.0.2", "255.0.0.0", "10.0.0.1")),
              "netsh interface ip set address name=\"Local Area Connection 2\"  source=static "
              "addr=10.0.0.2 mask=255.0.0.0 gateway=10.0.0.1");
    const std::string dns = asText(buildDnsScript(spaced, " 1.1.1.1 ", "a&b|c"));
    EXPECT_EQ(dns, "netsh interface ip set dns \"Local Area Connection 2\"  static   1.1.1.1 \r\n"
                   "netsh interface ip add dns \"Local Area Connection 2\"  a&b|c");
    // A GBK adapter name whose trail byte is a backslash stays as it is.
    const std::string dhcp = asText(buildDhcpScript("\x81\x5C"));
    EXPECT_NE(dhcp.find("name=\"\x81\x5C\"  source=dhcp"), std::string::npos);
    EXPECT_NE(dhcp.find("delete dns \"\x81\x5C\" all"), std::string::npos);
}

TEST(NetworkScripts, EachActionRunsItsScriptAsTheNetworkWorkingFile) {
    resetHostFakes();
    runDhcpScript("eth0");
    runStaticAddressScript("eth0", "10.0.0.2", "255.0.0.0", "10.0.0.1");
    runDnsScript("eth0", "1.1.1.1", "9.9.9.9");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"1.bat", asText(buildDhcpScript("eth0"))},
        {"1.bat", asText(buildStaticAddressScript("eth0", "10.0.0.2", "255.0.0.0", "10.0.0.1"))},
        {"1.bat", asText(buildDnsScript("eth0", "1.1.1.1", "9.9.9.9"))},
    };
    EXPECT_EQ(scriptRuns(), expected);
}
