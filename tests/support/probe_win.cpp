// Test helper: runs pieces of the program's own code from wherever it has
// been copied to, as the program would from its folder.
//   probe paths OUT              write the program directory, the current
//                                directory and the file paths to OUT
//   probe run-script NAME FILE   run FILE's bytes as the working file NAME;
//                                exit code 0 when it was started
//   probe remove                 delete the working files
#include "actions/launch.h"
#include "settings/program_directory.h"
#include "settings/settings_file.h"
#include "settings/working_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

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
    if (command == "run-script" && argc == 4) {
        std::ifstream in(argv[3], std::ios::binary);
        const ByteBlock script{std::istreambuf_iterator<char>(in), {}};
        return runWorkingScript(argv[2], script) ? 0 : 1;
    }
    if (command == "remove" && argc == 2) {
        removeWorkingFiles();
        return 0;
    }
    return 2;
}
