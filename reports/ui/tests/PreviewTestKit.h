// Shared set-up of the preview tests: reports of a known number of pages,
// the texts recorded on a page, a clipboard that keeps what it is given,
// and a scratch folder.
#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>

#include <unistd.h>

#include <gtest/gtest.h>

#include "model/Clipboard.h"
#include "model/SafeFile.h"
#include "platform/PageMetafile.h"
#include "platform/QtApplication.h"
#include "reports/Reports.h"

namespace mivo::testing {

// A report of `pages` pages: a header "Page <n>" and one section per page,
// each starting on a new page (unless another break mode is given). With
// `lines`, every section holds that many lines (a long report reports
// progress often).
inline std::unique_ptr<TReport> PagedReport(int pages, const std::string& title = "Report",
                                            std::uint8_t orientation = 0, int lines = 1,
                                            std::int32_t breakMode = pbNewPage) {
    auto report = std::make_unique<TReport>();
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    report->SetFont(font);
    report->SetTitle(title);
    report->PageOrientation = orientation;
    TRptLine* header = report->Header().NewLine();
    header->AddText("Page ");
    header->AddMacro("PAGE");
    for (int p = 1; p <= pages; ++p) {
        TRptSection* section = report->NewSection(title + " section " + std::to_string(p));
        section->PageBreakMode = breakMode;
        for (int l = 0; l < lines; ++l) section->NewLine()->AddText(title + " line " + std::to_string(l));
    }
    return report;
}

// The texts of a page, in the order recorded, joined without separators.
inline std::string PageText(const TPageMetafile& page) {
    std::string text;
    for (const TMetaRecord& record : page.Records())
        if (const auto* t = std::get_if<TMetaText>(&record)) text += t->Text;
    return text;
}

// A clipboard that keeps what it is given.
class TMemoryClipboard : public TClipboard {
public:
    std::string text;
    std::string emf;
    std::string png;
    int pictures = 0;

    std::string GetText() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
    bool SetPicture(const std::string& e, const std::string& p) override {
        emf = e;
        png = p;
        ++pictures;
        return true;
    }
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TScratchDir {
public:
    TScratchDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("mivo_preview_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::size_t CountOf(const std::string& text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

// Every Qt test makes its widgets after this.
class TGuiTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApplication(); }
};

}  // namespace mivo::testing
