#include "actions/launch.h"

#include "actions/script_run_order.h"
#include "settings/working_files.h"
#include "win/handle.h"
#include "win/lock.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

using Step = ScriptRunOrder::Step;

// Starts `commandLine` as given, running `program` (a full path) or, when
// that is null, the program the command line names; the new process, or no
// handle when it could not be created. Waits at most a second for it to
// become idle.
UniqueHandle startProcess(const char* program, std::string_view commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    // CreateProcessA may write into the command line: hand it a private copy.
    AnsiText writable(commandLine);
    if (!CreateProcessA(program, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return {};
    // Declared in this order so that the thread handle is closed first.
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    WaitForInputIdle(process.get(), 1000);
    return process;
}

UniqueHandle startWorkingScript(std::string_view name) {
    return startProcess(nullptr, scriptCommandLine(workingFilePath(name)));
}

// The full path of the system's command processor; empty when the system
// folder cannot be had.
AnsiText systemCommandProcessor() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return concatText({std::string_view(folder, length), "\\cmd.exe"});
}

bool hasEnded(const UniqueHandle& process) {
    return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

void forgetEnded(std::vector<UniqueHandle>& processes) {
    std::erase_if(processes, hasEnded);
}

// The runs of one working file.
struct ScriptFile {
    ScriptFile(std::string_view fileName, HANDLE stopEvent) : name(fileName), stop(stopEvent) {}

    const std::string name;
    const HANDLE stop; // set when the runs still waiting are given up

    Mutex mutex;
    // Both guarded by `mutex`. While the order is watching, only the watcher
    // changes `running`, so it may wait on those handles without the lock.
    ScriptRunOrder order;
    std::vector<UniqueHandle> running; // scripts started from the file, some maybe ended

    // The thread that starts the waiting runs; touched by the asking thread only.
    UniqueHandle watcher;
};

// The watcher of one file: waits until every script started from the file has
// ended, then starts the waiting runs that may start, and so on until no run
// waits any more or the runs are given up.
DWORD WINAPI watchScriptFile(void* parameter) {
    ScriptFile& file = *static_cast<ScriptFile*>(parameter);
    std::unique_lock lock(file.mutex);
    for (;;) {
        std::vector<HANDLE> processes;
        for (const UniqueHandle& process : file.running)
            processes.push_back(process.get());
        lock.unlock();
        for (HANDLE process : processes) {
            const HANDLE events[] = {process, file.stop};
            if (WaitForMultipleObjects(file.stop ? 2 : 1, events, FALSE, INFINITE) ==
                WAIT_OBJECT_0 + 1)
                return 0;
        }
        lock.lock();
        file.running.clear();
        for (;;) {
            ByteBlock script;
            const Step step = file.order.next(!file.running.empty(), script);
            if (step == Step::done)
                return 0;
            if (step == Step::wait)
                break;
            if (file.stop && WaitForSingleObject(file.stop, 0) == WAIT_OBJECT_0)
                return 0;
            // New runs queue meanwhile: the order is still watching.
            lock.unlock();
            const bool rewrite = step == Step::write;
            const bool written = !rewrite || writeWorkingFile(file.name, script);
            UniqueHandle process = written ? startWorkingScript(file.name) : UniqueHandle();
            lock.lock();
            if (rewrite)
                file.order.written(script, written);
            if (process)
                file.running.push_back(std::move(process));
        }
    }
}

// Every working file's runs, for the life of the process.
class ScriptRuns {
  public:
    ScriptRuns() : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~ScriptRuns() { stopWatchers(); }
    ScriptRuns(const ScriptRuns&) = delete;
    ScriptRuns& operator=(const ScriptRuns&) = delete;

    bool run(std::string_view name, const ByteBlock& script) {
        ScriptFile& file = fileNamed(name);
        std::unique_lock lock(file.mutex);
        if (!file.order.watching())
            forgetEnded(file.running);
        switch (file.order.ask(script, !file.running.empty())) {
        case Step::watch:
            return startWatcher(file);
        case Step::queue:
            return true;
        case Step::write: {
            const bool written = writeWorkingFile(name, script);
            file.order.written(script, written);
            if (!written)
                return false;
            break;
        }
        case Step::startAgain:
            break;
        case Step::wait:
        case Step::done:
            return false;
        }
        UniqueHandle process = startWorkingScript(name);
        if (!process)
            return false;
        file.running.push_back(std::move(process));
        return true;
    }

    // The windows are gone by now, so waiting holds up nobody. A run counts
    // as kept once it has started: its script then runs on by itself.
    void finish(unsigned long boundMs) {
        const ULONGLONG deadline = GetTickCount64() + boundMs;
        for (auto& [name, file] : files_) {
            if (!file->watcher)
                continue;
            const ULONGLONG now = GetTickCount64();
            WaitForSingleObject(file->watcher.get(),
                                now < deadline ? static_cast<DWORD>(deadline - now) : 0);
        }
        stopWatchers();
        ResetEvent(stop_.get());
        for (std::string_view name : workingFileNames)
            if (!inUse(name))
                removeWorkingFile(name);
    }

  private:
    ScriptFile& fileNamed(std::string_view name) {
        auto found = files_.find(name);
        if (found == files_.end())
            found = files_.emplace(name, std::make_unique<ScriptFile>(name, stop_.get())).first;
        return *found->second;
    }

    // Called with the file's lock held, as its order has just begun watching.
    static bool startWatcher(ScriptFile& file) {
        // An earlier watcher ended watching under this lock, so it is at its
        // very end: waiting for it takes no time.
        if (file.watcher)
            WaitForSingleObject(file.watcher.get(), INFINITE);
        file.watcher = UniqueHandle(CreateThread(nullptr, 0, watchScriptFile, &file, 0, nullptr));
        if (file.watcher)
            return true;
        file.order.dropWaiting();
        return false;
    }

    // Gives up the runs still waiting: every watcher ends, none starts more.
    void stopWatchers() {
        SetEvent(stop_.get());
        for (auto& [name, file] : files_) {
            if (file->watcher) {
                WaitForSingleObject(file->watcher.get(), INFINITE);
                file->watcher.close();
            }
            std::lock_guard lock(file->mutex);
            file->order.dropWaiting();
        }
    }

    bool inUse(std::string_view name) {
        const auto found = files_.find(name);
        if (found == files_.end())
            return false;
        ScriptFile& file = *found->second;
        std::lock_guard lock(file.mutex);
        forgetEnded(file.running);
        return !file.running.empty();
    }

    UniqueHandle stop_; // manual reset
    std::map<std::string, std::unique_ptr<ScriptFile>, std::less<>> files_;
};

ScriptRuns& scriptRuns() {
    static ScriptRuns runs;
    return runs;
}

} // namespace

bool launchCommand(std::string_view commandLine) {
    return static_cast<bool>(startProcess(nullptr, commandLine));
}

bool launchCommandProcessor(std::string_view commandLine) {
    const AnsiText program = systemCommandProcessor();
    return !program.empty() && startProcess(program.c_str(), commandLine);
}

bool runWorkingScript(std::string_view name, const ByteBlock& script) {
    return scriptRuns().run(name, script);
}

void finishScriptRuns(unsigned long boundMs) {
    scriptRuns().finish(boundMs);
}

void openIpConfigConsole() {
    launchCommandProcessor(ipConfigCommandLine());
}

void openPingConsole(std::string_view host) {
    launchCommandProcessor(pingCommandLine(host));
}

void flushDnsCache() {
    launchCommandProcessor(flushDnsCommandLine());
}
