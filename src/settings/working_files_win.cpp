#include "settings/working_files.h"

#include "settings/program_directory.h"
#include "win/handle.h"

#include <windows.h>

AnsiText workingFilePath(std::string_view name) {
    return pathInDirectory(programDirectory(), name);
}

bool writeWorkingFile(std::string_view name, const ByteBlock& block) {
    const AnsiText path = workingFilePath(name);
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    if (!block.empty()) {
        DWORD written = 0;
        if (!WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &written,
                       nullptr) ||
            written != block.size())
            return false;
    }
    return file.close();
}

bool removeWorkingFile(std::string_view name) {
    return DeleteFileA(workingFilePath(name).c_str()) != FALSE;
}

void removeWorkingFiles() {
    for (std::string_view name : workingFileNames)
        removeWorkingFile(name);
}
