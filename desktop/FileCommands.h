// The model window's file commands: a new model, opening a model in any of
// the three readable formats, the question on closing, Save and Save As in
// four formats, import and export of option data and of one decision
// table, export of the attribute tree, and the round trip through the
// settings dialog.
//
// Every question and dialog goes through the prompt layer. The commands
// work on the window's state and call back through TModelWindowEvents
// where the window must refill; each ends with UpdateControls.
//
// File names: after an open, and after a save through the dialog, the
// window's FileName is the name with its extension changed to ".mvo", so
// that a later Save writes a native file beside an imported one. Such a
// derived name was never read or written here, so the first Save to it
// asks before overwriting an existing file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "desktop/ModelWindowEvents.h"
#include "desktop/ModelWindowState.h"
#include "desktop/UndoCommands.h"
#include "platform/Prompts.h"

namespace mivo {

// The save dialog's filters, 1-based as the dialog counts them.
enum TSaveFilter : int {
    SaveNative = 1,    // "Decision model Mivo (*.mvo)"
    SavePelk = 2,      // "Model Pelk (*.xml)"
    SaveWox = 3,       // "Zut ASCII Interchange (*.wox)"
    SaveVersion1 = 4,  // "Mivo version 1 (*.mvo)": plain header, 8-bit text
    SaveAllFiles = 5,  // "All files (*.*)": native
};

// The format a file is opened in, by its upper-cased extension: ".XML"
// Pelk, ".WOX" Wox, anything else the native model file.
enum class TOpenFormat : std::uint8_t { Native, Pelk, Wox };
TOpenFormat OpenFormatOf(const std::string& fileName);

// The name with its extension (the part from the last "." after the last
// path separator) replaced by ".mvo", or ".mvo" appended without one.
std::string DerivedModelName(const std::string& fileName);

class TFileCommands {
public:
    TFileCommands(TModelWindowState& state, TModelWindowEvents& events, TUndoCommands& undo, TPrompts& prompts);

    // A new model with the single top attribute "Evaluation1", selected;
    // no file name. The model history is not reset.
    void NewModel();
    // Reads the file into the window's (empty) model by its extension;
    // FileName becomes the derived ".mvo" name. A Wox file's warnings are
    // shown. Errors propagate after the window has been refilled and the
    // model history reset.
    void OpenModel(const std::string& fileName);

    // The question on closing: true when the window may close. Nothing is
    // asked for an unmodified model. Yes saves; the close is refused when
    // the save is cancelled, declined or fails (a failure is shown).
    bool CloseQuery();
    // The same as an operation that raises ESilentAbort where the close is
    // refused (a failed save's error propagates).
    void SaveQuery();

    // Save: the native file to FileName (asking first when FileName is a
    // derived name and the file exists), or SaveWithDialog without one.
    // True when a file was written.
    bool SaveModel();
    // SaveWithDialog with FileName or the first top attribute's name +
    // ".mvo". True when a file was written.
    bool SaveModelAs();
    // The save dialog with the suggested name, the overwrite question and
    // the write in the chosen format; true when a file was written. Before
    // a Pelk file that cannot hold all of the model's values and rules the
    // user is told what is lost and asked. Cancel, a declined overwrite and
    // a declined Pelk question write nothing and return false.
    bool SaveWithDialog(const std::string& suggested);

    // Option data to a tab-delimited or comma-separated file (the model is
    // re-evaluated first when evaluation is due).
    void ExportOptions();
    // Option data from such a file, matched by option name; takes an
    // option undo point and refills the visible grid.
    void ImportOptions();
    // The current attribute's decision table as tab-delimited rules.
    void ExportFunction();
    // Rules from a file into the current attribute's decision table (made
    // when missing); always shows the counts, then any error.
    void ImportFunction();
    // The attribute tree as GML or as indented tab-separated text.
    void ExportAttributeTree();

    // The settings round trip: `showDialog` shows the settings dialog on
    // the model (storing on OK, which marks the model when the record
    // changed) and returns true on OK. Then the histories follow the undo
    // setting and a changed linking re-evaluates and refills the grid.
    void EditSettings(const std::function<bool(TMivoModel&)>& showDialog);

    // Commits every edit entered and not yet left (the option name, the
    // attribute name and description, the function description) as an
    // undo point of its own. The close question, Save, Save As, the
    // exports, the imports and the settings run it first, before they read
    // or write the whole model.
    void CommitPendingEdits();

    // FileName was derived (open of another format, or a save in one) and
    // the first Save to it has not yet happened.
    bool FileNameDerived() const { return file_name_derived_; }

private:
    // Asks the overwrite question when the file exists; true to go on.
    bool MayWrite(const std::string& fileName);
    // Tells what a Pelk file cannot hold of the model (sets of values,
    // rule intervals) and asks whether to go on; true when nothing is lost
    // or the user says Yes.
    bool MayExportPelk(const std::string& fileName);
    // Runs an open or save dialog, remembering its name and filter.
    std::optional<TFileAnswer> RunSave(TFileRequest& request);
    std::optional<TFileAnswer> RunOpen(TFileRequest& request);
    // The file name a save through the dialog or an open leaves.
    void SetFileName(const std::string& written);

    TModelWindowState& state_;
    TModelWindowEvents& events_;
    TUndoCommands& undo_;
    TPrompts& prompts_;
    bool file_name_derived_ = false;
    TFileRequest save_dialog_;
    TFileRequest save_opt_dialog_;
    TFileRequest open_opt_dialog_;
    TFileRequest save_fnc_dialog_;
    TFileRequest open_fnc_dialog_;
    TFileRequest save_tree_dialog_;
};

}  // namespace mivo
