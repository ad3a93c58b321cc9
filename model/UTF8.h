// Conversion between the 8-bit text the model holds and the UTF-8 that files
// on disk carry.
//
//  - 16-bit text is UCS-2: one code unit per character, surrogate pairs are
//    neither produced nor combined. `EncodeUtf8` and `DecodeUtf8` convert
//    whole texts; the buffer forms below do the work.
//  - `LocalToUtf8` and `Utf8ToLocal` (model/CodePage.h) convert through the
//    system's 8-bit code page, which on this platform is UTF-8 itself: names
//    and descriptions pass unchanged.
//  - Value codes are bytes, not characters ('0' + value index, up to byte
//    255). In a UTF-8 file they travel with every byte of 128 and above
//    mapped through the Windows-1252 table (`CodesToUtf8`) and are mapped
//    back on reading (`Utf8ToCodes`). All 256 bytes round-trip; the five
//    bytes the table leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
//    the code points of the same number.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/CodePage.h"

namespace mivo {

// 16-bit text (UCS-2 code units).
using TWideString = std::u16string;

// Encodes the units of `source` into `destination`: a unit below 0x80 gives
// one byte, below 0x800 two bytes, any other three. Stops before a unit
// whose bytes would not all fit, and always ends with a zero byte within the
// capacity. Returns the number of bytes written plus one (the terminator);
// an absent source (null data) or a destination without room gives 0.
std::size_t WideBufToUtf8(std::span<char> destination, std::span<const char16_t> source);

// Decodes the bytes of `source` into `destination`: a byte below 0x80 gives
// itself; a lead byte 110xxxxx starts a sequence of two bytes, 1110xxxx of
// three, and every following byte must exist and have the form 10xxxxxx.
// A byte 10xxxxxx in lead position and a lead byte of a four-byte (or
// longer) sequence are malformed too, since UCS-2 cannot hold them. Stops
// before a unit that would leave no room for the terminating zero unit.
// Returns the number of units written plus one, or nothing for malformed
// input; a destination without room gives 0.
std::optional<std::size_t> Utf8BufToWide(std::span<char16_t> destination, std::span<const char> source);

// Whole-text forms. `DecodeUtf8` raises ERangeError ("Range check error")
// for malformed input; the empty text gives the empty text.
std::string EncodeUtf8(std::u16string_view text);
TWideString DecodeUtf8(std::string_view text);

// Value codes to UTF-8: bytes below 128 stay, every other byte becomes the
// UTF-8 form of its Windows-1252 character.
std::string CodesToUtf8(std::string_view codes);

// UTF-8 back to value codes. Text that is not valid UTF-8 is taken as it
// stands (as every reader of UTF-8 files does); a valid character outside
// ASCII and the table gives nothing (`TryUtf8ToCodes`) or raises EXmlError
// naming the character and the text (`Utf8ToCodes`).
std::optional<std::string> TryUtf8ToCodes(std::string_view text);
std::string Utf8ToCodes(std::string_view text);

}  // namespace mivo
