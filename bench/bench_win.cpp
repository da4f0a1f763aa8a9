// Measures the program against floors built in the same tree and prints a
// table; nothing here passes or fails.
//   bench <ipflip.exe> [runs [table-file]]
// The floors, bench_bare_window.exe, bench_themed_window.exe (the same with
// the program's manifest and one push button) and bench_click_floor.exe, stand beside this
// program.
#include "actions/launch.h"
#include "actions/network_scripts.h"
#include "win/handle.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double nowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

struct Summary {
    double median, min, max;
};

Summary summarize(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return {median, samples.front(), samples.back()};
}

bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(1);
    }
    return true;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && IsWindowVisible(window) &&
        lstrcmpA(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND visibleWindowOf(DWORD processId, const char* className) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Ends every process started by `parentId`, and theirs, by id.
void endDescendants(DWORD parentId) {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    std::vector<DWORD> children;
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry))
        if (entry.th32ParentProcessID == parentId && entry.th32ProcessID != parentId)
            children.push_back(entry.th32ProcessID);
    for (DWORD child : children) {
        endDescendants(child);
        UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, child));
        if (process) {
            TerminateProcess(process.get(), 1);
            WaitForSingleObject(process.get(), 5000);
        }
    }
}

class Program {
  public:
    Program(const std::string& exe, const std::string& folder) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::string commandLine = "\"" + exe + "\"";
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                           nullptr, folder.c_str(), &startup, &started)) {
            process_ = UniqueHandle(started.hProcess);
            CloseHandle(started.hThread);
            id_ = started.dwProcessId;
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (!process_)
            return;
        endDescendants(id_);
        if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), 5000);
        }
    }

    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }

    void close(HWND window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(process_.get(), 10000);
    }

    double peakWorkingSetKb() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(process_.get(), &counters, sizeof counters);
        return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
    }

  private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// GetWindowText does not ask a control of another process for its text;
// the message does.
bool mainWindowReady(HWND window) {
    return window && SendMessageA(window, WM_GETTEXTLENGTH, 0, 0) > 0 &&
           SendMessageA(GetDlgItem(window, 3), WM_GETTEXTLENGTH, 0, 0) > 0;
}

std::string folderNamed(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string besideThisProgram(const char* name) {
    char path[MAX_PATH];
    const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return self.substr(0, self.rfind('\\') + 1) + name;
}

std::string copyInto(const std::string& exe, const std::string& folder) {
    const std::string target = folder + exe.substr(exe.rfind('\\'));
    CopyFileA(exe.c_str(), target.c_str(), FALSE);
    return target;
}

void row(const char* what, const Summary& program, const Summary& floor, const char* unit) {
    std::printf("| %-34s | %8.1f (%.1f-%.1f) %s | %8.1f (%.1f-%.1f) %s | %5.2fx |\n", what,
                program.median, program.min, program.max, unit, floor.median, floor.min, floor.max,
                unit, program.median / floor.median);
}

void row(const char* what, const Summary& program, const char* unit) {
    std::printf("| %-34s | %8.1f (%.1f-%.1f) %s | %-28s | %6s |\n", what, program.median,
                program.min, program.max, unit, "", "");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench <ipflip.exe> [runs [table-file]]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    // Under a virtual desktop the program has no console to print to.
    if (argc > 3 && !std::freopen(argv[3], "w", stdout))
        return 2;
    const std::string folder = folderNamed("ipflip bench");
    const std::string program = copyInto(argv[1], folder);
    const std::string bare = copyInto(besideThisProgram("bench_bare_window.exe"), folder);
    const std::string themed = copyInto(besideThisProgram("bench_themed_window.exe"), folder);

    // Start-up, side by side: to the main window visible with its title and
    // boxes filled, against a bare window becoming visible.
    std::vector<double> startProgram, startBare, startThemed, memoryProgram, memoryBare,
        memoryThemed;
    auto startFloor = [&](const std::string& floor, std::vector<double>& times,
                          std::vector<double>& memory) {
        const double start = nowMs();
        Program app(floor, folder);
        HWND window = nullptr;
        waitFor([&] { return (window = visibleWindowOf(app.id(), "BenchBareWindow")); });
        times.push_back(nowMs() - start);
        memory.push_back(app.peakWorkingSetKb());
        app.close(window);
    };
    for (int i = 0; i < runs; ++i) {
        {
            const double start = nowMs();
            Program app(program, folder);
            HWND window = nullptr;
            waitFor([&] {
                window = visibleWindowOf(app.id(), "IpflipMainWindow");
                return mainWindowReady(window);
            });
            startProgram.push_back(nowMs() - start);
            memoryProgram.push_back(app.peakWorkingSetKb());
            app.close(window);
        }
        startFloor(bare, startBare, memoryBare);
        startFloor(themed, startThemed, memoryThemed);
    }

    // A click on the DHCP button: the handler writes the script and starts
    // it, so the synchronous click is also the time it holds the GUI thread.
    // Floor: a windowless program that writes the same bytes and starts them.
    std::vector<double> clickProgram, clickFloor, roundTrip;
    {
        Program app(program, folder);
        HWND window = nullptr;
        waitFor([&] {
            window = visibleWindowOf(app.id(), "IpflipMainWindow");
            return mainWindowReady(window);
        });
        HWND dhcpButton = GetDlgItem(window, 9);
        for (int i = 0; i < runs; ++i) {
            const double start = nowMs();
            SendMessageA(dhcpButton, BM_CLICK, 0, 0);
            clickProgram.push_back(nowMs() - start);
            Sleep(300); // let that script end before the next click
        }
        endDescendants(app.id());

        // Opening and closing the static address window: 4 reads, 4 writes.
        HWND staticButton = GetDlgItem(window, 1);
        for (int i = 0; i < runs; ++i) {
            const double start = nowMs();
            PostMessageA(staticButton, BM_CLICK, 0, 0);
            HWND dialog = nullptr;
            waitFor(
                [&] { return (dialog = visibleWindowOf(app.id(), "IpflipStaticAddressWindow")); });
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            waitFor([&] { return !IsWindow(dialog) && IsWindowEnabled(window); });
            roundTrip.push_back(nowMs() - start);
        }
        app.close(window);
    }
    {
        const std::string floorExe = besideThisProgram("bench_click_floor.exe");
        const std::string timesFile = folder + "\\floor-times.txt";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::string commandLine = "\"" + floorExe + "\" \"" + folder + "\" " +
                                  std::to_string(runs) + " \"" + timesFile + "\"";
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                           nullptr, folder.c_str(), &startup, &started)) {
            WaitForSingleObject(started.hProcess, 120000);
            endDescendants(started.dwProcessId);
            CloseHandle(started.hThread);
            CloseHandle(started.hProcess);
        }
        if (FILE* times = std::fopen(timesFile.c_str(), "r")) {
            for (double ms; std::fscanf(times, "%lf", &ms) == 1;)
                clickFloor.push_back(ms);
            std::fclose(times);
        }
        if (clickFloor.empty())
            clickFloor.push_back(0);
    }

    const std::string heading = "median (min-max) of " + std::to_string(runs) + " runs";
    std::printf("| %-34s | %-28s | %-28s | %6s |\n", heading.c_str(), "ipflip", "floor", "ratio");
    std::printf("|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(30, '-').c_str(),
                std::string(30, '-').c_str(), std::string(8, '-').c_str());
    row("start-up to filled main window", summarize(startProgram), summarize(startBare), "ms");
    row("  against it + manifest + a button", summarize(startProgram), summarize(startThemed),
        "ms");
    row("click: script written + started", summarize(clickProgram), summarize(clickFloor), "ms");
    row("static window open + close", summarize(roundTrip), "ms");
    row("peak working set after start-up", summarize(memoryProgram), summarize(memoryBare), "KB");
    row("  against it + manifest + a button", summarize(memoryProgram), summarize(memoryThemed),
        "KB");
    return 0;
}
