// The "Create report" dialog: which parts the model report contains, the
// report font, and the report settings of the model.
//
// The selection travels as a report-part set (TMivoSettings::ReportParts):
// item i of the list is member i. The caller hands in the report font and
// reads the chosen one back; `FontChanged` says whether the font dialog
// was confirmed during this showing. The model whose settings "Settings..."
// edits is remembered for one showing only: the dialog forgets it when it
// closes, and `Execute` on every way out.
#pragma once

#include <QDialog>

#include "model/Utils.h"
#include "reports/Graphics.h"

class QAction;
class QListWidget;
class QPushButton;

namespace mivo {

class TMivoModel;
class TPrompts;
class TSettingsForm;

class TRptForm : public QDialog {
    Q_OBJECT

public:
    // The number of report parts in the list.
    static constexpr int PartCount = 9;

    // "Settings..." runs `settingsForm` (report page alone); without one the
    // dialog makes its own. Every dialog goes through `prompts`.
    explicit TRptForm(TPrompts& prompts, TSettingsForm* settingsForm = nullptr, QWidget* parent = nullptr);

    // Item i checked exactly when member i is in the set.
    void SetSelection(const TValueSet& parts);
    // The checked items' members; all 256 members when every item is
    // checked.
    TValueSet GetSelection() const;

    void SetReportFont(const TFont& font) { font_ = font; }
    const TFont& ReportFont() const { return font_; }
    // The font dialog was confirmed since the dialog was last shown.
    bool FontChanged() const { return font_changed_; }

    void SetModel(TMivoModel* model) { model_ = model; }
    TMivoModel* Model() const { return model_; }

    // One showing: remembers the model, clears FontChanged, runs modally
    // through the prompts (named "RptForm") and forgets the model again.
    // Returns the dialog's result (1 OK, 2 Cancel).
    int Execute(TMivoModel* model);

    // "Font...": the font dialog with the report font; OK takes the font
    // and sets FontChanged.
    void FontBtnClick();
    // "Settings...": the model's settings, report page only; stored on OK.
    void SettingsBtnClick();
    // The list's pop-up menu.
    void SelectAll();
    void UnselectAll();

    QListWidget* RptList;
    QAction* SelectAllItem;
    QAction* UnselectAllItem;
    QPushButton* ReportBtn;
    QPushButton* CancelBtn;
    QPushButton* FontBtn;
    QPushButton* SettingsBtn;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CheckAll(bool checked);

    TPrompts& prompts_;
    TSettingsForm* settings_form_;
    TMivoModel* model_ = nullptr;
    TFont font_{"Arial", 10, 0, 0};
    bool font_changed_ = false;
};

}  // namespace mivo
