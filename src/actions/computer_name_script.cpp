#include "actions/computer_name_script.h"

#include "actions/launch.h"
#include "settings/working_files.h"

#include <array>
#include <string_view>

namespace {

// Line 1: its output is cleared by the "cls" right after it.
AnsiText repeatedPlaceholderLine() {
    AnsiText line = "%%a";
    for (int i = 1; i < 313; ++i)
        line += " %%a";
    return line;
}

// The prompt and the three writes. After each write its error level is looked
// at on a line of its own, so the success message appears only when all three
// values were written. An empty or blank answer is refused before anything is
// written: "reg add ... /d  /f" would take "/f" as the data and then wait,
// unseen, for an overwrite confirmation.
constexpr std::array<std::string_view, 27> linesAfterFirst = {
    "cls",
    "@echo off",
    "",
    "",
    "set /p name=请输入您将要更改的计算机名：",
    "set \"nameWithoutBlanks=%name: =%\"",
    "if not defined nameWithoutBlanks goto noname",
    "reg add \"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ComputerName\\"
    "ActiveComputerName\" /v ComputerName /t reg_sz /d %name% /f >nul 2>nul",
    "if errorlevel 1 goto failed",
    "reg add \"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters\" "
    "/v \"NV Hostname\" /t reg_sz /d %name% /f >nul 2>nul",
    "if errorlevel 1 goto failed",
    "reg add \"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters\" "
    "/v Hostname /t reg_sz /d %name% /f >nul 2>nul",
    "if errorlevel 1 goto failed",
    "cls",
    "echo 您的计算机名已更改，按任意键退出。",
    "goto end",
    ":noname",
    "cls",
    "echo 您没有输入计算机名，计算机名未更改，按任意键退出。",
    "goto end",
    ":failed",
    "cls",
    "echo 您的计算机名未更改，请以管理员身份运行本程序，按任意键退出。",
    ":end",
    "echo.",
    "pause>nul",
    "echo.",
};

ByteBlock buildComputerNameScript() {
    AnsiText text = repeatedPlaceholderLine();
    for (std::string_view line : linesAfterFirst)
        text = concatText({text, "\r\n", line});
    return toBytes(text);
}

} // namespace

const ByteBlock& computerNameScript() {
    static const ByteBlock script = buildComputerNameScript();
    return script;
}

void runComputerNameScript() {
    runWorkingScript(computerNameScriptFile, computerNameScript());
}
