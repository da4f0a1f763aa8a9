#include "settings/program_directory.h"

AnsiText directoryOfPath(std::string_view path, LeadByteTest isLeadByte) {
    std::size_t separator = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        auto byte = static_cast<unsigned char>(path[i]);
        if (isLeadByte(byte) && i + 1 < path.size())
            ++i; // the trail byte belongs to this character
        else if (byte == '\\')
            separator = i;
    }
    if (separator == std::string_view::npos)
        return {};
    return AnsiText(path.substr(0, separator));
}

AnsiText pathInDirectory(std::string_view directory, std::string_view name) {
    return concatText({directory, "\\", name});
}
