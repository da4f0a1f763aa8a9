#include "settings/program_directory.h"

#include <windows.h>

namespace {

// Fixed once at start-up, read for the rest of the process's life.
AnsiText fixedProgramDirectory;

bool isAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// The full path of the running program file, however long; empty on failure.
AnsiText programFilePath() {
    AnsiText path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

} // namespace

void initProgramDirectory() {
    fixedProgramDirectory = directoryOfPath(programFilePath(), isAnsiLeadByte);
    SetCurrentDirectoryA(fixedProgramDirectory.c_str());
}

AnsiText programDirectory() {
    return fixedProgramDirectory;
}
