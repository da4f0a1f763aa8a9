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

// Starts the system's own command processor with `commandLine` as given,
// which names it "cmd". The processor is started by its full path: left to
// the search, a "cmd.exe" in the program's folder (also the current
// directory) would be run in its place. True when it was created.
bool launchCommandProcessor(std::string_view commandLine);

// Writes `script` as the working file `name` and starts it, returning at
// once. The command processor reads a batch file piece by piece while it runs
// it, so the file is never rewritten under a script started from it that
// still runs: the same bytes start again at once, other bytes wait until every
// script started from the file has ended and then start, in the order asked
// for. True when the script was started or waits its turn. A file whose write
// failed is not started, so no stale or half-written script runs.
// Called from one thread, the GUI thread.
bool runWorkingScript(std::string_view name, const ByteBlock& script);

// How long the teardown waits at most for runs that wait their turn, in
// milliseconds. (Not <chrono>: it does not compile with code page 936 as the
// execution character set.)
inline constexpr unsigned long scriptRunsExitWaitMs = 60000;

// The main window's teardown, in place of removeWorkingFiles: waits until the
// runs that wait their turn have started, for at most `boundMs`, and gives up
// those that still wait then; then deletes each working file that no script
// started from it still runs from (deleting it would cut that script short),
// leaving such a file for a later run's teardown, as a killed run does.
void finishScriptRuns(unsigned long boundMs = scriptRunsExitWaitMs);

void openIpConfigConsole();
void openPingConsole(std::string_view host);
void flushDnsCache();
