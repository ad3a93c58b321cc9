#include "model/FileLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "model/RunTime.h"
#include "model/SafeFile.h"

namespace mivo {

namespace {

EFileError FileError(const char* what, const std::string& path, int error) {
    return EFileError(Format("%s \"%s\": %s", what, path, std::strerror(error)));
}

// The number of lines a text ends: each LF, and each CR not followed by
// an LF.
int CountLineEnds(std::string_view text) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            count = CheckedAdd(count, 1);
    }
    return count;
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
    const std::size_t old_size = buffer_.size();
    buffer_.resize(old_size + block_size_);
    ssize_t n = 0;
    do {
        n = ::read(fd_, buffer_.data() + old_size, block_size_);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int error = errno;
        buffer_.resize(old_size);
        throw FileError("Cannot read file", path_, error);
    }
    buffer_.resize(old_size + static_cast<std::size_t>(n));
    if (n == 0) at_end_ = true;
    return n > 0;
}

bool TFileLines::NextBlock() {
    if (block_end_ > 0) {
        // Keep the block's final line feed in front of what follows.
        const int ends = CountLineEnds(std::string_view(buffer_).substr(0, block_end_));
        lines_before_ = CheckedSub(CheckedAdd(lines_before_, ends), overlap_);
        if (block_end_ == buffer_.size() && at_end_) return false;
        buffer_.erase(0, block_end_ - 1);
        overlap_ = 1;
        block_end_ = 0;
    }
    // The last line feed past the overlap; searched in newly read bytes.
    std::size_t searched = static_cast<std::size_t>(overlap_);
    for (;;) {
        const std::size_t lf = std::string_view(buffer_).substr(searched).rfind('\n');
        if (lf != std::string_view::npos) {
            block_end_ = searched + lf + 1;
            break;
        }
        searched = buffer_.size();
        if (!ReadMore()) {
            if (buffer_.size() <= static_cast<std::size_t>(overlap_)) return false;
            block_end_ = buffer_.size();
            break;
        }
    }
    splitter_ = TLineSplitter(std::string_view(buffer_).substr(0, block_end_));
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
