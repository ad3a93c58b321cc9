// Helpers shared by the fuzzers: the raw input as lines or as a file, and
// the one rule every reader must keep on hostile input.
//
// A reader may refuse input only with one of the system's own errors
// (`mivo::Exception` and its subclasses, which carry a message for the
// user). Anything else escaping a reader (a standard-library exception, a
// crash, a sanitizer report, a hang, unbounded memory) is a finding; an
// assertion of the system's own invariants failing on input is one too,
// because the reader should have refused the input with a clear message.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/RunTime.h"
#include "model/TextLines.h"

namespace mivo::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input's lines as a file reader would give them (CR LF, CR or LF),
// empty lines kept.
inline std::vector<std::string> Lines(std::string_view text) {
    return SplitLines(text, TEmptyLines::Keep);
}

// Takes the first byte of the input as a choice of options; 0 when empty.
inline unsigned TakeByte(std::string_view& text) {
    if (text.empty()) return 0;
    const auto b = static_cast<unsigned char>(text.front());
    text.remove_prefix(1);
    return b;
}

// A scratch file of this process, for readers that take a file name;
// removed when the process ends normally.
class TScratchFile {
public:
    explicit TScratchFile(const char* suffix)
        : path_("/tmp/mivo_fuzz_" + std::to_string(::getpid()) + suffix) {}
    ~TScratchFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline const std::string& ScratchPath(const char* suffix) {
    static const TScratchFile tab(".tab"), csv(".csv");
    return std::string_view(suffix) == ".csv" ? csv.Path() : tab.Path();
}

inline const std::string& WriteScratch(std::string_view text, const char* suffix) {
    const std::string& path = ScratchPath(suffix);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(text.size()));
    return path;
}

// Runs one reader call; the system's own errors are the expected answer to
// bad input, an assertion failure is reported and aborts.
template <typename F>
void Guarded(F&& read) {
    try {
        read();
    } catch (const EAssertionFailed& e) {
        std::fprintf(stderr, "assertion failed on input: %s\n", e.Message().c_str());
        std::abort();
    } catch (const Exception&) {
    }
}

}  // namespace mivo::fuzz
