#pragma once
// What the robustness tests share beyond the end-to-end driver: stand-in
// tools in the program folder, files that refuse writes for real (also for
// root), the program's use of system resources, and waiting for the scripts
// and consoles that a click starts.

#include "program_e2e.h"

#include <optional>
#include <string>
#include <vector>

// ---- Stand-in tools

// Copies the stand-in tool into `folder` as netsh.exe, ipconfig.exe and
// ping.exe. The command processor, whose current folder is the program
// folder, then runs these instead of the system's tools: nothing reaches a
// network, and each start is logged (see toolLog) and can be held.
void installToolProbes(const std::string& folder);
// The command lines the stand-in tools in `folder` were started with, in order.
std::vector<std::string> toolLog(const std::string& folder);
// While this lives, every stand-in tool in `folder` waits after logging.
class ToolHold {
  public:
    explicit ToolHold(std::string folder);
    ~ToolHold();
    ToolHold(const ToolHold&) = delete;
    ToolHold& operator=(const ToolHold&) = delete;
    void release();

  private:
    std::string path_;
};

// ---- Files that refuse

// Holds a file open with no sharing at all, as an editor or a virus scanner
// might: nobody else may read, write or delete it meanwhile.
class ExclusiveLock {
  public:
    explicit ExclusiveLock(const std::string& path);
    ~ExclusiveLock() { release(); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    bool held() const { return static_cast<bool>(handle_); }
    void release() { handle_.close(); }

  private:
    UniqueHandle handle_;
};

// Makes a file or folder immutable on the Linux side (chattr +i), which stops
// root too, where the read-only attribute does not; undone when destroyed.
// Declare it after the folder it protects, so it is undone before the folder
// is deleted.
class Immutable {
  public:
    explicit Immutable(std::string path);
    ~Immutable() { release(); }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    // Whether writes to the path (or, for a folder, new files in it) now fail.
    bool held() const;
    void release();

    // Running under Wine on a file system that knows the attribute.
    static bool supported();

  private:
    std::string path_;
    bool set_ = false;
};

// ---- Resources

struct ResourceUse {
    DWORD userObjects = 0;   // GetGuiResources; under Wine (a stub there): its windows
    DWORD gdiObjects = 0;    // GetGuiResources; under Wine: its GDI handle table
    DWORD handles = 0;       // GetProcessHandleCount; under Wine: the system handle list
    SIZE_T workingSet = 0;   // bytes
    SIZE_T privateBytes = 0; // PagefileUsage, bytes
    std::string sources;     // which calls gave the figures
};
ResourceUse measureResources(DWORD processId);
std::string describe(const ResourceUse& use);

// ---- The program's consoles

bool isCommandProcessor(const driver::ProcessEntry& entry);

// A program test whose folder has the stand-in tools, with helpers for the
// consoles that clicks start.
class RobustTest : public ProgramTest {
  protected:
    void SetUp() override;

    // The command processors that run the working file `name` now.
    std::vector<driver::ProcessEntry> scriptRuns(std::string_view name) const;
    // Waits until a script run from `name` shows up.
    std::optional<driver::ProcessEntry> waitForScriptRun(std::string_view name) const;
    // Waits until no script runs from `name` any more.
    bool waitForScriptsEnded(std::string_view name, DWORD timeoutMs = 30000) const;
    // Waits for a console with exactly this command line.
    std::optional<driver::ProcessEntry> waitForConsole(const std::string& commandLine) const;
    // A real click on a control of `window` (a top-level window of the
    // program), once nothing covers it: the window of a console that was
    // just ended may still lie over it for a moment.
    void clickOn(HWND window, int id);
    // Opens `kind` as ProgramTest does, with the click above.
    HWND open(const WindowKind& kind);
    // Waits until every process the program started has ended, console
    // hosts included: the window of a console host that is still closing
    // (or still opening) could catch the next click.
    void waitForOnlyTheProgram();
    // Ends a console the program started, and waits as above.
    void endConsole(DWORD id);
    // Waits until no process has joined the program's job for a second: the
    // consoles of earlier clicks start their tools a little later.
    void settle();
    // Closes a modal window with a real Esc, which is handled after any
    // click before it (a posted close request would overtake those).
    void closeWithEsc(HWND modal, const WindowKind& kind);
    // Sets the ping box to 127.0.0.1: the only target a test may ping.
    void pingOnlyLocalhost();
};
