// The model window: one per open model, a child of the main window's
// multiple-document area. It owns the model (through its state), both undo
// histories and four pages in a tab widget ("&Model", "&Options",
// "Eva&luation", "Cha&rts", see Page.h), and binds the pages' buttons and
// menu items to the command ids and the one enabling function.
//
// Every command of the window ends with UpdateControls, which refreshes the
// caption, the main window's status line, the enabled state of every bound
// command and then each page (in tab order) under the Updating guard.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMdiSubWindow>
#include <QPointer>

#include "desktop/Commands.h"
#include "desktop/FileCommands.h"
#include "desktop/ModelWindowEvents.h"
#include "desktop/ModelWindowState.h"
#include "desktop/UndoCommands.h"

class QAction;
class QTabWidget;
class QTreeWidget;

namespace mivo {

class TMainForm;
class TMivoAttribute;
class TMivoModel;
class TPage;
class TPrompts;

class TModelForm final : public QMdiSubWindow, public TModelWindowEvents {
    Q_OBJECT
public:
    explicit TModelForm(TMainForm& main);
    ~TModelForm() override;

    TMainForm& Main() const { return main_; }
    TPrompts& Prompts() const;
    TModelWindowState& State() { return state_; }
    const TModelWindowState& State() const { return state_; }
    TMivoModel& Model() { return state_.Model(); }
    TUndoCommands& Undo() { return undo_; }
    TFileCommands& Files() { return files_; }
    const std::string& FileName() const { return state_.FileName; }

    // --- pages ----------------------------------------------------------

    QTabWidget* PageControl() const { return page_control_; }
    TPage& Page(TModelPage page) const;
    TPage& CurrentPage() const { return Page(state_.Page); }
    TModelPage CurrentPageId() const { return state_.Page; }
    void SetCurrentPage(TModelPage page);
    // Replaces a page (tests, later pages); the old one is destroyed.
    void InstallPage(TModelPage page, std::unique_ptr<TPage> replacement);

    // Binds a tool button (toolButton set) or a menu item to a command:
    // UpdateControls sets its enabled and checked state, and for a tool
    // button its visibility. A binding ends when the action is destroyed.
    void BindCommand(TCommandId id, QAction* action, bool toolButton);
    // The command states of the last UpdateControls.
    const TCommandStates& Commands() const { return commands_; }

    // --- the attribute tree ----------------------------------------------

    QTreeWidget* ModTreeView() const { return tree_view_; }
    // The attribute of the selected node, or null.
    TMivoAttribute* CurrentObject() const;
    // Selects the attribute's node (none: clears the selection).
    void SelectAttribute(const TMivoAttribute* attribute);
    // Refills the tree from the model, fully expanded, first node selected.
    void FillTree();

    // --- commands ---------------------------------------------------------

    // Commits every edit entered and not yet left (TFileCommands); the
    // report command runs it first, the file commands do themselves.
    void CommitPendingEdits();

    void NewModel();
    void OpenModel(const std::string& fileName);
    // The main window's File commands on this window.
    bool SaveModel();
    bool SaveModelAs();
    void ExportOptions();
    void ImportOptions();
    void ExportFunction();
    void ImportFunction();
    void ExportAttributeTree();
    // The settings dialog on this model (all pages, or only the general
    // ones); storing changed settings marks the model changed.
    void EditSettings(bool allPages);
    bool CanExportFunction() const;
    bool CanImportFunction() const;

    // Undo and redo of the model history (Model page) and the option
    // history (Options and Evaluation pages).
    void ModUndoClick();
    void ModRedoClick();
    void EvalUndoClick();
    void EvalRedoClick();

    // --- TModelWindowEvents ------------------------------------------------

    void ClearTree() override;
    void ModelReplaced() override;
    void OptionsReplaced(const TGridCells& cells) override;
    TGridCells CurrentCells() const override;
    bool CommitPendingOptionEdit() override;
    void UpdateControls() override;
    void Maximize() override;

    // The caption UpdateControls set last (also the sub-window's title).
    QString Caption() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TBinding {
        TCommandId Id;
        QPointer<QAction> Action;
        bool ToolButton;
    };

    void MakePages();
    void PageControlChange(int index);
    void ModTreeViewChange();
    void ApplyCommandStates();
    bool IsInside(const QObject* object) const;

    TMainForm& main_;
    TModelWindowState state_;
    TUndoCommands undo_;
    TFileCommands files_;
    QTabWidget* page_control_ = nullptr;
    QTreeWidget* tree_view_ = nullptr;
    std::array<std::unique_ptr<TPage>, 4> pages_;
    std::vector<TBinding> bindings_;
    TCommandStates commands_;
};

}  // namespace mivo
