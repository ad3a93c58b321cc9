// UTF-8 text as a sequence of characters (code points) for the report
// engine: text pages keep their rows as code points so that columns count
// characters, and substrings of element texts are cut at character
// positions.
//
// Character boundaries follow model/CodePage.h: a byte that does not start a
// well-formed sequence is one character of its own. Such a byte decodes to a
// value above the Unicode range and encodes back to the same byte, so no
// input byte is ever lost or altered.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mivo {

std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
std::string EncodeUtf8(char32_t ch);

// Number of characters.
std::size_t Utf8Length(std::string_view text);

// Byte offset of the character at 0-based character index `index`; the
// text's size when the text has fewer characters.
std::size_t Utf8Offset(std::string_view text, std::size_t index);

}  // namespace mivo
