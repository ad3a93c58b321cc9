// The prompt layer: every message box and every common or modal dialog of
// the desktop program goes through one TPrompts object, so that tests can
// script the answers and never block on a window.
//
// Implementations: TQtPrompts (platform/QtPrompts.h) shows real Qt boxes and
// dialogs; TScriptedPrompts (platform/ScriptedPrompts.h) answers from a
// script, records every request and fails on one it did not expect.
//
// The interface is free of Qt: texts are UTF-8, colours are red-low-byte
// TColor values, fonts are TCanvasFont records. Our own modal dialogs are
// handed over as a QDialog (declared, not included) so that a scripted run
// can act on the loaded dialog without entering a modal loop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/MivoSettings.h"
#include "platform/Canvas.h"

class QDialog;

namespace mivo {

class TPrinter;

// The four kinds of message box.
enum class TMsgKind : std::uint8_t { Warning, Error, Information, Confirmation };
// The button sets.
enum class TMsgButtons : std::uint8_t { Ok, YesNo, YesNoCancel };
// The button the user pressed. Closing a box without a button answers
// Cancel for YesNoCancel, No for YesNo and Ok for Ok.
enum class TMsgAnswer : std::uint8_t { Ok, Yes, No, Cancel };

// One filter of an open or save dialog: caption and patterns separated by
// ";" (for example "Mivo files (*.mvo)" and "*.mvo").
struct TFileFilter {
    std::string Caption;
    std::string Patterns;
};

// Parses the filter text of the common dialogs, "Caption|*.a;*.b|Caption|*.c",
// into filters; "*.*" stays as it is (the Qt dialog shows it as "*").
std::vector<TFileFilter> ParseFileFilters(const std::string& text);

// An open or save dialog.
struct TFileRequest {
    std::string Title;
    std::vector<TFileFilter> Filters;
    // 1-based index of the chosen filter, as the common dialogs count.
    int FilterIndex = 1;
    // Extension (without dot) appended to a name typed without one.
    std::string DefaultExt;
    std::string InitialDir;
    std::string FileName;
};

struct TFileAnswer {
    std::string FileName;
    int FilterIndex = 1;
};

// The print dialog: page range, copies and collation, and the destination.
// On OK the fields hold the user's choice.
struct TPrintRequest {
    TPrinter* Printer = nullptr;  // the printer the dialog configures; may be null
    int MinPage = 1;
    int MaxPage = 1;
    bool PageRange = false;  // false: all pages
    int FromPage = 1;
    int ToPage = 1;
    int Copies = 1;
    bool Collate = false;
    // The file printed to: the name offered when the printer prints to a
    // file, and on OK the file chosen (empty when a device was chosen). The
    // dialog does not ask about replacing it: the program asks itself.
    std::string OutputFileName;
};

// The page-setup dialog: paper and margins in thousandths of a millimetre
// or of an inch (as `InchUnits` says), and the orientation.
struct TPageSetupRequest {
    bool InchUnits = false;
    std::int32_t PaperWidth = 210000;
    std::int32_t PaperHeight = 297000;
    bool Landscape = false;
    std::int32_t MarginLeft = 25000;
    std::int32_t MarginTop = 25000;
    std::int32_t MarginRight = 25000;
    std::int32_t MarginBottom = 25000;
    std::int32_t MinMarginLeft = 0;
    std::int32_t MinMarginTop = 0;
    std::int32_t MinMarginRight = 0;
    std::int32_t MinMarginBottom = 0;
    bool DisableMargins = false;
    bool DisableOrientation = false;
    bool DisablePaper = false;
};

class TPrompts {
public:
    TPrompts() = default;
    TPrompts(const TPrompts&) = delete;
    TPrompts& operator=(const TPrompts&) = delete;
    virtual ~TPrompts() = default;

    // A message box; "\r" in the text breaks the line.
    virtual TMsgAnswer Message(TMsgKind kind, const std::string& text, TMsgButtons buttons) = 0;
    // Open and save dialogs; nullopt when cancelled. The save dialog never
    // asks about overwriting: the program asks itself, about the name it
    // will actually write.
    virtual std::optional<TFileAnswer> OpenFile(const TFileRequest& request) = 0;
    virtual std::optional<TFileAnswer> SaveFile(const TFileRequest& request) = 0;
    // Print, font, colour and page-setup dialogs: true on OK, with the
    // request updated.
    virtual bool Print(TPrintRequest& request) = 0;
    virtual bool Font(TCanvasFont& font) = 0;
    virtual bool Colour(TColor& colour) = 0;
    virtual bool PageSetup(TPageSetupRequest& request) = 0;
    // One of our own modal dialogs, loaded by the caller and named for the
    // script (for example "ScaleEditor"); returns the dialog's result code
    // (1 OK, 2 Cancel, or the dialog's own codes).
    virtual int Exec(QDialog& dialog, const std::string& name) = 0;
};

// Shorthands for the common boxes; they return true when the answer is Yes.
bool Confirm(TPrompts& prompts, const std::string& text);
void ShowError(TPrompts& prompts, const std::string& text);
void ShowWarning(TPrompts& prompts, const std::string& text);
void ShowInformation(TPrompts& prompts, const std::string& text);

}  // namespace mivo
