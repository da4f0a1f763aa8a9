// Test helper: writes the command line it was started with, byte for byte,
// to "command_line.txt" in its current directory.
#include <windows.h>

#include <cstring>

int main() {
    const char* commandLine = GetCommandLineA();
    HANDLE file = CreateFileA("command_line.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
