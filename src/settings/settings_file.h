#pragma once
// C.ini beside the program: one value per call, nothing cached.

#include "text.h"

#include <string_view>

// Program directory + "\C.ini".
AnsiText settingsPath();

// The value under `key` in `section`, or `defaultValue` when the file,
// section or key is missing. A key with an empty value reads as empty.
// Values longer than 10239 bytes come back cut.
AnsiText readSetting(std::string_view section, std::string_view key, std::string_view defaultValue);

// Stores `value` (possibly empty) under `key` in `section`.
bool writeSetting(std::string_view section, std::string_view key, std::string_view value);
