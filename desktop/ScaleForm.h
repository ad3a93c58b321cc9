// The scale editor: the modal dialog in which the user edits the value
// scale of one attribute (values with names and descriptions, their order,
// the scale's order, the bad, neutral and good classes, the interval flag)
// and whether it becomes the model's default scale for new attributes.
//
// The dialog changes nothing in the model before it is confirmed: it owns a
// TScaleEdit (model/ScaleEdit.h) that holds the working scale and copies of
// the attribute's option values, its own table and its parent's table, all
// kept in step with every edit. After the dialog closed with OK the caller
// hands them over with Apply; Cancel drops them. Make a fresh dialog for
// every use and open it through the prompt layer
// (`prompts.Exec(form, "ScaleEditor")`).
#pragma once

#include <memory>
#include <string>

#include <QDialog>

class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mivo {

class TMivoAttribute;
class TMivoDiscreteScale;
class TMivoModel;
class TMivoObject;
class TPrompts;
class TScaleEdit;
class TValueNameDelegate;

// Images of the value rows.
enum TValueClassImage : int { vcBad = 0, vcNeutral = 1, vcGood = 2 };

class TScaleForm : public QDialog {
    Q_OBJECT
public:
    explicit TScaleForm(TPrompts& prompts, QWidget* parent = nullptr);
    ~TScaleForm() override;

    // Starts the edit of the attribute's scale. `defaultScale` is the
    // model's default scale for new attributes (TMivoModel::Selected); the
    // check box is ticked when the attribute's scale is that very scale.
    void LoadAttribute(TMivoAttribute& attribute, const TMivoObject* defaultScale);

    // After the dialog closed with OK: the attribute takes the working scale,
    // its option values and its table copy, its parent the parent's table
    // copy; the model's default scale becomes the new scale when the check
    // box was ticked at the close, and is cleared when it was the
    // attribute's old scale and the box was not. Returns the new scale. The
    // dialog holds nothing of the edit afterwards.
    TMivoDiscreteScale* Apply(TMivoModel& model);

    // The edit in progress; nullptr before LoadAttribute and after Apply or
    // Cancel.
    const TScaleEdit* Edit() const { return edit_.get(); }
    // Index of the selected row; -1 when no row is selected or there is no
    // edit.
    int CurrentValueIndex() const;
    // The in-place editor of a value name while one is open.
    QWidget* OpenNameEditor() const;
    // Whether the default check box was ticked when the dialog was confirmed.
    bool DefaultChosen() const { return default_chosen_; }

    // --- controls --------------------------------------------------------
    QComboBox* OrderEdit() const { return order_edit_; }
    QTreeWidget* ValueList() const { return value_list_; }
    QPushButton* SclAddBtn() const { return add_btn_; }
    QPushButton* SclDelBtn() const { return del_btn_; }
    QPushButton* SclEditBtn() const { return edit_btn_; }
    QPushButton* SclBadBtn() const { return bad_btn_; }
    QPushButton* SclNeutrBtn() const { return neutral_btn_; }
    QPushButton* SclGoodBtn() const { return good_btn_; }
    QPushButton* SclUpBtn() const { return up_btn_; }
    QPushButton* SclDnBtn() const { return down_btn_; }
    QCheckBox* StdScale() const { return std_scale_; }
    QPushButton* OKBtn() const { return ok_btn_; }
    QPushButton* CancelBtn() const { return cancel_btn_; }
    QMenu* ValueMenu() const { return value_menu_; }
    QAction* AddValueItem() const { return add_item_; }
    QAction* DeleteValueItem() const { return del_item_; }
    QAction* EditValueItem() const { return edit_item_; }
    QAction* RenameValueItem() const { return rename_item_; }
    QAction* BadValueItem() const { return bad_item_; }
    QAction* NeutralValueItem() const { return neutral_item_; }
    QAction* GoodValueItem() const { return good_item_; }
    QAction* MoveUpItem() const { return up_item_; }
    QAction* MoveDownItem() const { return down_item_; }
    QAction* IntervalItem() const { return interval_item_; }

    // --- handlers --------------------------------------------------------
    void SclAddBtnClick();
    void SclDelBtnClick();
    void SclEditBtnClick();
    void SclBadBtnClick();
    void SclNeutrBtnClick();
    void SclGoodBtnClick();
    void SclUpBtnClick();
    void SclDnBtnClick();
    void IntervalItemClick();
    void OrderEditChange(int index);
    // Starts the in-place edit of the current value's name.
    void RenameValueClick();

    // OK first ends an open in-place edit; it is refused while two values
    // share a name.
    void accept() override;
    // Cancel drops the edit.
    void reject() override;

protected:
    // A scale of a single value (a new attribute's) opens with that value's
    // name ready for editing.
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void BuildMenu();
    // One row per value, then the class images; row `index` selected.
    void FillValueList(int index);
    void UpdateValueClasses();
    void UpdateControls();
    void SelectRow(int index);
    void StartNameEdit(int index);
    // Takes the text of an open in-place edit into the scale and closes
    // the editor: every command that refills the list runs it first.
    void CommitNameEdit();
    // An in-place rename of a row: checked, then taken or undone.
    void ValueListEdited(QTreeWidgetItem* item, int column);
    // Bad, neutral or good at the current value.
    void MarkCurrent(void (TScaleEdit::*mark)(int));
    // Asks about the parent table's new size before a value is added.
    bool ParentTableMayGrow();

    TPrompts& prompts_;
    std::unique_ptr<TScaleEdit> edit_;
    bool default_chosen_ = false;
    bool large_table_accepted_ = false;
    bool updating_ = false;

    QComboBox* order_edit_;
    QTreeWidget* value_list_;
    TValueNameDelegate* name_delegate_;
    QPushButton* add_btn_;
    QPushButton* del_btn_;
    QPushButton* edit_btn_;
    QPushButton* bad_btn_;
    QPushButton* neutral_btn_;
    QPushButton* good_btn_;
    QPushButton* up_btn_;
    QPushButton* down_btn_;
    QCheckBox* std_scale_;
    QPushButton* ok_btn_;
    QPushButton* cancel_btn_;
    QMenu* value_menu_;
    QAction* add_item_;
    QAction* del_item_;
    QAction* edit_item_;
    QAction* rename_item_;
    QAction* bad_item_;
    QAction* neutral_item_;
    QAction* good_item_;
    QAction* up_item_;
    QAction* down_item_;
    QAction* interval_item_;
};

}  // namespace mivo
