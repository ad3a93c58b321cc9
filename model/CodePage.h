// The system's 8-bit code page. On this platform it is UTF-8: every text a
// user types is held as UTF-8 bytes, and converting between local text and
// UTF-8 leaves the bytes unchanged (invalid bytes are kept as they stand), so
// no character of any script is lost.
//
// Texts cut, padded or measured by character count for display count code
// points and never split a multibyte sequence.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mivo {

// Local text to UTF-8 and back: identity on this platform.
inline std::string LocalToUtf8(std::string_view text) { return std::string(text); }
inline std::string Utf8ToLocal(std::string_view text) { return std::string(text); }

// Number of code points (an invalid byte counts as one). A byte counts as
// invalid when it does not start a well-formed sequence: a stray
// continuation byte, a truncated sequence, an overlong form or a value
// beyond U+10FFFF.
std::size_t CodePointCount(std::string_view text);

// Byte length of the code point that starts at byte `offset`: 1 to 4, 1 for
// an invalid byte, 0 at or beyond the end of the text.
std::size_t CodePointSize(std::string_view text, std::size_t offset);

// Byte offset of the code point with 0-based index `index`; the text's size
// when the text has fewer code points.
std::size_t CodePointOffset(std::string_view text, std::size_t index);

// The first `count` code points of the text.
std::string CutToCodePoints(std::string_view text, std::size_t count);

// The text padded with blanks on the right to `width` code points.
std::string PadRightToCodePoints(std::string_view text, std::size_t width);

}  // namespace mivo
