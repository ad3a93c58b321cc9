// UTF-8 text as a sequence of characters (code points) for the report
// engine: text pages keep their rows as code points so that columns count
// characters. Counting, cutting and locating characters are those of
// model/CodePage.h; this module adds the conversion to and from code-point
// strings.
//
// Character boundaries are those of model/CodePage.h: a byte that does not
// start a well-formed sequence is one character of its own. Such a byte
// decodes to a value above the Unicode range and encodes back to the same
// byte, so no input byte is ever lost or altered.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/CodePage.h"

namespace mivo {

std::u32string DecodeCodePoints(std::string_view text);
std::string EncodeCodePoints(std::u32string_view text);
std::string EncodeCodePoint(char32_t ch);

}  // namespace mivo
