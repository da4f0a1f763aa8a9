#include "driver_win.h"

#include "win_test_support.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <set>

namespace driver {

namespace {

// A window of another process that does not answer within this time is
// taken to hang.
constexpr UINT messageTimeoutMs = 5000;

ULONGLONG toTicks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The creation time of a running process; 0 when it cannot be read.
ULONGLONG creationTimeOf(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return toTicks(created);
}

std::string wideToAnsi(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size,
                        nullptr, nullptr);
    return ansi;
}

// Reads the command line out of the process's own parameter block.
std::string commandLineOf(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                  nullptr) != 0 ||
        !basic.PebBaseAddress)
        return {};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr))
        return {};
    std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!line.empty() && !ReadProcessMemory(process, parameters.CommandLine.Buffer, line.data(),
                                            parameters.CommandLine.Length, nullptr))
        return {};
    return wideToAnsi(line);
}

struct ListedProcess {
    DWORD id;
    DWORD parentId;
    std::string exeName;
};

std::vector<ListedProcess> processList() {
    std::vector<ListedProcess> list;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return list;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry))
        list.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    return list;
}

// The running descendants of `rootId`, parents before children. A process
// that claims a dead parent's id but was created before the root cannot be
// its descendant (ids are reused) and is left out.
std::vector<ProcessEntry> descendantsOf(DWORD rootId, ULONGLONG rootCreationTime) {
    const std::vector<ListedProcess> list = processList();
    std::vector<ProcessEntry> found;
    std::vector<DWORD> parents{rootId};
    std::set<DWORD> seen{rootId};
    while (!parents.empty()) {
        const DWORD parent = parents.back();
        parents.pop_back();
        for (const ListedProcess& candidate : list) {
            if (candidate.parentId != parent || seen.count(candidate.id))
                continue;
            UniqueHandle handle(
                OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, candidate.id));
            if (!handle || creationTimeOf(handle.get()) < rootCreationTime)
                continue;
            seen.insert(candidate.id);
            found.push_back(
                {candidate.id, candidate.parentId, candidate.exeName, commandLineOf(handle.get())});
            parents.push_back(candidate.id);
        }
    }
    return found;
}

std::vector<char> environmentWith(const std::string& extra) {
    std::vector<char> block;
    if (char* current = GetEnvironmentStringsA()) {
        char* end = current;
        while (*end)
            end += std::string_view(end).size() + 1;
        block.assign(current, end);
        FreeEnvironmentStringsA(current);
    }
    block.insert(block.end(), extra.begin(), extra.end());
    block.push_back('\0');
    block.push_back('\0');
    return block;
}

struct WindowSearch {
    DWORD processId;
    std::string_view className;
    HWND found;
};

BOOL CALLBACK matchTopWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && className(window) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectControl(HWND control, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(control);
    return TRUE;
}

POINT centreOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void sendInputs(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT keyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// A mouse event at a point of the screen. Every event carries the point, so
// that none is taken where the pointer was before.
INPUT mouseInput(POINT at, DWORD buttonFlags) {
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Normalised to 0..65535, rounded up so that scaling back lands on the pixel.
    input.mi.dx = (at.x * 65536 + width - 1) / width;
    input.mi.dy = (at.y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
    return input;
}

} // namespace

// ---- RunningProgram

RunningProgram::RunningProgram(const std::string& exePath, const StartOptions& options) {
    const std::string folder = exePath.substr(0, exePath.rfind('\\'));
    std::vector<char> environment;
    if (options.recordFirstShows) {
        showLogPath_ = folder + ".shown.txt";
        DeleteFileA(showLogPath_.c_str());
        environment = environmentWith("IPFLIP_E2E_SHOW_LOG=" + showLogPath_);
    }
    job_ = UniqueHandle(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job_ || !SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits,
                                          sizeof limits))
        return;
    std::string commandLine = quoted(exePath);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // Suspended, so that the show hook is in place before the first window.
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | CREATE_SUSPENDED,
                        environment.empty() ? nullptr : environment.data(), folder.c_str(),
                        &startup, &started))
        return;
    process_ = UniqueHandle(started.hProcess);
    UniqueHandle thread(started.hThread);
    id_ = started.dwProcessId;
    creationTime_ = creationTimeOf(process_.get());
    if (!AssignProcessToJobObject(job_.get(), process_.get())) {
        TerminateProcess(process_.get(), 1);
        process_.close();
        return;
    }
    if (options.recordFirstShows) {
        hookModule_ = LoadLibraryA((testProgramDirectory() + "\\show_hook.dll").c_str());
        // GetProcAddress gives a generic function pointer; go through void*.
        auto hookProc = hookModule_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                          GetProcAddress(hookModule_, "recordFirstShow")))
                                    : nullptr;
        if (hookProc)
            hook_ = SetWindowsHookExA(WH_CALLWNDPROC, hookProc, hookModule_, started.dwThreadId);
        if (!hook_) {
            TerminateProcess(process_.get(), 1);
            process_.close();
            return;
        }
    }
    ResumeThread(thread.get());
}

RunningProgram::~RunningProgram() {
    if (process_) {
        endDescendants();
        for (DWORD member : jobMembers())
            endProcess(member);
        if (running()) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (hookModule_)
        FreeLibrary(hookModule_);
    if (!showLogPath_.empty())
        DeleteFileA(showLogPath_.c_str());
}

std::vector<DWORD> RunningProgram::jobMembers() const {
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR room[255]; // the list's array runs on into this
    } members{};
    if (!QueryInformationJobObject(job_.get(), JobObjectBasicProcessIdList, &members,
                                   sizeof members, nullptr))
        return {};
    std::vector<DWORD> ids;
    for (DWORD i = 0; i < members.list.NumberOfProcessIdsInList; ++i)
        if (members.list.ProcessIdList[i] != id_)
            ids.push_back(static_cast<DWORD>(members.list.ProcessIdList[i]));
    return ids;
}

namespace {

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accountingOf(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                              sizeof accounting, nullptr);
    return accounting;
}

} // namespace

DWORD RunningProgram::processesStarted() const {
    return accountingOf(job_.get()).TotalProcesses;
}

DWORD RunningProgram::processesRunning() const {
    return accountingOf(job_.get()).ActiveProcesses;
}

bool RunningProgram::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

HWND RunningProgram::findWindow(std::string_view className) const {
    WindowSearch search{id_, className, nullptr};
    EnumWindows(matchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningProgram::waitForWindow(std::string_view className, DWORD timeoutMs) const {
    HWND window = nullptr;
    waitUntil(
        [&] {
            window = findWindow(className);
            return window && IsWindowVisible(window);
        },
        timeoutMs);
    return window && IsWindowVisible(window) ? window : nullptr;
}

bool RunningProgram::waitForWindowGone(std::string_view className, DWORD timeoutMs) const {
    return waitUntil([&] { return findWindow(className) == nullptr; }, timeoutMs);
}

std::optional<DWORD> RunningProgram::waitForExit(DWORD timeoutMs) const {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::vector<ProcessEntry> RunningProgram::descendants() const {
    if (!process_)
        return {};
    return descendantsOf(id_, creationTime_);
}

std::optional<ProcessEntry>
RunningProgram::waitForDescendant(const std::function<bool(const ProcessEntry&)>& wanted,
                                  DWORD timeoutMs) const {
    std::optional<ProcessEntry> match;
    waitUntil(
        [&] {
            for (const ProcessEntry& entry : descendants()) {
                if (wanted(entry)) {
                    match = entry;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return match;
}

void RunningProgram::endDescendants() const {
    // A process may start another one while its siblings are being ended:
    // look again until none is left.
    for (int round = 0; round < 10; ++round) {
        const std::vector<ProcessEntry> left = descendants();
        if (left.empty())
            return;
        for (const ProcessEntry& entry : left)
            endProcess(entry.id);
    }
}

std::vector<FirstShow> RunningProgram::firstShows() const {
    std::vector<FirstShow> shows;
    if (showLogPath_.empty() || !fileExists(showLogPath_))
        return shows;
    // One line per window: class, title, then "ID=text" per edit box, all
    // separated by tabs.
    const std::string log = readFile(showLogPath_);
    size_t lineStart = 0;
    while (lineStart < log.size()) {
        size_t lineEnd = log.find("\r\n", lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = log.size();
        std::vector<std::string> fields;
        size_t fieldStart = lineStart;
        for (;;) {
            const size_t tab = log.find('\t', fieldStart);
            if (tab == std::string::npos || tab > lineEnd) {
                fields.push_back(log.substr(fieldStart, lineEnd - fieldStart));
                break;
            }
            fields.push_back(log.substr(fieldStart, tab - fieldStart));
            fieldStart = tab + 1;
        }
        FirstShow show;
        show.className = fields[0];
        if (fields.size() > 1)
            show.title = fields[1];
        for (size_t i = 2; i < fields.size(); ++i) {
            const size_t equals = fields[i].find('=');
            if (equals != std::string::npos)
                show.editTexts[std::stoi(fields[i].substr(0, equals))] =
                    fields[i].substr(equals + 1);
        }
        shows.push_back(show);
        lineStart = lineEnd + 2;
    }
    return shows;
}

void endProcess(DWORD id) {
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (!process)
        return;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
}

// ---- Windows and controls

std::string className(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, messageTimeoutMs,
                             &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, messageTimeoutMs, &copied))
        return {};
    text.resize(std::min<size_t>(copied, length));
    return text;
}

void setWindowText(HWND window, std::string_view text) {
    const std::string terminated(text);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()),
                        SMTO_ABORTIFHUNG, messageTimeoutMs, &result);
}

LONG_PTR windowStyle(HWND window) {
    return GetWindowLongPtrA(window, GWL_STYLE);
}

std::vector<HWND> allControls(HWND window) {
    std::vector<HWND> controls;
    EnumChildWindows(window, collectControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

HWND controlById(HWND window, int id) {
    for (HWND control : allControls(window))
        if (GetDlgCtrlID(control) == id)
            return control;
    return nullptr;
}

RECT rectInTopClient(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&rect),
                    2);
    return rect;
}

RECT outerRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool waitForFocus(HWND window, HWND expected, DWORD timeoutMs) {
    return waitUntil([&] { return focusOf(window) == expected; }, timeoutMs);
}

// ---- Real input

bool bringToFront(HWND window) {
    if (GetForegroundWindow() == window)
        return true;
    SetForegroundWindow(window);
    return waitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}

void press(HWND window, Key key) {
    bringToFront(window);
    std::vector<WORD> held; // modifiers, pressed first and released last
    WORD code = VK_SPACE;
    switch (key) {
    case Key::Tab:
        code = VK_TAB;
        break;
    case Key::ShiftTab:
        held.push_back(VK_SHIFT);
        code = VK_TAB;
        break;
    case Key::Esc:
        code = VK_ESCAPE;
        break;
    case Key::Enter:
        code = VK_RETURN;
        break;
    case Key::Space:
        code = VK_SPACE;
        break;
    case Key::Delete:
        code = VK_DELETE;
        break;
    case Key::AltF4:
        held.push_back(VK_MENU);
        code = VK_F4;
        break;
    }
    std::vector<INPUT> inputs;
    for (WORD modifier : held)
        inputs.push_back(keyInput(modifier, false));
    inputs.push_back(keyInput(code, false));
    inputs.push_back(keyInput(code, true));
    for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier)
        inputs.push_back(keyInput(*modifier, true));
    sendInputs(inputs);
}

void type(HWND window, std::string_view text) {
    bringToFront(window);
    std::vector<INPUT> inputs;
    for (char character : text) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = static_cast<unsigned char>(character);
        input.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(input);
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    sendInputs(inputs);
}

void click(HWND control) {
    const POINT target = centreOf(control);
    sendInputs({mouseInput(target, 0), mouseInput(target, MOUSEEVENTF_LEFTDOWN),
                mouseInput(target, MOUSEEVENTF_LEFTUP)});
}

void postClick(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void postClose(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// ---- Screenshots

Screenshot::Screenshot(const RECT& area)
    : width_(area.right - area.left), height_(area.bottom - area.top),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_)) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    std::copy(source, source + pixels_.size(), pixels_.begin());
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF Screenshot::pixel(int x, int y) const {
    const std::uint32_t value = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

bool Screenshot::saveBmp(const std::string& path) const {
    const int rowBytes = (width_ * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width_;
    header.biHeight = height_; // bottom-up, the usual way
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rowBytes * height_);
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    std::string row(static_cast<size_t>(rowBytes), '\0');
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const COLORREF colour = pixel(x, y);
            row[x * 3] = static_cast<char>(GetBValue(colour));
            row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
            row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
        }
        bytes += row;
    }
    UniqueHandle out(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return out &&
           WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

} // namespace driver
