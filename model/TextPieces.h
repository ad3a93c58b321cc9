// A text passed on in pieces, in order, so that a long one never has to
// stand in memory whole: a writer hands its text to a sink piece by piece,
// a reader pulls its text from a source a buffer at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace mivo {

// Takes the next piece of a text; the piece is valid only during the call.
using TTextSink = std::function<void(std::string_view piece)>;

// Puts the next bytes of a text into `buffer`, at most `size` of them, and
// returns how many it put there; 0 only at the end of the text. Errors are
// raised as exceptions, which end the reading.
using TTextSource = std::function<std::size_t(char* buffer, std::size_t size)>;

}  // namespace mivo
