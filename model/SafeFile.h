// Reading whole files, and writing files so that a failure never costs the
// previous contents.
//
// Every file the system produces is written through `TSafeFileWriter` (or
// its one-call form `WriteFileAtomic`): the data goes to a new temporary
// file in the target's folder; every write, the flush to disk and the close
// are checked; only when all of them succeeded is the temporary file renamed
// over the target, which replaces it in one step. On any failure the
// temporary file is removed, the target is left exactly as it was, and
// `EFileError` names the file and the operating system's reason.
//
// A target that is a symbolic link is written through the link. A target
// that already exists keeps its permission bits; a new one gets the usual
// permissions of new files.
#pragma once

#include <string>
#include <string_view>

#include "model/RunTime.h"

namespace mivo {

// A file that could not be read or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// The whole contents of a file as bytes. A missing or unreadable file
// raises EFileError "Cannot open file \"<path>\": <reason>" (or "Cannot read
// file ..." when reading fails later).
std::string ReadFile(const std::string& path);

// Writes `content` as the whole new contents of `path` (see above).
void WriteFileAtomic(const std::string& path, std::string_view content);

// Streaming form: create, Write as often as needed, then Commit. Destroying
// a writer that was not committed (an error on the way) removes the
// temporary file and leaves the target untouched.
class TSafeFileWriter {
public:
    // Creates the temporary file; raises EFileError when that fails.
    explicit TSafeFileWriter(std::string path);
    ~TSafeFileWriter();

    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    // Appends bytes; raises EFileError when writing fails.
    void Write(std::string_view data);

    // Flushes, syncs and closes the temporary file and renames it over the
    // target. Raises EFileError on failure (the target is then unchanged).
    // Nothing more may be written afterwards.
    void Commit();

    // The target's path as given.
    const std::string& Path() const { return path_; }

private:
    void Flush();
    void Discard() noexcept;
    [[noreturn]] void Fail(const char* what, int error);

    std::string path_;       // as given, for messages
    std::string target_;     // the file actually replaced (links resolved)
    std::string temp_path_;  // the temporary file in the target's folder
    std::string pending_;    // bytes not yet handed to the system
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace mivo
