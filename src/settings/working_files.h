#pragma once
// Working files: the batch scripts the program writes inside its own folder
// and hands to the command processor, deleted when the main window closes.

#include "text.h"

#include <array>
#include <string_view>

inline constexpr std::string_view networkScriptFile = "1.bat";
inline constexpr std::string_view computerNameScriptFile = "GG.bat";

// Deleted at teardown, in this order. "GG.exe" is never written by the
// program, only removed.
inline constexpr std::array<std::string_view, 3> workingFileNames = {
    networkScriptFile, computerNameScriptFile, "GG.exe"};

// The working file `name` inside the program directory.
AnsiText workingFilePath(std::string_view name);

// Creates or truncates the working file and writes exactly `block` into it.
// False when it could not be opened (an existing file then stays untouched),
// not wholly written, or not closed.
bool writeWorkingFile(std::string_view name, const ByteBlock& block);

// Deletes the working file `name`; false when it could not be deleted.
bool removeWorkingFile(std::string_view name);

// Deletes the three working files, passing over any that cannot be deleted.
void removeWorkingFiles();
