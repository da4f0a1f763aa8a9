#include "win_test_support.h"

#include "win/handle.h"

#include <gtest/gtest.h>

#include <vector>

TempFolder::TempFolder(std::string_view leafName) {
    char tempRoot[MAX_PATH];
    GetTempPathA(MAX_PATH, tempRoot);
    static unsigned serial = 0;
    for (;;) {
        path_ = concatText({tempRoot, "ipflip-", std::to_string(GetCurrentProcessId()), "-",
                            std::to_string(++serial)});
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
    path_ = concatText({path_, "\\", leafName});
    makeFolder(path_);
}

TempFolder::~TempFolder() {
    deleteTree(path_.substr(0, path_.rfind('\\')));
}

std::string TempFolder::operator/(std::string_view name) const {
    return path_ + "\\" + std::string(name);
}

std::string testProgramDirectory() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    return full.substr(0, full.rfind('\\'));
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::string& path) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    return content;
}

void writeFile(const std::string& path, std::string_view bytes) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << "cannot write " << path;
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

void makeFolder(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << "cannot create " << path;
}

void copyFileTo(const std::string& from, const std::string& to) {
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << " -> " << to;
}

void deleteTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                deleteTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(50);
    }
    return true;
}

WriteLock::WriteLock(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr)) {}

WriteLock::~WriteLock() {
    if (held())
        CloseHandle(handle_);
}

namespace {

UniqueHandle openInheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return UniqueHandle(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

ProcessJob::ProcessJob() : job_(CreateJobObjectA(nullptr, nullptr)) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job_ || !SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits,
                                          sizeof limits))
        ADD_FAILURE() << "cannot make a job";
}

ProcessJob::~ProcessJob() {
    TerminateJobObject(job_.get(), 1);
    waitUntil([this] { return activeProcesses() == 0; }, 10000);
}

DWORD ProcessJob::activeProcesses() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &accounting,
                                   sizeof accounting, nullptr))
        return 0;
    return accounting.ActiveProcesses;
}

UniqueHandle startProcess(const std::string& commandLine, const ProcessOptions& options) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    UniqueHandle input, output;
    if (!options.standardInputFile.empty() || !options.standardOutputFile.empty()) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        if (!options.standardInputFile.empty())
            input = openInheritable(options.standardInputFile, GENERIC_READ, OPEN_EXISTING);
        if (!options.standardOutputFile.empty())
            output = openInheritable(options.standardOutputFile, GENERIC_WRITE, CREATE_ALWAYS);
        startup.hStdInput = input.get();
        startup.hStdOutput = output.get();
        startup.hStdError = output.get();
    }
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    PROCESS_INFORMATION started{};
    // Suspended until it is in its job, so whatever it starts joins the job too.
    if (!CreateProcessA(
            nullptr, writable.data(), nullptr, nullptr, TRUE, options.job ? CREATE_SUSPENDED : 0,
            nullptr, options.currentDirectory.empty() ? nullptr : options.currentDirectory.c_str(),
            &startup, &started)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return {};
    }
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    if (options.job) {
        if (!AssignProcessToJobObject(options.job->get(), process.get())) {
            ADD_FAILURE() << "cannot put into the job: " << commandLine;
            TerminateProcess(process.get(), 1);
            return {};
        }
        ResumeThread(thread.get());
    }
    return process;
}

ProcessOutcome finishProcess(const UniqueHandle& process, DWORD timeoutMs) {
    ProcessOutcome outcome;
    if (!process)
        return outcome;
    outcome.finished = WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
    if (!outcome.finished) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
    GetExitCodeProcess(process.get(), &outcome.exitCode);
    return outcome;
}

ProcessOutcome runProcess(const std::string& commandLine, const ProcessOptions& options) {
    return finishProcess(startProcess(commandLine, options), options.timeoutMs);
}

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}
