#include "model/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace mivo {

namespace {

constexpr std::size_t kWriteChunk = 64 * 1024;

std::string ErrorText(int error) { return std::strerror(error); }

EFileError FileError(const char* what, const std::string& path, int error) {
    return EFileError(Format("%s \"%s\": %s", what, path, ErrorText(error)));
}

// The file that writing `path` replaces: the target of a symbolic link, so
// that the link itself survives, else the path itself.
std::string ResolveTarget(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        std::error_code ec;
        std::filesystem::path resolved = std::filesystem::canonical(path, ec);
        if (!ec) return resolved.string();
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// Writes all of `data`, retrying after interruptions and partial writes.
// Returns 0 or the error number.
int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// Makes the rename durable; a failure here does not undo a finished write.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string ReadFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError("Cannot open file", path, errno);
    std::string content;
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[kWriteChunk];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            ::close(fd);
            throw FileError("Cannot read file", path, error);
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

void WriteFileAtomic(const std::string& path, std::string_view content) {
    TSafeFileWriter writer(path);
    writer.Write(content);
    writer.Commit();
}

TSafeFileWriter::TSafeFileWriter(std::string path) : path_(std::move(path)) {
    target_ = ResolveTarget(path_);
    std::filesystem::path target(target_);
    std::string stem = FolderOf(target_) + "/." + target.filename().string() + ".tmp";

    std::random_device seed;
    std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed() ^
                           static_cast<std::uint64_t>(::getpid()));
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%016llx",
                      static_cast<unsigned long long>(random()));
        temp_path_ = stem + suffix;
        fd_ = ::open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        int error = errno;
        temp_path_.clear();
        throw FileError("Cannot create file", path_, error);
    }
    // An existing file keeps its permissions.
    struct stat st{};
    if (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        if (::fchmod(fd_, st.st_mode & 07777) != 0) Fail("Cannot create file", errno);
}

TSafeFileWriter::~TSafeFileWriter() {
    if (!committed_) Discard();
}

void TSafeFileWriter::Write(std::string_view data) {
    MIVO_ASSERT(fd_ >= 0, "Writing a closed file");
    if (pending_.size() + data.size() < kWriteChunk) {
        pending_.append(data);
        return;
    }
    Flush();
    if (data.size() < kWriteChunk) {
        pending_.append(data);
    } else if (int error = WriteAll(fd_, data)) {
        Fail("Cannot write file", error);
    }
}

void TSafeFileWriter::Flush() {
    if (pending_.empty()) return;
    if (int error = WriteAll(fd_, pending_)) Fail("Cannot write file", error);
    pending_.clear();
}

void TSafeFileWriter::Commit() {
    MIVO_ASSERT(fd_ >= 0, "Committing a closed file");
    Flush();
    if (::fsync(fd_) != 0) Fail("Cannot write file", errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("Cannot write file", errno);
    if (::rename(temp_path_.c_str(), target_.c_str()) != 0) Fail("Cannot replace file", errno);
    committed_ = true;
    SyncFolder(FolderOf(target_));
}

void TSafeFileWriter::Discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_path_.empty()) {
        ::unlink(temp_path_.c_str());
        temp_path_.clear();
    }
    pending_.clear();
}

void TSafeFileWriter::Fail(const char* what, int error) {
    Discard();
    throw FileError(what, path_, error);
}

}  // namespace mivo
