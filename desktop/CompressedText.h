// A text held compressed, for texts the program keeps in memory for long:
// the model undo states, whose model-file text shrinks many times over
// (mostly indentation and repeated tags). Compressed with zstd at its
// fastest level, with a checksum of the content, so that damage is found.
// A text that compression does not make smaller is held as it is.
//
// The text goes in and comes out in pieces (model/TextPieces.h), so that a
// large one never stands in memory whole on either way.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace mivo {

inline constexpr const char* SCompressedTextDamaged = "The stored text is damaged: %s";

class TCompressedText {
public:
    // The empty text.
    TCompressedText() = default;

    // Compresses a text handed to it in pieces, in order.
    class TWriter {
    public:
        TWriter();
        ~TWriter();
        TWriter(const TWriter&) = delete;
        TWriter& operator=(const TWriter&) = delete;

        void Append(std::string_view piece);
        // The text appended so far; the writer is spent.
        TCompressedText Finish();

    private:
        struct TContext;
        // Compresses the input with the given end directive until zstd
        // asks for no more room.
        void Compress(std::string_view input, int directive);

        std::unique_ptr<TContext> context_;
        std::string stored_;
        std::string head_;  // the text while it is short enough to keep as it is
        std::size_t text_size_ = 0;
    };

    // Gives the text back a buffer at a time, as a TTextSource does. A text
    // whose stored form is damaged, cut short, followed by more data or of
    // another length than when stored raises EMivoError
    // SCompressedTextDamaged, at the latest at the end of the text.
    class TReader {
    public:
        explicit TReader(const TCompressedText& text);
        ~TReader();
        TReader(const TReader&) = delete;
        TReader& operator=(const TReader&) = delete;

        // Puts the next bytes into `buffer`, at most `size`; 0 at the end.
        std::size_t Read(char* buffer, std::size_t size);

    private:
        struct TContext;
        [[noreturn]] static void Damaged(const std::string& why);
        std::size_t ReadPlain(char* buffer, std::size_t size);
        std::size_t ReadCompressed(char* buffer, std::size_t size);

        const TCompressedText& text_;
        std::unique_ptr<TContext> context_;
        std::size_t in_ = 0;   // bytes of the stored form read
        std::size_t out_ = 0;  // bytes of the text given
        bool frame_done_ = false;
    };

    static TCompressedText Compress(std::string_view text);
    // The whole text (errors as TReader's).
    std::string Text() const;

    // The size of the text, and of what is held for it.
    std::size_t TextSize() const { return text_size_; }
    std::size_t StoredSize() const { return stored_.size(); }
    bool Compressed() const { return compressed_; }

    // The stored form, and a text made from one, for code that moves or
    // checks stored texts as they are.
    const std::string& Stored() const { return stored_; }
    static TCompressedText FromStored(std::string stored, std::size_t text_size, bool compressed);

    // The same stored form: texts compressed alike from equal texts are
    // equal (the compression is deterministic whatever the pieces).
    bool operator==(const TCompressedText&) const = default;

private:
    std::string stored_;
    std::size_t text_size_ = 0;
    bool compressed_ = false;
};

}  // namespace mivo
