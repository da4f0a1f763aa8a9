#pragma once
// Starting outside programs: the working scripts and the three consoles.
// Nothing waits for a started program to end.

#include "text.h"

#include <string_view>

// Command lines, byte for byte.
AnsiText ipConfigCommandLine();                  // "cmd  /kipconfig"
AnsiText pingCommandLine(std::string_view host); // "cmd  /kping " + host + " -t"
AnsiText flushDnsCommandLine();                  // "cmd /cipconfig /flushdns"
// A script path in double quotes, so a folder with a space is not cut short.
AnsiText scriptCommandLine(std::string_view scriptPath);

// Starts a process from `commandLine` as given; true when it was created.
// Waits at most a second for it to become idle.
bool launchCommand(std::string_view commandLine);

// Writes `script` as the working file `name` and starts it; a file whose
// write failed is not started, so no stale or half-written script runs.
bool runWorkingScript(std::string_view name, const ByteBlock& script);

void openIpConfigConsole();
void openPingConsole(std::string_view host);
void flushDnsCache();
