// How many columns of a character grid a character takes, for the plain
// text output: East Asian wide and fullwidth characters (CJK ideographs,
// kana, Hangul syllables, fullwidth forms, most emoji) take two columns,
// combining marks and other zero-width characters none, every other
// character one.
#pragma once

#include <cstdint>
#include <string_view>

namespace mivo {

// 0, 1 or 2. Control characters and values outside Unicode (the raw
// bytes of malformed UTF-8, Utf8Text.h) take one column: the text pages
// show them as one blank or one byte.
int CharacterColumns(char32_t ch);

// The columns of a UTF-8 text: the sum over its characters, except that a
// mark at the very start, with nothing to combine with, is shown over a
// blank of its own and takes one column.
std::int64_t DisplayColumns(std::string_view text);

}  // namespace mivo
