#include "settings/settings_file.h"

#include "settings/program_directory.h"
#include "settings/settings_table.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// The profile reader skips leading control characters and blanks; a name
// that is nothing else is treated as missing.
bool isBlankAfterLeadingSkip(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) - 1u < 0x20u; });
}

constexpr DWORD readBufferSize = 10240;

} // namespace

AnsiText settingsPath() {
    return pathInDirectory(programDirectory(), settingsFileName);
}

AnsiText readSetting(std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
    const AnsiText path = settingsPath();
    if (isBlankAfterLeadingSkip(path) || isBlankAfterLeadingSkip(section) ||
        isBlankAfterLeadingSkip(key))
        return {};
    const AnsiText sectionText(section), keyText(key), defaultText(defaultValue);
    std::vector<char> buffer(readBufferSize, '\0');
    GetPrivateProfileStringA(sectionText.c_str(), keyText.c_str(),
                             defaultText.empty() ? nullptr : defaultText.c_str(), buffer.data(),
                             readBufferSize, path.c_str());
    return AnsiText(buffer.data());
}

bool writeSetting(std::string_view section, std::string_view key, std::string_view value) {
    const AnsiText path = settingsPath();
    const AnsiText sectionText(section), keyText(key), valueText(value);
    return WritePrivateProfileStringA(sectionText.c_str(), keyText.c_str(), valueText.c_str(),
                                      path.c_str()) != FALSE;
}
