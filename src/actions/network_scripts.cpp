#include "actions/network_scripts.h"

#include "actions/launch.h"
#include "settings/working_files.h"

ByteBlock buildDhcpScript(std::string_view adapter) {
    const AnsiText setAddress =
        concatText({"   netsh interface ip set address name=\"", adapter, "\"  source=dhcp"});
    const AnsiText deleteDnsAndFlush = concatText(
        {"\r\nnetsh interface ip delete dns \"", adapter, "\" all\r\nipconfig /flushdns"});
    return concatBytes({toBytes(setAddress), toBytes(deleteDnsAndFlush)});
}

// The adapter name is quoted, as in the other two scripts, so that names with
// spaces ("Local Area Connection") work.
ByteBlock buildStaticAddressScript(std::string_view adapter, std::string_view address,
                                   std::string_view mask, std::string_view gateway) {
    return toBytes(
        concatText({"netsh interface ip set address name=\"", adapter,
                    "\"  source=static addr=", address, " mask=", mask, " gateway=", gateway}));
}

ByteBlock buildDnsScript(std::string_view adapter, std::string_view primaryDns,
                         std::string_view alternateDns) {
    return toBytes(
        concatText({"netsh interface ip set dns \"", adapter, "\"  static  ", primaryDns, "\r\n",
                    "netsh interface ip add dns \"", adapter, "\"  ", alternateDns}));
}

void runDhcpScript(std::string_view adapter) {
    runWorkingScript(networkScriptFile, buildDhcpScript(adapter));
}

void runStaticAddressScript(std::string_view adapter, std::string_view address,
                            std::string_view mask, std::string_view gateway) {
    runWorkingScript(networkScriptFile, buildStaticAddressScript(adapter, address, mask, gateway));
}

void runDnsScript(std::string_view adapter, std::string_view primaryDns,
                  std::string_view alternateDns) {
    runWorkingScript(networkScriptFile, buildDnsScript(adapter, primaryDns, alternateDns));
}
