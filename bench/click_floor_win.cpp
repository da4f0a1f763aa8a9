// The floor for a click: a windowless GUI program, like the real one, that
// only writes the DHCP script's bytes and starts the file, timing each try.
//   bench_click_floor <folder> <runs> <times-file>
#include "actions/network_scripts.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 4)
        return 2;
    const std::string path = std::string(__argv[1]) + "\\floor.bat";
    const int runs = std::atoi(__argv[2]);
    char adapter[] = "\xCE\xDE\xCF\xDF\xCD\xF8\xC2\xE7\xC1\xAC\xBD\xD3"; // the default adapter
    const ByteBlock script = buildDhcpScript(adapter);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    FILE* times = std::fopen(__argv[3], "w");
    if (!times)
        return 2;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
        CloseHandle(file);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION started{};
        std::string commandLine = "\"" + path + "\"";
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &started)) {
            WaitForInputIdle(started.hProcess, 1000);
            CloseHandle(started.hThread);
            CloseHandle(started.hProcess);
        }
        QueryPerformanceCounter(&end);
        std::fprintf(times, "%f\n",
                     static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                         static_cast<double>(frequency.QuadPart));
        Sleep(300); // as the benchmark waits between clicks
    }
    std::fclose(times);
    return 0;
}
