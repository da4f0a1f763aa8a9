#include "host_fakes.h"

#include "actions/launch.h"
#include "settings/settings_file.h"
#include "ui/host_name.h"
#include "ui/window_template.h"

std::vector<std::string>& hostLog() {
    static std::vector<std::string> log;
    return log;
}

std::vector<std::pair<std::string, std::string>>& scriptRuns() {
    static std::vector<std::pair<std::string, std::string>> runs;
    return runs;
}

std::map<std::string, std::string>& fakeSettings() {
    static std::map<std::string, std::string> settings;
    return settings;
}

void resetHostFakes() {
    hostLog().clear();
    scriptRuns().clear();
    fakeSettings().clear();
}

bool runWorkingScript(std::string_view name, const ByteBlock& script) {
    hostLog().push_back("run " + std::string(name));
    scriptRuns().emplace_back(std::string(name), std::string(script.begin(), script.end()));
    return true;
}

void openIpConfigConsole() {
    hostLog().push_back("launch " + ipConfigCommandLine());
}
void openPingConsole(std::string_view host) {
    hostLog().push_back("launch " + pingCommandLine(host));
}
void flushDnsCache() {
    hostLog().push_back("launch " + flushDnsCommandLine());
}

void finishScriptRuns(unsigned long) {
    hostLog().push_back("finish script runs");
}

AnsiText readSetting(std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
    const std::string entry = concatText({section, "/", key});
    hostLog().push_back("read " + entry);
    const auto found = fakeSettings().find(entry);
    return found == fakeSettings().end() ? AnsiText(defaultValue) : found->second;
}

bool writeSetting(std::string_view section, std::string_view key, std::string_view value) {
    const std::string entry = concatText({section, "/", key});
    hostLog().push_back(concatText({"write ", entry, "=", value}));
    fakeSettings()[entry] = value;
    return true;
}

AnsiText localHostName() {
    hostLog().push_back("host name");
    return fakeHostName;
}

bool openModalWindow(const WindowTemplate& window) {
    hostLog().push_back(concatText({"open ", window.className}));
    return true;
}
