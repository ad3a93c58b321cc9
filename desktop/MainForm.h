// The main window: the multiple-document frame of the desktop program. It
// holds one model window (TModelForm) per open model, the File, Window and
// Help commands, the statistics line, and the services that the model
// windows and dialogs share: the prompt layer, help, the system clipboard,
// the report service (report font, preview pen, modal showing of a report)
// and the two clipboards of the program (a copied attribute subtree and one
// copied option).
//
// Menus: the menu bar is File, then the current model window's page menu,
// then Window and Help, ordered by merge group and merged again whenever
// the current window or its page changes (ResetActiveChild).
//
// Shortcuts: a focused text edit keeps its editing keys; otherwise the
// current page's command with the key runs, else the frame's. Only the
// current page's menu is in the menu bar, so only its shortcuts are live,
// and a frame action whose key a page action has gives it up meanwhile.
//
// The main window is the report builders' host (TReportHost): it answers
// for the current model window of the area (QMdiArea::currentSubWindow,
// which stays set while a modal dialog has the focus).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "platform/Prompts.h"
#include "reports/Graphics.h"
#include "reports/ReportHost.h"
#include "reports/ReportViewer.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace mivo {

class TClipboard;
class THelp;
class THelpKeyFilter;
class TTextBoxKeys;
class TMivoAttribute;
class TMivoModel;
class TModelForm;
class TPrompts;
class TRptForm;
class TSettingsForm;

// Texts of the main window.
inline constexpr const char* SMainCaption = "Mivo";
inline constexpr const char* SOpenFilter =
    "Decision models Mivo (*.mvo)|*.mvo|Models Pelk (*.xml)|*.xml|Zut ASCII Interchange  (*.wox)|*.wox|All files "
    "(*.*)|*.*";
inline constexpr const char* SOptionDoesNotFit =
    "The copied option does not fit this model: it can be pasted only where the basic attributes have the same "
    "names, in the same order, and every value is on the attribute's scale.";

// One copied option: its name, and for each basic attribute of the window
// it came from that attribute's name and value string (bytes as stored).
struct TOptionClipboard {
    std::string Name;
    std::vector<std::string> AttributeNames;
    std::vector<std::string> Values;
};

// Whether a value string is valid on the attribute's scale: empty
// (undefined), "*" (any value), or codes of values of its scale.
bool ValueFitsScale(const TMivoAttribute& attribute, const std::string& value);

// Whether the option fits the attributes: the same names in the same order,
// every value valid on its attribute's scale.
bool OptionFits(const TOptionClipboard& option, const std::vector<TMivoAttribute*>& attributes);

class TMainForm final : public QMainWindow, public TReportHost, private TReportViewer {
    Q_OBJECT
public:
    // The services are not owned and outlive the window. The command line's
    // file names are opened once, after the window is first shown.
    TMainForm(TPrompts& prompts, THelp& help, TClipboard& clipboard, std::vector<std::string> commandLine = {});
    ~TMainForm() override;

    // --- services ---------------------------------------------------------

    TPrompts& Prompts() const { return prompts_; }
    THelp& Help() const { return help_; }
    TClipboard& Clipboard() const { return clipboard_; }
    // The report service: the report font of the font dialog, the preview
    // pen, and a modal showing of a built report under the hourglass.
    TReportViewer& ReportService() { return *this; }
    // The preview that shows reports (the print preview window); null: a
    // report is built and dropped. Not owned.
    void SetReportViewer(TReportViewer* viewer) { viewer_ = viewer; }
    // The report font (initially Arial, 10 pt, east-European character set).
    const TFont& ReportFontRecord() const { return report_font_; }
    void SetReportFont(const TFont& font) { report_font_ = font; }

    // The settings dialog on the model (all pages, or the report page
    // alone); true on OK. Storing a changed record marks the model changed.
    bool ShowSettings(TMivoModel& model, bool allPages);
    // The single instances of the settings and report dialogs.
    TSettingsForm& SettingsForm();
    TRptForm& ReportForm();

    // --- model windows ------------------------------------------------------

    QMdiArea* MdiArea() const { return mdi_area_; }
    // The current model window of the area, or null.
    TModelForm* CurrentModelForm() const;
    std::vector<TModelForm*> ModelForms() const;
    // A new model window: it opens the file when the name is not empty and
    // names an existing file, else it makes a new model. On an error the
    // window is closed again and the error goes on.
    TModelForm* OpenModelWindow(const std::string& fileName);
    // Opens the command line's files that exist, in order; one that fails
    // shows its error and the others still open. The list is then empty.
    void OpenCommandLineFiles();

    // --- the two clipboards ---------------------------------------------------

    // The copied subtree (owned here), or null.
    TMivoAttribute* SubtreeClipboard() const { return subtree_.get(); }
    // Copies the attribute's subtree; the old copy is replaced only once
    // the new one is made. The attribute's name goes to the system
    // clipboard as text.
    void CopySubtree(const TMivoModel& model, const TMivoAttribute* attribute);
    // Copies option `option`: its name, and for every attribute of the list
    // its name and value string.
    void CopyOptionColumn(int option, const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes);
    // Pastes the copied option onto option `option`: its name and the
    // values in attribute order, only when the copy fits the attributes
    // (OptionFits); else a message and nothing changes. True when pasted.
    bool PasteOptionColumn(int option, TMivoModel& model, const std::vector<TMivoAttribute*>& attributes);
    bool OptionClipboardHeld() const { return option_.has_value(); }
    const std::optional<TOptionClipboard>& OptionClipboard() const { return option_; }
    bool OptionClipboardMatches(const TMivoModel& model, const std::vector<TMivoAttribute*>& attributes) const;

    // --- menus, commands, status line --------------------------------------------

    // Merges the menu bar again for the current window and page, and gives
    // the page's keys precedence over the frame's.
    void ResetActiveChild();
    // Enables the frame's commands for the current window, and sets the
    // frame's title.
    void UpdateFrameActions();
    // The frame's title: "Mivo - [caption]" with the current window's
    // caption, "Mivo" alone without a current window.
    void UpdateFrameTitle();
    // The statistics in the status bar.
    void SetStatusText(const std::string& text);
    QLabel* StatisticsLabel() const { return statistics_; }

    // Window arrangements (cascade is the area's own).
    void TileHorizontally();
    void TileVertically();
    void MinimizeAll();
    void ArrangeIcons();

    // The frame's commands.
    void FileNewExecute();
    void FileOpenExecute();
    void FileCloseExecute();
    void FileSaveExecute();
    void FileSaveAsExecute();
    void FileFncImportExecute();
    void FileImportExecute();
    void FileExportExecute();
    void FileFncExportExecute();
    void FileTreeExportExecute();
    void FileDocExecute();
    void FileReportExecute();
    void FileSettingsExecute();
    void FileExitExecute();
    void HelpHelpExecute();
    void HelpAboutExecute();
    void EditCutExecute();
    void EditCopyExecute();
    void EditPasteExecute();

    // The actions, by the names of the commands.
    struct TActions {
        QAction* FileNew;
        QAction* FileOpen;
        QAction* FileClose;
        QAction* FileSave;
        QAction* FileSaveAs;
        QAction* FileFncImport;
        QAction* FileImport;
        QAction* FileExport;
        QAction* FileFncExport;
        QAction* FileTreeExport;
        QAction* FileDoc;
        QAction* FileReport;
        QAction* FileSettings;
        QAction* FileExit;
        QAction* EditCut;
        QAction* EditCopy;
        QAction* EditPaste;
        QAction* WindowCascade;
        QAction* WindowTileH;
        QAction* WindowTileV;
        QAction* WindowMinimizeAll;
        QAction* WindowArrangeAll;
        QAction* HelpHelp;
        QAction* HelpAbout;
    };
    const TActions& Actions() const { return actions_; }
    QMenu* FileMenu() const { return file_menu_; }
    QMenu* WindowMenu() const { return window_menu_; }
    QMenu* HelpMenu() const { return help_menu_; }

    // The model description dialog of the current window; by default
    // EditModelDescriptionOf. Unset: the command does nothing.
    std::function<void(TModelForm&)> ModelDescription;
    // Edits the window's model name and description in the dialog; on a
    // change the model is marked changed, an undo point is taken and the
    // window refreshes.
    void EditModelDescriptionOf(TModelForm& form);

    // --- TReportHost ----------------------------------------------------------------

    bool HasActiveModelWindow() const override;
    std::string ActiveFileName() const override;
    TChartPanel* ChartPanel(TChartId id) const override;

Q_SIGNALS:
    // The command line's files have been opened (after the first show).
    void CommandLineOpened();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Qt titles the frame itself while a child is maximised, from a title
    // it remembered; the frame puts its own back.
    void changeEvent(QEvent* event) override;

private:
    // TReportViewer
    TFont ReportFont() const override { return report_font_; }
    TPen PreviewPen() const override;
    void ShowReport(std::unique_ptr<TReport> report) override;

    void MakeActions();
    void MakeMenus();
    QAction* MakeAction(const QString& caption, const QString& hint, const QKeySequence& key,
                        void (TMainForm::*handler)(), int helpContext = 0);
    void FillWindowMenu();
    void YieldShortcuts();
    // Runs a command of the current model window, when there is one.
    template <class F>
    void OnModelForm(F&& command);

    TPrompts& prompts_;
    THelp& help_;
    TClipboard& clipboard_;
    TReportViewer* viewer_ = nullptr;
    TPrompts* previous_error_prompts_ = nullptr;
    TFont report_font_;
    std::vector<std::string> command_line_;
    TFileRequest open_dialog_;
    bool shown_ = false;
    std::unique_ptr<TMivoAttribute> subtree_;
    std::optional<TOptionClipboard> option_;
    QMdiArea* mdi_area_ = nullptr;
    QLabel* statistics_ = nullptr;
    QToolBar* tool_bar_ = nullptr;
    QMenu* file_menu_ = nullptr;
    QMenu* window_menu_ = nullptr;
    QMenu* help_menu_ = nullptr;
    QAction* window_list_separator_ = nullptr;
    TActions actions_{};
    // Frame actions whose key a page action holds now, with their key.
    std::vector<std::pair<QPointer<QAction>, QKeySequence>> yielded_;
    QPointer<QMdiSubWindow> remembered_child_;
    std::unique_ptr<THelpKeyFilter> help_filter_;
    std::unique_ptr<TTextBoxKeys> text_box_keys_;
    std::unique_ptr<TSettingsForm> settings_form_;
    std::unique_ptr<TRptForm> report_form_;
};

}  // namespace mivo
