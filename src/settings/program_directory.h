#pragma once
// The program directory: the folder of the running program file. Every file
// of the program's own (settings, working scripts) is placed inside it.

#include "text.h"

#include <string_view>

// Whether a byte opens a double-byte character in the ANSI code page in use.
using LeadByteTest = bool (*)(unsigned char byte);

// The bytes before the last backslash of `path`, or the empty text when it
// has none. A backslash that is the trail byte of a double-byte character
// (code page 936 has such characters, e.g. 0x81 0x5C) is not a separator.
AnsiText directoryOfPath(std::string_view path, LeadByteTest isLeadByte);

// `directory` + "\" + `name`.
AnsiText pathInDirectory(std::string_view directory, std::string_view name);

// Fixes the program directory from the running program's path and makes it
// the current directory. Called once at start-up.
void initProgramDirectory();

// The directory fixed by initProgramDirectory (empty before it ran).
AnsiText programDirectory();
