// Test helper: runs pieces of the program's own code from wherever it has
// been copied to, as the program would from its folder.
//   probe paths OUT              write the program directory, the current
//                                directory and the file paths to OUT
//   probe run-script NAME FILE   run FILE's bytes as the working file NAME;
//                                exit code 0 when it was started
//   probe remove                 delete the working files
//   probe run-scripts NAME REPORT BOUND_MS FILE...
//                                run each FILE's bytes as the working file
//                                NAME, one after the other as quick clicks
//                                would, then tear down as the main window
//                                does, waiting at most BOUND_MS; REPORT gets
//                                a line "<1 when started or waiting, else 0>
//                                <milliseconds the call took>" per run, then
//                                "finishing" and "finished"
#include "actions/launch.h"
#include "settings/program_directory.h"
#include "settings/settings_file.h"
#include "settings/working_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

ByteBlock readBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return ByteBlock{std::istreambuf_iterator<char>(in), {}};
}

int runScripts(const char* name, const char* reportPath, const char* boundMs, char** files,
               int fileCount) {
    std::ofstream report(reportPath, std::ios::binary);
    for (int i = 0; i < fileCount; ++i) {
        const ByteBlock script = readBytes(files[i]);
        const ULONGLONG before = GetTickCount64();
        const bool ok = runWorkingScript(name, script);
        report << ok << " " << GetTickCount64() - before << "\n" << std::flush;
    }
    report << "finishing\n" << std::flush;
    finishScriptRuns(std::stoul(boundMs));
    report << "finished\n" << std::flush;
    return report ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    initProgramDirectory();
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "paths" && argc == 3) {
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        std::ofstream out(argv[2], std::ios::binary);
        out << programDirectory() << "\n"
            << current << "\n"
            << workingFilePath(networkScriptFile) << "\n"
            << settingsPath() << "\n";
        return out ? 0 : 2;
    }
    if (command == "run-script" && argc == 4)
        return runWorkingScript(argv[2], readBytes(argv[3])) ? 0 : 1;
    if (command == "run-scripts" && argc >= 5)
        return runScripts(argv[2], argv[3], argv[4], argv + 5, argc - 5);
    if (command == "remove" && argc == 2) {
        removeWorkingFiles();
        return 0;
    }
    return 2;
}
