#include "desktop/CompressedText.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include <zstd.h>

#include "model/RunTime.h"

namespace mivo {

namespace {

// The fastest level: model text still shrinks about 75 times.
constexpr int kLevel = 1;
// Texts up to this size are kept aside while compressed, in case
// compression does not make them smaller.
constexpr std::size_t kPlainLimit = 4096;

// A zstd result checked: its error raised as damage of the text, or as a
// failure of the compressor.
std::size_t Checked(std::size_t result, bool reading) {
    if (!ZSTD_isError(result)) return result;
    const std::string why = ZSTD_getErrorName(result);
    if (reading) throw EMivoError(Format(SCompressedTextDamaged, why));
    throw EMivoError("Compressing a text failed: " + why);
}

}  // namespace

// --- writing ----------------------------------------------------------------

struct TCompressedText::TWriter::TContext {
    ZSTD_CCtx* Stream = ZSTD_createCCtx();
    std::vector<char> Block = std::vector<char>(ZSTD_CStreamOutSize());  // output before it is stored
    ~TContext() { ZSTD_freeCCtx(Stream); }
};

TCompressedText::TWriter::TWriter() : context_(std::make_unique<TContext>()) {
    if (!context_->Stream) throw EMivoError("Compressing a text failed: no memory for the compressor");
    Checked(ZSTD_CCtx_setParameter(context_->Stream, ZSTD_c_compressionLevel, kLevel), false);
    Checked(ZSTD_CCtx_setParameter(context_->Stream, ZSTD_c_checksumFlag, 1), false);
}

TCompressedText::TWriter::~TWriter() = default;

void TCompressedText::TWriter::Append(std::string_view piece) {
    if (piece.empty()) return;
    text_size_ += piece.size();
    if (text_size_ <= kPlainLimit) head_.append(piece);
    Compress(piece, ZSTD_e_continue);
}

void TCompressedText::TWriter::Compress(std::string_view input, int directive) {
    ZSTD_inBuffer in{input.data(), input.size(), 0};
    const auto mode = static_cast<ZSTD_EndDirective>(directive);
    for (;;) {
        ZSTD_outBuffer out{context_->Block.data(), context_->Block.size(), 0};
        const std::size_t left = Checked(ZSTD_compressStream2(context_->Stream, &out, &in, mode), false);
        stored_.append(context_->Block.data(), out.pos);
        const bool done = mode == ZSTD_e_end ? left == 0 : in.pos == in.size;
        if (done) return;
    }
}

TCompressedText TCompressedText::TWriter::Finish() {
    Compress({}, ZSTD_e_end);
    if (text_size_ <= kPlainLimit && stored_.size() >= text_size_) return FromStored(std::move(head_), text_size_, false);
    // No room held beyond the stored form.
    stored_.shrink_to_fit();
    return FromStored(std::move(stored_), text_size_, true);
}

// --- reading ----------------------------------------------------------------

struct TCompressedText::TReader::TContext {
    ZSTD_DCtx* Stream = ZSTD_createDCtx();
    ~TContext() { ZSTD_freeDCtx(Stream); }
};

TCompressedText::TReader::TReader(const TCompressedText& text) : text_(text) {
    if (!text_.compressed_) return;
    context_ = std::make_unique<TContext>();
    if (!context_->Stream) throw EMivoError("Reading a compressed text failed: no memory for the decompressor");
}

TCompressedText::TReader::~TReader() = default;

void TCompressedText::TReader::Damaged(const std::string& why) {
    throw EMivoError(Format(SCompressedTextDamaged, why));
}

std::size_t TCompressedText::TReader::Read(char* buffer, std::size_t size) {
    const std::size_t got = text_.compressed_ ? ReadCompressed(buffer, size) : ReadPlain(buffer, size);
    out_ += got;
    if (out_ > text_.text_size_) Damaged("it is longer than the text stored");
    if (got == 0 && out_ != text_.text_size_) Damaged("it is shorter than the text stored");
    return got;
}

std::size_t TCompressedText::TReader::ReadPlain(char* buffer, std::size_t size) {
    const std::size_t n = std::min(size, text_.stored_.size() - in_);
    std::memcpy(buffer, text_.stored_.data() + in_, n);
    in_ += n;
    return n;
}

std::size_t TCompressedText::TReader::ReadCompressed(char* buffer, std::size_t size) {
    const std::string& stored = text_.stored_;
    ZSTD_outBuffer out{buffer, size, 0};
    while (out.pos == 0 && size > 0) {
        if (frame_done_) {
            if (in_ < stored.size()) Damaged("more data follows its end");
            return 0;
        }
        ZSTD_inBuffer in{stored.data(), stored.size(), in_};
        const std::size_t left = Checked(ZSTD_decompressStream(context_->Stream, &out, &in), true);
        const bool progress = in.pos > in_ || out.pos > 0;
        in_ = in.pos;
        // 0: the frame is decoded, its checksum checked and all flushed.
        if (left == 0) frame_done_ = true;
        else if (!progress) Damaged(in_ == stored.size() ? "it ends before the text does" : "it cannot be decoded");
    }
    return out.pos;
}

// --- the text ---------------------------------------------------------------

TCompressedText TCompressedText::Compress(std::string_view text) {
    TWriter writer;
    writer.Append(text);
    return writer.Finish();
}

std::string TCompressedText::Text() const {
    std::string text(text_size_, '\0');
    TReader reader(*this);
    std::size_t at = 0;
    for (;;) {
        // One byte of room past the end, where a longer text shows itself.
        if (at == text.size()) text.resize(text.size() + 1);
        const std::size_t got = reader.Read(text.data() + at, text.size() - at);
        if (got == 0) break;
        at += got;
    }
    text.resize(at);
    return text;
}

TCompressedText TCompressedText::FromStored(std::string stored, std::size_t text_size, bool compressed) {
    TCompressedText text;
    text.stored_ = std::move(stored);
    text.text_size_ = text_size;
    text.compressed_ = compressed;
    return text;
}

}  // namespace mivo
