// The decision-rule editor: a modal window that edits the decision table of
// one aggregate attribute, rule by rule, on a working copy.
//
// How a caller uses it (the tree page):
//
//     TFunctForm editor(model, services, parent);
//     editor.LoadAttribute(attribute);
//     if (editor.Run() == QDialog::Accepted)
//         attribute.SetFunct(editor.TakeFunct());
//
// or, in one call, EditFunction(model, attribute, services). The editor owns
// the working copy until the caller takes it after OK; every other ending
// (Cancel, the close box, a rejected run) frees it. Once a run has ended the
// editor keeps no pointer into the model.
//
// What the user does in it: sets the result value or interval of the
// current rule from the value list, the pop-up menu or the keys "1" up to
// the number of values; clears rules (Delete) or gives them the interval of
// the value list's last entry as not entered (Escape); has the rules not
// entered filled from the scale orders and the weights; opens the weights
// dialog; marks derived values as entered; copies and pastes the table as
// rule text; shows the rules report; undoes and redoes up to 20 states.
// Every user action is one change and one history state.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "desktop/FunctHistory.h"
#include "desktop/Help.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTableView;

namespace mivo {

class TClipboard;
class TFncEntForm;
class TFncGrid;
class TFunctTableModel;
class THelp;
class TMivoAttribute;
class TMivoDiscreteScale;
class TMivoFunction;
class TMivoModel;
class TPrompts;
class TReportViewer;
class TWeiForm;

// The services the editor asks of the program around it; all outlive it.
struct TFunctServices {
    TClipboard& Clipboard;
    TPrompts& Prompts;
    TReportViewer& Viewer;  // report font, preview pen, shows the rules report
    THelp& Help;
};

// The help context of the editor (F1).
inline constexpr int FunctFormHelpContext = HelpRuleEditor;

// The editor's texts.
inline constexpr const char* SDecisionRules = "Decision rules";
inline constexpr const char* SAutomaticValueSetup = "Automatic value setup";
inline constexpr const char* SEnterValuesItem = "Enter values...";

// The result text of a rule [low, high] over an output scale: a value name,
// "*" for the whole scale, "<=high" and ">=low" for intervals reaching an
// end of the scale, else "low:high".
std::string RuleValueText(const TMivoDiscreteScale& scale, int low, int high);

// The caption of a value item of the pop-up menu: "&<index + 1> &<name>",
// with every "&" of the name doubled; "&*" for the name "*".
std::string FncItemCaption(int index, const std::string& name);

class TFunctForm : public QDialog {
    Q_OBJECT
public:
    TFunctForm(TMivoModel& model, const TFunctServices& services, QWidget* parent = nullptr);
    ~TFunctForm() override;

    // Prepares the editor on the attribute's decision table, which must
    // exist: a fresh working copy, the value list and menu of its scale, the
    // grid, the controls the attribute's input orders allow, the weights
    // dialog, a fresh history holding the loaded state. Resets every field
    // of an earlier loading.
    void LoadAttribute(TMivoAttribute& attribute);

    // Shows the loaded editor modally (prompts' Exec, "RuleEditor") with
    // row 1 current, then ends the showing: the weights dialog is freed
    // first, then, unless the result is OK, the working copy; the history
    // is emptied. Returns the result code (QDialog::Accepted for OK).
    int Run();

    // The working copy, handed over once after Run returned OK; nullptr
    // otherwise.
    std::unique_ptr<TMivoFunction> TakeFunct();

    // The one refresh after every change: refits the weights model when
    // UseWeights is on or the last fit failed, updates the table (deriving
    // the rules not entered unless automatic setup is off), refreshes the
    // result column, records a history state when `push`, and updates the
    // status. The weights dialog calls it after OK and Apply.
    void Recompute(bool push);

    // --- what tests and the demo look at -------------------------------

    // The working copy while it is the editor's (nullptr after a run).
    TMivoFunction* Funct() const { return funct_.get(); }
    TMivoAttribute* Attribute() const { return attribute_; }
    // The rule of the grid's current row (-1 when none).
    int CurrentRule() const;
    // Makes rule r current (grid row r + 1) and updates the status.
    void SelectRule(int rule);
    bool NoAutomatic() const { return no_automatic_; }
    int IntervalLow() const { return interval_low_; }
    int IntervalHigh() const { return interval_high_; }
    const TFunctHistory& History() const { return history_; }
    // The status line's text.
    QString StatusText() const;

    QComboBox* ValueEdit() const { return value_edit_; }
    QTableView* FncGrid() const;
    TFunctTableModel* GridModel() const { return grid_model_.get(); }
    QMenu* FncEditMenu() const { return edit_menu_; }
    // The value items of the menu, index 0..m (the last one "&*").
    const std::vector<QAction*>& ValueItems() const { return value_items_; }
    QAction* AutItem() const { return aut_item_; }
    QAction* EntItem() const { return ent_item_; }
    QPushButton* FncDelBtn() const { return del_btn_; }
    QPushButton* FncRptBtn() const { return rpt_btn_; }
    QPushButton* FncWeiBtn() const { return wei_btn_; }
    QCheckBox* FncCstChk() const { return cst_chk_; }
    QCheckBox* FncWeiChk() const { return wei_chk_; }
    QPushButton* UndoBtn() const { return undo_btn_; }
    QPushButton* RedoBtn() const { return redo_btn_; }
    QPushButton* FncCopyBtn() const { return copy_btn_; }
    QPushButton* FncPasteBtn() const { return paste_btn_; }
    QPushButton* OKBtn() const { return ok_btn_; }
    QPushButton* CancelBtn() const { return cancel_btn_; }
    // The weights dialog of the loaded function (nullptr for an attribute
    // whose inputs are not all ascending, and after a run).
    TWeiForm* WeiForm() const { return wei_form_.get(); }
    TFncEntForm* EntForm() const { return ent_form_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void InstallKeyFilter();
    void FillValueChoices();
    void FillEditMenu();
    void FillGrid();
    void ShowOrderedControls(bool visible);

    // Handlers of user actions; each does nothing while a refresh runs.
    void ValueEditActivated(int index);
    void ValueItemClick(int index);
    void ValueKey(int value);
    void DeleteRule();
    void EscapeRule();
    void CheckBoxClick();
    void AutItemClick(bool checked);
    void EntItemClick();
    void WeightsClick();
    void CopyClick();
    void PasteClick();
    void ReportClick();
    void UndoClick();
    void RedoClick();
    void GridCurrentChanged();

    // Sets the current rule to [low, high] with the flag and refreshes with
    // a history state; an interval outside 0 <= low <= high <= m - 1, or no
    // current rule, changes nothing.
    void ApplyToRule(int low, int high, bool entered);

    void RecomputeAutomatic();
    void FillResultColumn();
    void UpdateStatus();
    void PushUndo();
    void ResetUndo();
    // Takes state `index` of the history into the working copy.
    void RestoreState(int index);
    // The showing has ended with `result`.
    void EndShowing(int result);

    int OutputSize() const;

    TMivoModel& model_;
    TFunctServices services_;

    TMivoAttribute* attribute_ = nullptr;      // not owned
    std::unique_ptr<TMivoFunction> funct_;     // the working copy
    TMivoDiscreteScale* scale_ = nullptr;      // the attribute's own scale; not owned
    TMivoFunction* orig_funct_ = nullptr;      // the stored function at load; not owned
    bool updating_ = false;
    int interval_low_ = 0;
    int interval_high_ = 0;
    bool no_automatic_ = true;
    bool taken_ok_ = false;                    // the last run ended with OK
    bool summary_stale_ = true;                // the status line and "Enter values" need the table again
    TFunctHistory history_;

    std::unique_ptr<TFunctTableModel> grid_model_;
    std::unique_ptr<TWeiForm> wei_form_;
    std::unique_ptr<TFncEntForm> ent_form_;

    QComboBox* value_edit_ = nullptr;
    QPushButton* del_btn_ = nullptr;
    QPushButton* rpt_btn_ = nullptr;
    QPushButton* wei_btn_ = nullptr;
    QCheckBox* cst_chk_ = nullptr;
    QCheckBox* wei_chk_ = nullptr;
    TFncGrid* grid_ = nullptr;
    QStatusBar* status_bar_ = nullptr;
    QLabel* status_label_ = nullptr;
    QPushButton* undo_btn_ = nullptr;
    QPushButton* redo_btn_ = nullptr;
    QPushButton* copy_btn_ = nullptr;
    QPushButton* paste_btn_ = nullptr;
    QPushButton* ok_btn_ = nullptr;
    QPushButton* cancel_btn_ = nullptr;
    QMenu* edit_menu_ = nullptr;
    std::vector<QAction*> value_items_;
    QAction* aut_item_ = nullptr;
    QAction* ent_item_ = nullptr;
};

// Opens the editor on the attribute's decision table, runs it and returns
// the edited table on OK (the caller puts it in place with
// TMivoAttribute::SetFunct and records the change), nullptr on any other
// ending. The attribute must have a function.
std::unique_ptr<TMivoFunction> EditFunction(TMivoModel& model, TMivoAttribute& attribute,
                                            const TFunctServices& services, QWidget* parent = nullptr);

}  // namespace mivo
