// A printer without a device: its documents are kept as page metafiles and
// every call is logged, for tests of whatever prints.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FontSource.h"
#include "platform/MetafileCanvas.h"
#include "platform/PageMetafile.h"
#include "platform/Printer.h"

namespace mivo {

// One document the fake printer has finished or aborted.
struct TFakeDocument {
    std::string Title;
    TPrinterOrientation Orientation = TPrinterOrientation::Portrait;
    std::vector<std::unique_ptr<TPageMetafile>> Pages;
    bool Aborted = false;
};

class TFakePrinter : public TPrinter {
public:
    // A printer of the given resolution and portrait paper size (in its
    // device units); text is measured through `fonts` (not owned), or with
    // fixed metrics when none is given.
    TFakePrinter(std::int32_t resolution, std::int32_t paperWidth, std::int32_t paperHeight,
                 TFontSource* fonts = nullptr);

    // Makes the resolution calls fail as an unreachable device does.
    void SetUnreachable(bool unreachable) { unreachable_ = unreachable; }
    void SetIndex(std::int32_t index) { index_ = index; }

    std::int32_t ResolutionX() override;
    std::int32_t ResolutionY() override;
    std::int32_t PageWidth() override;
    std::int32_t PageHeight() override;
    TPrinterOrientation Orientation() const override { return orientation_; }
    void SetOrientation(TPrinterOrientation orientation) override;
    std::string Title() const override { return title_; }
    void SetTitle(const std::string& title) override { title_ = title; }
    std::int32_t Copies() const override { return copies_; }
    void SetCopies(std::int32_t copies) override { copies_ = copies; }
    std::int32_t Index() const override { return index_; }
    // The fake keeps the output file's name; its documents stay in memory.
    bool PrintsToFile() const override { return !output_file_name_.empty(); }
    std::string OutputFileName() const override { return output_file_name_; }
    void SetOutputFileName(const std::string& fileName) override;
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    bool Printing() const override { return open_.has_value(); }
    bool Aborted() const override { return aborted_; }
    std::int32_t PageNumber() const override;
    TCanvas& Canvas() override { return canvas_; }

    // Documents finished or aborted, in order, and the calls made
    // ("BeginDoc", "NewPage", "EndDoc", "Abort").
    const std::vector<TFakeDocument>& Documents() const { return documents_; }
    const std::vector<std::string>& Log() const { return log_; }

private:
    // Draws into the open document's current page; refuses outside one.
    class TPageCanvas : public TCanvas {
    public:
        explicit TPageCanvas(TFakePrinter& printer) : printer_(printer) {}
        std::int32_t TextWidth(std::string_view text) override;
        std::int32_t TextHeight(std::string_view text) override;
        void TextOut(std::int32_t x, std::int32_t y, std::string_view text) override;
        void TextRect(const TCanvasRect& clip, std::int32_t x, std::int32_t y, std::string_view text) override;
        void Rectangle(const TCanvasRect& rect) override;
        void RoundRect(const TCanvasRect& rect, std::int32_t cornerWidth, std::int32_t cornerHeight) override;
        void Ellipse(const TCanvasRect& rect) override;
        void Polygon(std::span<const TCanvasPoint> points) override;
        void FillRect(const TCanvasRect& rect) override;
        void StretchDraw(const TCanvasRect& dest, const TPageMetafile& metafile) override;

    protected:
        void DrawLine(TCanvasPoint from, TCanvasPoint to) override;

    private:
        // The recording canvas of the current page with this canvas's state.
        TMetafileCanvas& Target();
        TFakePrinter& printer_;
    };

    void StartPage();
    TFontSource& Fonts() { return fonts_ ? *fonts_ : fixed_; }

    std::int32_t resolution_;
    std::int32_t paper_width_;
    std::int32_t paper_height_;
    TFontSource* fonts_;
    TFixedFontSource fixed_;
    bool unreachable_ = false;
    std::int32_t index_ = 0;
    TPrinterOrientation orientation_ = TPrinterOrientation::Portrait;
    std::string title_;
    std::string output_file_name_;
    std::int32_t copies_ = 1;
    bool aborted_ = false;
    std::optional<TFakeDocument> open_;
    std::unique_ptr<TMetafileCanvas> page_canvas_;
    TPageCanvas canvas_{*this};
    std::vector<TFakeDocument> documents_;
    std::vector<std::string> log_;
};

}  // namespace mivo
