#pragma once
// Helpers for the Windows tests: scratch folders, whole-file reads and
// writes, and child processes that are always waited for or ended.

#include "text.h"
#include "win/handle.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

// A fresh folder under the temp folder, deleted with its content at the end.
class TempFolder {
  public:
    explicit TempFolder(std::string_view leafName = "ipflip test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() + "\" + name
    std::string operator/(std::string_view name) const;

  private:
    std::string path_;
};

// The folder holding the running test program (and the helper programs).
std::string testProgramDirectory();

bool fileExists(const std::string& path);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);
void makeFolder(const std::string& path);
void copyFileTo(const std::string& from, const std::string& to);
void deleteTree(const std::string& path);

// Polls `condition` until it holds or `timeoutMs` milliseconds have passed.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// Holds a file open, denying other writers (reading stays allowed), until
// destroyed: the way to make a write fail for real, also for root.
class WriteLock {
  public:
    explicit WriteLock(const std::string& path);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

// A job that every process started into it joins, with every process those
// start in turn; destroying it ends them all. For tests whose programs leave
// scripts running.
class ProcessJob {
  public:
    ProcessJob();
    ~ProcessJob();
    ProcessJob(const ProcessJob&) = delete;
    ProcessJob& operator=(const ProcessJob&) = delete;

    HANDLE get() const { return job_.get(); }
    // How many processes of the job still run.
    DWORD activeProcesses() const;

  private:
    UniqueHandle job_;
};

struct ProcessOutcome {
    bool finished = false; // false: it was still running at the time limit and was ended
    DWORD exitCode = 0;
};

struct ProcessOptions {
    std::string currentDirectory;   // empty: the test's own
    std::string standardInputFile;  // empty: none
    std::string standardOutputFile; // empty: none; receives stdout and stderr
    DWORD timeoutMs = 60000;
    const ProcessJob* job = nullptr; // when set, the process runs in this job
};

// Starts `commandLine` and returns at once; no handle when it could not be
// started (a test failure).
UniqueHandle startProcess(const std::string& commandLine, const ProcessOptions& options = {});

// Waits for a started process to end, ending it after `timeoutMs`.
ProcessOutcome finishProcess(const UniqueHandle& process, DWORD timeoutMs);

// Starts `commandLine`, waits for it to end (ending it at the time limit)
// and closes its handles.
ProcessOutcome runProcess(const std::string& commandLine, const ProcessOptions& options = {});

// A path in double quotes, for command lines.
std::string quoted(const std::string& path);
