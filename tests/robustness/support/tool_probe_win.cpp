// Test helper: stands in for a command-line tool (netsh, ipconfig, ping)
// when copied under that tool's name into the program folder, where the
// command processor looks first. It touches no network and changes nothing:
// it appends the command line it was started with to "tools.log" beside
// itself, one line each, and while a file "hold" lies beside it, it waits
// (a minute at most), so that a test can hold a script in the middle of its
// run.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

std::string besideMe(const char* name) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    return full.substr(0, full.rfind('\\') + 1) + name;
}

// Several tools may log at once: retry while another one has the file.
bool appendLine(const std::string& path, const std::string& line) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok =
                WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == line.size();
        }
        Sleep(10);
    }
    return false;
}

} // namespace

int main() {
    if (!appendLine(besideMe("tools.log"), std::string(GetCommandLineA()) + "\r\n"))
        return 2;
    const std::string hold = besideMe("hold");
    for (int waited = 0;
         waited < 60000 && GetFileAttributesA(hold.c_str()) != INVALID_FILE_ATTRIBUTES;
         waited += 50)
        Sleep(50);
    return 0;
}
