#include "robust_support.h"

#include <psapi.h>
#include <winternl.h>

#include <utility>

using namespace driver;

// ---- Stand-in tools

void installToolProbes(const std::string& folder) {
    for (const char* tool : {"netsh.exe", "ipconfig.exe", "ping.exe"})
        copyFileTo(testProgramDirectory() + "\\tool_probe.exe", folder + "\\" + tool);
}

std::vector<std::string> toolLog(const std::string& folder) {
    const std::string path = folder + "\\tools.log";
    std::vector<std::string> lines;
    if (!fileExists(path))
        return lines;
    const std::string log = readFile(path);
    for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(log.substr(start, end - start));
    return lines;
}

ToolHold::ToolHold(std::string folder) : path_(std::move(folder) + "\\hold") {
    writeFile(path_, "");
}

ToolHold::~ToolHold() {
    release();
}

void ToolHold::release() {
    DeleteFileA(path_.c_str());
}

// ---- Files that refuse

ExclusiveLock::ExclusiveLock(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}

namespace {

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Wine's own conversion of a Windows path into the Linux one (UTF-8); empty
// when not under Wine.
std::string linuxPath(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return {};
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.c_str(),
                                                        static_cast<int>(path.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
    char* converted = convert(wide.c_str());
    if (!converted)
        return {};
    std::string result(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return result;
}

constexpr char chattrPath[] = "/usr/bin/chattr";

// Starts Linux's chattr (Wine starts Linux programs too). Wine gives no
// handle to wait on for a Linux program, so callers wait for the effect.
void chattr(const char* change, const std::string& path) {
    const std::string target = linuxPath(path);
    if (target.empty())
        return;
    const std::string line = std::string(chattrPath) + " " + change + " \"" + target + "\"";
    std::wstring wide(line.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, line.c_str(),
                                                        static_cast<int>(line.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return;
    UniqueHandle process(started.hProcess), thread(started.hThread);
}

} // namespace

Immutable::Immutable(std::string path) : path_(std::move(path)) {
    chattr("+i", path_);
    set_ = true;
    waitUntil([this] { return held(); }, 10000);
}

bool Immutable::held() const {
    if (isFolder(path_)) {
        const std::string probe = path_ + "\\immutable probe";
        UniqueHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return true;
        file.close();
        DeleteFileA(probe.c_str());
        return false;
    }
    UniqueHandle file(CreateFileA(path_.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    return !file;
}

void Immutable::release() {
    if (std::exchange(set_, false)) {
        chattr("-i", path_);
        waitUntil([this] { return !held(); }, 10000);
    }
}

bool Immutable::supported() {
    return !linuxPath("C:\\").empty() && fileExists(std::string("Z:") + chattrPath);
}

// ---- Resources

namespace {

struct WindowCount {
    DWORD processId;
    DWORD count;
};

BOOL CALLBACK countChild(HWND, LPARAM context) {
    ++reinterpret_cast<WindowCount*>(context)->count;
    return TRUE;
}

void countWindowAndChildren(HWND window, WindowCount& count) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != count.processId)
        return;
    ++count.count;
    EnumChildWindows(window, countChild, reinterpret_cast<LPARAM>(&count));
}

BOOL CALLBACK countTopWindow(HWND window, LPARAM context) {
    countWindowAndChildren(window, *reinterpret_cast<WindowCount*>(context));
    return TRUE;
}

// Every window of the process: top-level ones (shown or not), message-only
// ones, and all their children.
DWORD windowsOf(DWORD processId) {
    WindowCount count{processId, 0};
    EnumWindows(countTopWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND window = nullptr;
         (window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr;)
        countWindowAndChildren(window, count);
    return count.count;
}

// The used entries of the process's GDI handle table, which Wine keeps in the
// process's own memory and names in its PEB, as Windows once did.
DWORD gdiTableEntries(HANDLE process) {
#ifdef _WIN64
    constexpr size_t tableFieldOffset = 0xF8; // PEB.GdiSharedHandleTable
    struct Entry {
        ULONGLONG object;
        ULONG owner;
        USHORT unique;
        UCHAR type; // 0: free
        UCHAR flags;
        ULONGLONG user;
    };
    static_assert(sizeof(Entry) == 24);
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                  nullptr) != 0)
        return 0;
    void* table = nullptr;
    if (!ReadProcessMemory(process,
                           reinterpret_cast<char*>(basic.PebBaseAddress) + tableFieldOffset, &table,
                           sizeof table, nullptr) ||
        !table)
        return 0;
    std::vector<Entry> entries(0x10000);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(Entry), nullptr))
        return 0;
    DWORD used = 0;
    for (const Entry& entry : entries)
        used += entry.type != 0;
    return used;
#else
    (void)process;
    return 0;
#endif
}

// The handles that the process holds, from the system's list of all handles.
DWORD handlesInSystemList(DWORD processId) {
    struct Entry {
        ULONG ownerId;
        BYTE type;
        BYTE flags;
        USHORT value;
        void* object;
        ACCESS_MASK access;
    };
    constexpr auto systemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            systemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0)
            break;
        if (buffer.size() >= (1u << 28))
            return 0;
        buffer.resize(buffer.size() * 2);
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    DWORD held = 0;
    for (ULONG i = 0; i < count; ++i)
        held += entries[i].ownerId == processId;
    return held;
}

} // namespace

ResourceUse measureResources(DWORD processId) {
    ResourceUse use;
    // GetGuiResources and GetProcessHandleCount need exactly this access.
    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return use;
    SetLastError(0);
    use.userObjects = GetGuiResources(process.get(), GR_USEROBJECTS);
    if (use.userObjects == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        use.userObjects = windowsOf(processId);
        use.gdiObjects = gdiTableEntries(process.get());
        use.sources = "USER: windows counted, GDI: handle table read (GetGuiResources is a stub); ";
    } else {
        use.gdiObjects = GetGuiResources(process.get(), GR_GDIOBJECTS);
        use.sources = "USER and GDI: GetGuiResources; ";
    }
    if (!GetProcessHandleCount(process.get(), &use.handles) || use.handles == 0) {
        use.handles = handlesInSystemList(processId);
        use.sources += "handles: system handle list (GetProcessHandleCount gives 0); ";
    } else {
        use.sources += "handles: GetProcessHandleCount; ";
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.get(), &memory, sizeof memory)) {
        use.workingSet = memory.WorkingSetSize;
        use.privateBytes = memory.PagefileUsage;
    }
    use.sources += "memory: GetProcessMemoryInfo";
    return use;
}

std::string describe(const ResourceUse& use) {
    return "USER " + std::to_string(use.userObjects) + ", GDI " + std::to_string(use.gdiObjects) +
           ", handles " + std::to_string(use.handles) + ", working set " +
           std::to_string(use.workingSet / 1024) + " KiB, private " +
           std::to_string(use.privateBytes / 1024) + " KiB";
}

// ---- The program's consoles

bool isCommandProcessor(const ProcessEntry& entry) {
    return lstrcmpiA(entry.exeName.c_str(), "cmd.exe") == 0;
}

void RobustTest::SetUp() {
    ProgramTest::SetUp();
    installToolProbes(folder.path());
}

std::vector<ProcessEntry> RobustTest::scriptRuns(std::string_view name) const {
    const std::string path = inFolder(name);
    std::vector<ProcessEntry> runs;
    for (const ProcessEntry& entry : program->descendants())
        if (isCommandProcessor(entry) && entry.commandLine.find(path) != std::string::npos)
            runs.push_back(entry);
    return runs;
}

std::optional<ProcessEntry> RobustTest::waitForScriptRun(std::string_view name) const {
    const std::string path = inFolder(name);
    return program->waitForDescendant([&](const ProcessEntry& entry) {
        return isCommandProcessor(entry) && entry.commandLine.find(path) != std::string::npos;
    });
}

bool RobustTest::waitForScriptsEnded(std::string_view name, DWORD timeoutMs) const {
    return waitUntil([&] { return scriptRuns(name).empty(); }, timeoutMs);
}

std::optional<ProcessEntry> RobustTest::waitForConsole(const std::string& commandLine) const {
    return program->waitForDescendant(
        [&](const ProcessEntry& entry) { return entry.commandLine == commandLine; });
}

void RobustTest::clickOn(HWND window, int id) {
    HWND control = controlById(window, id);
    ASSERT_TRUE(control) << "no control " << id;
    bringToFront(window);
    RECT rect;
    GetWindowRect(control, &rect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    EXPECT_TRUE(waitUntil([&] { return WindowFromPoint(centre) == control; }, 5000))
        << "control " << id << " stays covered by \"" << className(WindowFromPoint(centre)) << "\"";
    click(control);
}

HWND RobustTest::open(const WindowKind& kind) {
    if (!kind.opener)
        return main;
    clickOn(main, kind.opener);
    HWND window = program->waitForWindow(kind.className);
    EXPECT_TRUE(window) << "the " << kind.name << " window did not open";
    // It is shown first and then holds the main window off.
    EXPECT_TRUE(waitUntil([&] { return !IsWindowEnabled(main); }, 5000))
        << "the main window stays enabled";
    return window;
}

void RobustTest::waitForOnlyTheProgram() {
    ASSERT_TRUE(waitUntil([&] { return program->processesRunning() <= 1; }))
        << program->processesRunning() - 1 << " processes of the program still run";
}

void RobustTest::endConsole(DWORD id) {
    endProcess(id);
    waitForOnlyTheProgram();
}

void RobustTest::settle() {
    DWORD seen = program->processesStarted();
    ULONGLONG quietSince = GetTickCount64();
    waitUntil([&] {
        const DWORD now = program->processesStarted();
        if (now != seen) {
            seen = now;
            quietSince = GetTickCount64();
        }
        return GetTickCount64() - quietSince >= 1000;
    });
}

void RobustTest::closeWithEsc(HWND modal, const WindowKind& kind) {
    press(modal, Key::Esc);
    ASSERT_TRUE(program->waitForWindowGone(kind.className));
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
}

void RobustTest::pingOnlyLocalhost() {
    setWindowText(controlById(main, mainIds::pingTarget), "127.0.0.1");
}
