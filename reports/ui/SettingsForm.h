// The "Settings" dialog: edits the settings record of one model on three
// pages ("&Report", "&Import/Export", "&Advanced").
//
// The dialog edits only its controls. The record changes when the caller,
// after the dialog ended with OK, asks it to store them; `Run` does the
// whole round (load, pages, modal run through the prompts, store on OK)
// and is what both callers use: the model window with all three pages,
// the report dialog with the report page alone. Pages not shown are hidden,
// not removed, so their controls still hold the loaded values and store
// them back unchanged.
//
// The model is remembered only for one round: a cancelled dialog forgets
// it when it closes, a stored one right after storing, and `Run` on every
// way out, so the single dialog instance never keeps a pointer to a model
// whose window has gone.
#pragma once

#include <QDialog>
#include <QPushButton>

#include "model/MivoSettings.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QSpinBox;
class QTabWidget;

namespace mivo {

class TMivoModel;
class TPrompts;

// A colour swatch button. It keeps the exact 32-bit value it was given
// (bits that carry no colour included) until a colour is chosen.
class TColourSwatch : public QPushButton {
public:
    explicit TColourSwatch(QWidget* parent = nullptr);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor color_ = 0;
};

class TSettingsForm : public QDialog {
    Q_OBJECT

public:
    // Boxes and the colour dialog go through `prompts`.
    explicit TSettingsForm(TPrompts& prompts, QWidget* parent = nullptr);

    // The report page is always shown; the import/export and advanced pages
    // only when `full`. The report page becomes the current one.
    void SetPages(bool full);
    // Remembers the model and, when there is one, sets every control from
    // `settings`, or from the model's own record when that is null.
    void LoadSettings(TMivoModel* model, const TMivoSettings* settings = nullptr);
    // Writes every control into the remembered model's record, then forgets
    // the model. Returns true when the record changed; the model is then
    // marked modified. Without a model nothing happens (false).
    bool StoreSettings();
    // Load, SetPages, the modal run through the prompts (named
    // "SettingsForm"), and StoreSettings on OK. Returns the dialog result;
    // `changed` (when given) says whether the record changed.
    int Run(TMivoModel& model, bool full, bool* changed = nullptr);

    TMivoModel* Model() const { return model_; }

    // "Default": the controls show a fresh record's values; the model's
    // record is untouched until OK and StoreSettings.
    void ResetBtnClick();
    // A colour swatch clicked: the colour dialog with its colour; on OK
    // the swatch takes the chosen one.
    void PanelClick(TColourSwatch& panel);

    // The controls, by page. Page indices: 0 report, 1 import/export,
    // 2 advanced.
    QTabWidget* Pages;
    // "&Report"
    QCheckBox* PageCheck;
    TColourSwatch* BadPanel;
    QCheckBox* BBCheck;
    QCheckBox* BICheck;
    QCheckBox* BUCheck;
    TColourSwatch* GoodPanel;
    QCheckBox* GBCheck;
    QCheckBox* GICheck;
    QCheckBox* GUCheck;
    QListWidget* FShowCheckList;
    QSpinBox* DecEdit;
    QListWidget* WShowCheckList;
    QSpinBox* ColEdit;
    QSpinBox* TrimEdit;
    // "&Import/Export"
    QComboBox* OdtCombo;
    QComboBox* AttCombo;
    QComboBox* DimCombo;
    QComboBox* LevCombo;
    QComboBox* FncOdtCombo;
    QComboBox* RulCombo;
    QComboBox* FmtCombo;
    // "&Advanced"
    QCheckBox* LinkCheck;
    QCheckBox* UndoCheck;
    // Bottom panel
    QPushButton* OkBtn;
    QPushButton* ResetBtn;
    QPushButton* CancelBtn;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakeReportPage();
    QWidget* MakeImportExportPage();
    QWidget* MakeAdvancedPage();
    // Controls from a record, and a record's fields from the controls.
    void LoadControls(const TMivoSettings& settings);
    void StoreControls(TMivoSettings& settings) const;

    TPrompts& prompts_;
    TMivoModel* model_ = nullptr;
};

}  // namespace mivo
