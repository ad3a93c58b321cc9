#include "model/FileLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/RunTime.h"
#include "model/SafeFile.h"

namespace mivo {

namespace {

EFileError FileError(const char* what, const std::string& path, int error) {
    return EFileError(Format("%s \"%s\": %s", what, path, std::strerror(error)));
}

}  // namespace

TFileLines::TFileLines(const std::string& path, std::size_t block_size)
    : path_(path), block_size_(block_size > 0 ? block_size : DefaultBlockSize) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw FileError("Cannot open file", path, errno);
    struct stat st{};
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        file_size_ = static_cast<std::size_t>(st.st_size);
    // A small file is read in one block of its own size (plus one byte to
    // see its end), not into a buffer of the full block size.
    if (file_size_ > 0 && file_size_ < block_size_) block_size_ = file_size_ + 1;
}

TFileLines::~TFileLines() {
    if (fd_ >= 0) ::close(fd_);
}

bool TFileLines::ReadMore() {
    if (at_end_) return false;
    if (buffer_.size() - size_ < block_size_) {
        TLargeVector<char> buffer;
        buffer.reserve(std::max(2 * buffer_.size(), size_ + block_size_));
        buffer.assign(buffer_.data(), buffer_.data() + size_);
        buffer.resize(buffer.capacity());
        buffer_.swap(buffer);
    }
    ssize_t n = 0;
    do {
        n = ::read(fd_, buffer_.data() + size_, block_size_);
    } while (n < 0 && errno == EINTR);
    if (n < 0) throw FileError("Cannot read file", path_, errno);
    size_ += static_cast<std::size_t>(n);
    if (n == 0) at_end_ = true;
    return n > 0;
}

bool TFileLines::NextBlock() {
    if (block_end_ > 0) {
        // Every line of the block has been split, each ended by a line end
        // (the block ends with a line feed), so the lines passed are the
        // line ends of the block. Keep its final line feed in front of what
        // follows.
        lines_before_ = CheckedSub(CheckedAdd(lines_before_, splitter_.Passed()), overlap_);
        if (block_end_ == size_ && at_end_) return false;
        const std::size_t keep_from = block_end_ - 1;
        std::memmove(buffer_.data(), buffer_.data() + keep_from, size_ - keep_from);
        size_ -= keep_from;
        overlap_ = 1;
        block_end_ = 0;
    }
    // The last line feed past the overlap; searched in newly read bytes.
    std::size_t searched = static_cast<std::size_t>(overlap_);
    for (;;) {
        const std::size_t lf = Buffer().substr(searched).rfind('\n');
        if (lf != std::string_view::npos) {
            block_end_ = searched + lf + 1;
            break;
        }
        searched = size_;
        if (!ReadMore()) {
            if (size_ <= static_cast<std::size_t>(overlap_)) return false;
            block_end_ = size_;
            break;
        }
    }
    splitter_ = TLineSplitter(Buffer().substr(0, block_end_));
    return true;
}

bool TFileLines::Next(std::string_view& line, int& number) {
    for (;;) {
        int local = 0;
        if (splitter_.Next(line, local)) {
            number = CheckedSub(CheckedAdd(lines_before_, local), overlap_);
            return true;
        }
        if (!NextBlock()) return false;
    }
}

}  // namespace mivo
