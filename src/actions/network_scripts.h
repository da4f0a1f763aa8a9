#pragma once
// The three netsh scripts behind the address and DNS buttons. Values go in
// exactly as typed: nothing is validated, trimmed or escaped.

#include "text.h"

#include <string_view>

// Back to DHCP, DNS servers removed, resolver cache flushed.
ByteBlock buildDhcpScript(std::string_view adapter);
// A static address, mask and default gateway.
ByteBlock buildStaticAddressScript(std::string_view adapter, std::string_view address,
                                   std::string_view mask, std::string_view gateway);
// Primary DNS server set, alternate one added.
ByteBlock buildDnsScript(std::string_view adapter, std::string_view primaryDns,
                         std::string_view alternateDns);

// Each writes its script as the working file "1.bat" and starts it.
void runDhcpScript(std::string_view adapter);
void runStaticAddressScript(std::string_view adapter, std::string_view address,
                            std::string_view mask, std::string_view gateway);
void runDnsScript(std::string_view adapter, std::string_view primaryDns,
                  std::string_view alternateDns);
