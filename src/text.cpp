#include "text.h"

AnsiText concatText(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view part : parts)
        size += part.size();
    AnsiText joined;
    joined.reserve(size);
    for (std::string_view part : parts)
        joined.append(part);
    return joined;
}

ByteBlock concatBytes(std::initializer_list<std::span<const std::uint8_t>> blocks) {
    ByteBlock joined;
    for (std::span<const std::uint8_t> block : blocks)
        joined.insert(joined.end(), block.begin(), block.end());
    return joined;
}

ByteBlock toBytes(std::string_view text) {
    return ByteBlock(text.begin(), text.end());
}
