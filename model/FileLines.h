// Reading the lines of a file block by block: the same lines with the same
// numbers as TLineSplitter gives for the whole file read by ReadFile, but
// holding only a block and the longest line in memory, not the whole file.
//
// The blocks are cut after a line feed, so every line, and every CR LF
// pair, lies within one block; each block after the first is handed to
// the splitter starting with the line feed before it, which makes an
// empty line (skipped, and taken off the numbering) and keeps a line that
// starts with the bytes of a byte-order mark from being taken for one.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "model/TextLines.h"
#include "model/ValueStrings.h"

namespace mivo {

class TFileLines {
public:
    static constexpr std::size_t DefaultBlockSize = 1 << 20;

    // Opens the file; EFileError "Cannot open file \"<path>\": <reason>"
    // as ReadFile raises it.
    explicit TFileLines(const std::string& path, std::size_t block_size = DefaultBlockSize);
    ~TFileLines();
    TFileLines(const TFileLines&) = delete;
    TFileLines& operator=(const TFileLines&) = delete;

    // The next non-empty line and its 1-based number; false at the end.
    // The line stays valid until the next call. A failed read raises
    // EFileError "Cannot read file \"<path>\": <reason>".
    bool Next(std::string_view& line, int& number);

    // Size of the file in bytes when it is a regular file, else 0.
    std::size_t FileSize() const { return file_size_; }

private:
    // Reads more of the file onto the end of the buffer; false at its end.
    bool ReadMore();
    // Starts splitting the buffer up to and including its last line feed
    // (all of it at the end of the file); false when nothing is left.
    bool NextBlock();

    std::string_view Buffer() const { return {buffer_.data(), size_}; }

    std::string path_;
    std::size_t block_size_;
    int fd_ = -1;
    std::size_t file_size_ = 0;
    bool at_end_ = false;
    // The bytes read and not yet split (never filled with zeros first).
    TLargeVector<char> buffer_;  // its size is the room: the bytes held are size_
    std::size_t size_ = 0;
    std::size_t block_end_ = 0;  // end of the part being split
    int lines_before_ = 0;       // lines in the blocks already split
    int overlap_ = 0;            // 1 when the block starts with the line feed before it
    TLineSplitter splitter_{std::string_view()};
};

}  // namespace mivo
