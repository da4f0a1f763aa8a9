#pragma once
// Drives a Windows program from outside, as a user would: starts it in a
// folder of its own, finds its windows and controls, presses real keys and
// clicks with the mouse, watches the processes it starts and ends every one
// of them, by id, when the test is over.

#include "win/handle.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace driver {

// Long enough for a Wine process start on a busy machine.
inline constexpr DWORD defaultTimeoutMs = 20000;

// ---- Processes

struct ProcessEntry {
    DWORD id = 0;
    DWORD parentId = 0;
    std::string exeName;     // as the process list gives it, e.g. "cmd.exe"
    std::string commandLine; // in the ANSI code page; empty when it cannot be read
};

// What a top-level window of the program looked like at the moment it was
// first shown (before it became visible): recorded inside the program.
struct FirstShow {
    std::string className;
    std::string title;
    std::map<int, std::string> editTexts; // control ID -> text of each edit box
};

struct StartOptions {
    // Record every top-level window at its first showing (see firstShows()).
    bool recordFirstShows = false;
};

// A program started detached from the test's console, so that the console
// programs it starts get consoles of their own, as they do on Windows. When
// the object goes away, every process the program started (at any depth) is
// ended by its id, and then the program itself if it still runs: also when
// an assertion has failed. The program runs in a job object of its own,
// which every process it starts joins: so a console whose parent has ended,
// and which the process tree therefore no longer leads to, is found and
// ended too, and the job ends whatever is left should the test itself die.
class RunningProgram {
  public:
    // Starts `exePath` with its own folder as current directory. Check
    // started() before use.
    explicit RunningProgram(const std::string& exePath, const StartOptions& options = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }
    bool running() const;

    // A top-level window of this program with the class `className`, once it
    // is visible; nullptr when none showed up in time.
    HWND waitForWindow(std::string_view className, DWORD timeoutMs = defaultTimeoutMs) const;
    // A top-level window of this program with that class now, visible or not.
    HWND findWindow(std::string_view className) const;
    // Waits until no window of this program with that class is left.
    bool waitForWindowGone(std::string_view className, DWORD timeoutMs = defaultTimeoutMs) const;

    // The exit code, once the program has ended; nothing if it is still
    // running after the time-out.
    std::optional<DWORD> waitForExit(DWORD timeoutMs = defaultTimeoutMs) const;

    // The processes this program started, directly or through others, that
    // run now.
    std::vector<ProcessEntry> descendants() const;
    // Waits for a descendant for which `wanted` holds, polling the process
    // list so that short-lived ones are caught too.
    std::optional<ProcessEntry>
    waitForDescendant(const std::function<bool(const ProcessEntry&)>& wanted,
                      DWORD timeoutMs = defaultTimeoutMs) const;
    // Ends every descendant, by id; the program itself goes on.
    void endDescendants() const;
    // How many processes have joined the program's job so far, the program
    // included: also those that have ended already, however short they ran.
    DWORD processesStarted() const;
    // How many processes of the program's job run now, the program included:
    // also those the process tree no longer leads to, such as the console
    // host of a console that has been ended.
    DWORD processesRunning() const;

    // The windows recorded at their first showing, in order (needs
    // StartOptions::recordFirstShows).
    std::vector<FirstShow> firstShows() const;

  private:
    // Every process in the job but the program, whatever its parent.
    std::vector<DWORD> jobMembers() const;

    UniqueHandle job_;
    UniqueHandle process_;
    DWORD id_ = 0;
    ULONGLONG creationTime_ = 0;
    HMODULE hookModule_ = nullptr;
    HHOOK hook_ = nullptr;
    std::string showLogPath_;
};

// Ends the process `id` and waits until it is gone.
void endProcess(DWORD id);

// ---- Windows and controls (any process)

std::string className(HWND window);
// The text of a window or control of another process (WM_GETTEXT).
std::string windowText(HWND window);
// Replaces a control's text (WM_SETTEXT), as a paste into the whole box would.
void setWindowText(HWND window, std::string_view text);
LONG_PTR windowStyle(HWND window);

// The control with this ID among all descendants of `window`, nested ones
// included; nullptr when there is none.
HWND controlById(HWND window, int id);
// Every descendant control of `window`, depth first.
std::vector<HWND> allControls(HWND window);

// A control's rectangle in the client coordinates of its top-level window.
RECT rectInTopClient(HWND control);
// A window's outer rectangle on the screen.
RECT outerRect(HWND window);

// The window or control that has the keyboard focus in `window`'s thread.
HWND focusOf(HWND window);
// Waits until the focus in `window`'s thread is on `expected`.
bool waitForFocus(HWND window, HWND expected, DWORD timeoutMs = 5000);

// ---- Real input

// Makes `window` the foreground window and waits until it is.
bool bringToFront(HWND window);

enum class Key { Tab, ShiftTab, Esc, Enter, Space, Delete, AltF4 };
// Brings `window` to the front and presses the key there through SendInput.
void press(HWND window, Key key);
// Brings `window` to the front and types `text` (printable ASCII) into
// whatever has the focus there, one key press per character.
void type(HWND window, std::string_view text);

// A real left click (SendInput) at the centre of `control`, wherever the
// foreground is.
void click(HWND control);
// A posted button click, for a button whose click opens a modal window: the
// call returns at once.
void postClick(HWND button);
// Asks a window to close, as its close box does.
void postClose(HWND window);

// ---- Screenshots

// The screen's pixels inside `area` (screen coordinates), as the user sees them.
class Screenshot {
  public:
    explicit Screenshot(const RECT& area);
    int width() const { return width_; }
    int height() const { return height_; }
    // The colour at a point given in coordinates relative to the area.
    COLORREF pixel(int x, int y) const;
    // Writes a 24-bit BMP file; false when it cannot be written.
    bool saveBmp(const std::string& path) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_; // top-down rows of 0x00RRGGBB
};

} // namespace driver
