#pragma once
// The interactive script behind "计算机名": it asks for the new name in its
// console window and writes it into the three registry values that hold the
// computer name, then says whether that worked.

#include "text.h"

// The script's bytes: code page 936 text, CR LF between lines, no final line
// break. The same bytes whatever the system's code page.
const ByteBlock& computerNameScript();

// Writes the script as the working file "GG.bat" and starts it.
void runComputerNameScript();
