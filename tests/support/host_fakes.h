#pragma once
// Host stand-ins for everything that would touch Windows: each call is
// written to one ordered log, and settings live in memory.

#include <map>
#include <string>
#include <utility>
#include <vector>

// One line per call, oldest first, e.g. "run 1.bat", "launch cmd  /kipconfig",
// "read 配置1/TEST", "write 配置1/TEST=x", "finish script runs",
// "open IpflipDnsWindow", "title vm".
std::vector<std::string>& hostLog();

// The bytes of each script run, by working-file name, newest last.
std::vector<std::pair<std::string, std::string>>& scriptRuns();

// The in-memory settings file: section/key -> value.
std::map<std::string, std::string>& fakeSettings();

// Clears the log, the script runs and the settings.
void resetHostFakes();

inline constexpr const char* fakeHostName = "test-host";
