#pragma once
// Texts and byte blocks as the program handles them: a text is a byte string
// in the system ANSI code page (the program's own texts are code page 936),
// a byte block is the exact content of a file the program writes.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using AnsiText = std::string;
using ByteBlock = std::vector<std::uint8_t>;

// Joins texts in order with nothing between them.
AnsiText concatText(std::initializer_list<std::string_view> parts);

// Joins byte blocks in order with nothing between them.
ByteBlock concatBytes(std::initializer_list<std::span<const std::uint8_t>> blocks);

// The text's bytes, without a terminating NUL.
ByteBlock toBytes(std::string_view text);
