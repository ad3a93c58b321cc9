// The find dialog: one per main window, shared by all model windows, so
// that "Find next" in any window repeats the last search. The dialog edits
// its controls; the stored search (model/Find.h) changes only when the
// user presses "Find".
#pragma once

#include "desktop/FindFormResult.h"
#include "model/Find.h"
#include "platform/Prompts.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace mivo {

class TFindForm : public QDialog {
    Q_OBJECT
public:
    explicit TFindForm(QWidget* parent = nullptr);

    // The stored search (empty text, names only, case-blind at first).
    const TFindSearch& Search() const { return search_; }

    // Shows the dialog with the stored search; on "Find" the search is
    // stored. Returns DialogOk or DialogCancel.
    int Execute(TPrompts& prompts);

    // "Find" is enabled while the edit holds text and at least one place to
    // look in is checked.
    void UpdateFindButton();
    void StoreFields();
    void LoadFields();

    QLineEdit* FindEdit = nullptr;
    QCheckBox* AttChk = nullptr;
    QCheckBox* DescChk = nullptr;
    QCheckBox* ScaleChk = nullptr;
    QCheckBox* CaseChk = nullptr;
    QPushButton* FindBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void FindBtnClick();

    TFindSearch search_;
};

// "Find next" is enabled by a usable stored search and something to search
// from: a selected node on the Model page, attribute rows on the
// Evaluation page.
inline bool FindNextEnabled(const TFindSearch& search, bool hasTarget) { return hasTarget && search.Usable(); }

}  // namespace mivo
