// The prompt layer over Qt: message boxes, file, print, font, colour and
// page-setup dialogs, and our own modal dialogs, all shown modally over one
// parent window.
//
// The naming rules of the file dialogs are pure functions below, so they
// can be checked without showing a dialog.
#pragma once

#include <string>

#include <QString>
#include <QStringList>

#include "platform/Prompts.h"

class QFont;
class QWidget;

namespace mivo {

// The Qt name filter of one filter: "Caption (*.a *.b)". A caption that
// already ends in the patterns in brackets is kept as it is; "*.*" is
// shown as "*" (Qt's "all files").
QString QtNameFilter(const TFileFilter& filter);
QStringList QtNameFilters(const std::vector<TFileFilter>& filters);

// The extension (without dot) that a save dialog gives a name typed
// without one: that of the filter's first pattern ("*.mvo" gives "mvo"),
// or `defaultExt` for a filter of all files ("*.*", "*") or one whose
// pattern names no single extension.
std::string FilterExtension(const TFileFilter* filter, const std::string& defaultExt);

// The name a save dialog hands back: `name` with "." and the extension
// above appended when its last path component has no extension; unchanged
// when it has one or when there is no extension to give.
std::string CompleteSaveName(const std::string& name, const TFileFilter* filter, const std::string& defaultExt);

// Message box text as Qt shows it: every "\r" (or "\r\n") becomes a line
// break.
QString MessageText(const std::string& text);

// The font dialog's font for a canvas font (size in points), and the
// chosen font back into the canvas font: name, size at the canvas font's
// pixels per inch, styles; its colour stays.
QFont DialogFont(const TCanvasFont& font);
void TakeDialogFont(const QFont& chosen, TCanvasFont& font);

class TQtPrompts final : public TPrompts {
public:
    // Dialogs open over `parent` (may be null: centred on the screen).
    explicit TQtPrompts(QWidget* parent = nullptr);

    QWidget* Parent() const { return parent_; }
    void SetParent(QWidget* parent) { parent_ = parent; }

    // Boxes carry this title; the application's display name when empty.
    void SetTitle(const std::string& title) { title_ = title; }

    TMsgAnswer Message(TMsgKind kind, const std::string& text, TMsgButtons buttons) override;
    std::optional<TFileAnswer> OpenFile(const TFileRequest& request) override;
    std::optional<TFileAnswer> SaveFile(const TFileRequest& request) override;
    // Runs on the QPrinter of a TQtPrinter when the request names one (so
    // the printer, paper, resolution and destination chosen reach it), else
    // on a scratch printer. A printer writing a PDF file shows the offered
    // output file as its destination.
    bool Print(TPrintRequest& request) override;
    bool Font(TCanvasFont& font) override;
    bool Colour(TColor& colour) override;
    // Runs on a scratch printer: the real printer measures its page inside
    // its own page layout, so margins written into it would count twice.
    // Paper size, orientation and margins go back into the request only.
    bool PageSetup(TPageSetupRequest& request) override;
    int Exec(QDialog& dialog, const std::string& name) override;

private:
    std::optional<TFileAnswer> RunFileDialog(const TFileRequest& request, bool save);
    QString Title() const;

    QWidget* parent_;
    std::string title_;
};

}  // namespace mivo
