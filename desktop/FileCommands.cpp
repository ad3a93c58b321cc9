#include "desktop/FileCommands.h"

#include <exception>
#include <filesystem>
#include <utility>

#include "model/Locale.h"
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "model/MivoOptData.h"
#include "model/MivoStr.h"
#include "model/Pelk.h"
#include "model/RuleText.h"
#include "model/RunTime.h"
#include "model/TreeExport.h"
#include "model/WoxImport.h"
#include "model/Xml.h"
#include "model/XmlHeaderScope.h"
#include "platform/ErrorDisplay.h"

namespace mivo {

namespace {

// Where the extension starts: the last "." after the last path separator,
// npos without one.
std::size_t ExtensionStart(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t separator = fileName.find_last_of("/\\");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return std::string::npos;
    return dot;
}

std::string UpperExtension(const std::string& fileName) {
    const std::size_t start = ExtensionStart(fileName);
    return start == std::string::npos ? std::string() : UpperCaseAscii(fileName.substr(start));
}

TFileRequest Dialog(const char* title, const char* defaultExt, std::vector<TFileFilter> filters) {
    TFileRequest request;
    request.Title = title;
    request.DefaultExt = defaultExt;
    request.Filters = std::move(filters);
    return request;
}

// The window refreshes when the command ends, on every path; a refresh
// that fails while unwinding is shown, not thrown.
struct TRefreshOnExit {
    TModelWindowEvents& events;
    bool maximize = false;
    ~TRefreshOnExit() {
        Guarded([this] {
            if (maximize) events.Maximize();
            events.UpdateControls();
        });
    }
};

bool FileExists(const std::string& fileName) {
    std::error_code error;
    return std::filesystem::exists(fileName, error);
}

}  // namespace

TOpenFormat OpenFormatOf(const std::string& fileName) {
    const std::string extension = UpperExtension(fileName);
    if (extension == ".XML") return TOpenFormat::Pelk;
    if (extension == ".WOX") return TOpenFormat::Wox;
    return TOpenFormat::Native;
}

std::string DerivedModelName(const std::string& fileName) {
    // A native name keeps its own spelling of the extension: on a file
    // system that tells letter cases apart "e.MVO" and "e.mvo" are two
    // files, and a later Save must write the one that was read.
    if (UpperExtension(fileName) == ".MVO") return fileName;
    const std::size_t start = ExtensionStart(fileName);
    return (start == std::string::npos ? fileName : fileName.substr(0, start)) + ".mvo";
}

// ---------------------------------------------------------------------------

TFileCommands::TFileCommands(TModelWindowState& state, TModelWindowEvents& events, TUndoCommands& undo,
                             TPrompts& prompts)
    : state_(state),
      events_(events),
      undo_(undo),
      prompts_(prompts),
      save_dialog_(Dialog("Save file", "mvo",
                          {{"Decision model Mivo (*.mvo)", "*.mvo"},
                           {"Model Pelk (*.xml)", "*.xml"},
                           {"Zut ASCII Interchange (*.wox)", "*.wox"},
                           {"Mivo version 1 (*.mvo)", "*.mvo"},
                           {"All files (*.*)", "*.*"}})),
      save_opt_dialog_(Dialog("Export options", "dat", {{"Tab-delimited", "*.*"}, {"Comma-separated (CSV)", "*.*"}})),
      open_opt_dialog_(Dialog("Import options", "", {{"Tab-delimited", "*.*"}, {"Comma separated (CSV)", "*.*"}})),
      save_fnc_dialog_(Dialog("Export function", "dat", {{"Tab-delimited", "*.*"}})),
      open_fnc_dialog_(Dialog("Import function", "dat", {{"Tab-delimited", "*.*"}})),
      save_tree_dialog_(Dialog("Export tree", "gml", {{"GML file", "*.gml"}, {"Tab-Delimited", "*.tab"}})) {}

namespace {

// The dialogs keep the last name and filter chosen for the window's life.
std::optional<TFileAnswer> Remembered(TFileRequest& request, std::optional<TFileAnswer> answer) {
    if (answer) {
        request.FileName = answer->FileName;
        request.FilterIndex = answer->FilterIndex;
    }
    return answer;
}

}  // namespace

std::optional<TFileAnswer> TFileCommands::RunSave(TFileRequest& request) {
    return Remembered(request, prompts_.SaveFile(request));
}

std::optional<TFileAnswer> TFileCommands::RunOpen(TFileRequest& request) {
    return Remembered(request, prompts_.OpenFile(request));
}

bool TFileCommands::MayWrite(const std::string& fileName) {
    if (!FileExists(fileName)) return true;
    return prompts_.Message(TMsgKind::Confirmation, Format(MivoStr::SFileExists, fileName),
                            TMsgButtons::YesNoCancel) == TMsgAnswer::Yes;
}

bool TFileCommands::MayExportPelk(const std::string& fileName) {
    const TPelkLosses losses = PelkLosses(state_.Model());
    if (!losses.Any()) return true;
    return Confirm(prompts_, Format(MivoStr::SPelkLosesData, losses.SetValues, losses.RuleIntervals, fileName));
}

void TFileCommands::SetFileName(const std::string& written) {
    state_.FileName = DerivedModelName(written);
    file_name_derived_ = state_.FileName != written;
}

// --- new and open ------------------------------------------------------------

void TFileCommands::NewModel() {
    const TRefreshOnExit refresh{events_, true};
    auto model = std::make_unique<TMivoModel>();
    model->Root()->AddInput(std::make_unique<TMivoAttribute>(std::string(MivoStr::SEvaluation) + "1"));
    model->Relink();
    model->Modified = true;
    undo_.ReplaceModel(std::move(model));
    state_.FileName.clear();
    file_name_derived_ = false;
}

void TFileCommands::OpenModel(const std::string& fileName) {
    struct TFinally {
        TFileCommands& self;
        ~TFinally() {
            // Also after an error: the window shows what it holds.
            Guarded([this] {
                self.events_.Maximize();
                self.undo_.ResetModelUndo();
                self.events_.UpdateControls();
            });
        }
    } finally{*this};
    // Read into a model of its own: a file that fails to read leaves the
    // window's model as it was.
    auto model = std::make_unique<TMivoModel>();
    std::string warnings;
    switch (OpenFormatOf(fileName)) {
        case TOpenFormat::Pelk: ImportPelk(*model, fileName); break;
        case TOpenFormat::Wox: warnings = ImportWox(*model, fileName); break;
        case TOpenFormat::Native: LoadFromFile(*model, fileName); break;
    }
    undo_.ReplaceModel(std::move(model));
    SetFileName(fileName);
    if (!warnings.empty()) ShowWarning(prompts_, warnings);
}

// --- close question and saving -------------------------------------------------

void TFileCommands::CommitPendingEdits() {
    undo_.CommitPendingEdit();
    events_.CommitPendingOptionEdit();
}

void TFileCommands::SaveQuery() {
    CommitPendingEdits();
    const TMivoModel& model = state_.Model();
    if (!model.Modified) return;
    const std::string name = model.FirstAttributeName();
    const std::string question = state_.FileName.empty() ? Format(MivoStr::SSaveModel, name)
                                                         : Format(MivoStr::SSaveModelToFile, name, state_.FileName);
    switch (prompts_.Message(TMsgKind::Confirmation, question, TMsgButtons::YesNoCancel)) {
        case TMsgAnswer::Yes:
            // A cancelled dialog or a declined overwrite saved nothing: the
            // changes would be lost, so the window stays open.
            if (!SaveModel()) throw ESilentAbort();
            return;
        case TMsgAnswer::No: return;
        default: throw ESilentAbort();
    }
}

bool TFileCommands::CloseQuery() {
    try {
        SaveQuery();
        return true;
    } catch (const ESilentAbort&) {
        return false;
    } catch (const std::exception& error) {
        // A failed save is shown; the window stays open with its changes.
        ShowError(prompts_, error.what());
        return false;
    }
}

bool TFileCommands::SaveModel() {
    CommitPendingEdits();
    if (state_.FileName.empty()) return SaveWithDialog(state_.Model().FirstAttributeName() + ".mvo");
    // A derived name was never read or written here: ask before replacing
    // a file of that name.
    if (file_name_derived_ && !MayWrite(state_.FileName)) return false;
    SaveToFile(state_.Model(), state_.FileName);
    file_name_derived_ = false;
    events_.UpdateControls();
    return true;
}

bool TFileCommands::SaveModelAs() {
    CommitPendingEdits();
    const std::string suggested =
        state_.FileName.empty() ? state_.Model().FirstAttributeName() + ".mvo" : state_.FileName;
    return SaveWithDialog(suggested);
}

bool TFileCommands::SaveWithDialog(const std::string& suggested) {
    save_dialog_.FileName = suggested;
    const std::optional<TFileAnswer> answer = RunSave(save_dialog_);
    if (!answer) return false;
    XmlHeader = std::string(XmlUtf8Header);
    const std::string& name = answer->FileName;
    if (!MayWrite(name)) return false;
    switch (answer->FilterIndex) {
        case SavePelk:
            if (!MayExportPelk(name)) return false;
            ExportPelk(state_.Model(), name);
            break;
        case SaveWox: ExportWox(state_.Model(), name); break;
        case SaveVersion1: {
            TXmlHeaderScope header(XmlPlainHeader);
            SaveToFile(state_.Model(), name);
            break;
        }
        default: SaveToFile(state_.Model(), name); break;
    }
    SetFileName(name);
    events_.UpdateControls();
    return true;
}

// --- option data ---------------------------------------------------------------

void TFileCommands::ExportOptions() {
    CommitPendingEdits();
    const std::optional<TFileAnswer> answer = RunSave(save_opt_dialog_);
    if (!answer || !MayWrite(answer->FileName)) return;
    TMivoModel& model = state_.Model();
    // The file carries the aggregate values too: bring them up to date.
    if (model.NeedsEvaluation) model.Reevaluate();
    TMivoOptData data;
    data.LoadFromModel(&model);
    if (answer->FilterIndex == 2)
        data.ExportCsv(answer->FileName);
    else
        data.ExportTab(answer->FileName);
    events_.UpdateControls();
}

void TFileCommands::ImportOptions() {
    CommitPendingEdits();
    const std::optional<TFileAnswer> answer = RunOpen(open_opt_dialog_);
    if (!answer) return;
    TMivoModel& model = state_.Model();
    {
        TMivoOptData data;
        if (answer->FilterIndex == 2)
            data.ImportCsv(answer->FileName, &model);
        else
            data.ImportTab(answer->FileName, &model);
        data.StoreToModel();
    }
    // The re-evaluation marks only changed aggregate values; the imported
    // values themselves are a change too.
    model.Modified = true;
    state_.StructureChanged();
    {
        auto updating = state_.BeginUpdate();
        events_.OptionsReplaced(events_.CurrentCells());
    }
    // The import is a state of the option history of its own, so Undo
    // takes it back and Redo returns to it.
    undo_.PushOptionUndo();
    events_.UpdateControls();
}

// --- one decision table --------------------------------------------------------

void TFileCommands::ExportFunction() {
    CommitPendingEdits();
    const TMivoAttribute* attribute = state_.CurrentAttribute();
    if (!attribute || !attribute->Funct()) return;
    const std::optional<TFileAnswer> answer = RunSave(save_fnc_dialog_);
    if (!answer || !MayWrite(answer->FileName)) return;
    const TRefreshOnExit refresh{events_};
    ExportFile(*attribute->Funct(), answer->FileName, state_.Model().Settings);
}

void TFileCommands::ImportFunction() {
    CommitPendingEdits();
    TMivoAttribute* attribute = state_.CurrentAttribute();
    if (!CanImportFunction(TModelPage::Model, attribute)) return;
    const std::optional<TFileAnswer> answer = RunOpen(open_fnc_dialog_);
    if (!answer) return;
    TMivoModel& model = state_.Model();
    TMivoFunction* funct = attribute->Funct();
    if (!funct) funct = attribute->CreateFunction();
    if (!funct) throw EMivoError(Format(MivoStr::SCannotCreateFunction, attribute->GetName()));

    TRuleImport counts;
    std::exception_ptr error;
    try {
        counts = ImportFile(*funct, answer->FileName, model.Settings);
        funct->Update(true);
    } catch (...) {
        counts = TRuleImport{};  // nothing applied that can be counted
        error = std::current_exception();
    }
    model.Changed();
    undo_.PushModelUndo();
    events_.UpdateControls();
    ShowInformation(prompts_, Format(MivoStr::SImportFunction, counts.Imported, counts.Changed));
    if (error) std::rethrow_exception(error);
}

// --- the tree ------------------------------------------------------------------

void TFileCommands::ExportAttributeTree() {
    CommitPendingEdits();
    const std::optional<TFileAnswer> answer = RunSave(save_tree_dialog_);
    if (!answer || !MayWrite(answer->FileName)) return;
    const TRefreshOnExit refresh{events_};
    if (answer->FilterIndex == 2)
        ExportTree(state_.Model(), answer->FileName);
    else
        ExportGml(state_.Model(), answer->FileName);
}

// --- settings ------------------------------------------------------------------

void TFileCommands::EditSettings(const std::function<bool(TMivoModel&)>& showDialog) {
    CommitPendingEdits();
    TMivoModel& model = state_.Model();
    const TMivoSettings before = model.Settings;
    if (!showDialog(model)) return;
    if (model.Settings != before) model.Modified = true;

    if (!before.Undoing && model.Undoing()) {
        undo_.ResetModelUndo();
    } else if (before.Undoing && !model.Undoing()) {
        undo_.TruncateModelUndo(0);
        undo_.TruncateOptionUndo(0);
    }
    if (before.Linking != model.Linking()) {
        model.Reevaluate();
        // Linking decides which basic attributes are rows of the options grid.
        state_.StructureChanged();
        auto updating = state_.BeginUpdate();
        events_.OptionsReplaced(events_.CurrentCells());
    }
    events_.UpdateControls();
}

}  // namespace mivo
