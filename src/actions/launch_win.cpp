#include "actions/launch.h"

#include "settings/working_files.h"
#include "win/handle.h"

#include <windows.h>

bool launchCommand(std::string_view commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    // CreateProcessA may write into the command line: hand it a private copy.
    AnsiText writable(commandLine);
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return false;
    // Declared in this order so that the thread handle is closed first.
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    WaitForInputIdle(process.get(), 1000);
    return true;
}

bool runWorkingScript(std::string_view name, const ByteBlock& script) {
    if (!writeWorkingFile(name, script))
        return false;
    return launchCommand(scriptCommandLine(workingFilePath(name)));
}

void openIpConfigConsole() {
    launchCommand(ipConfigCommandLine());
}

void openPingConsole(std::string_view host) {
    launchCommand(pingCommandLine(host));
}

void flushDnsCache() {
    launchCommand(flushDnsCommandLine());
}
