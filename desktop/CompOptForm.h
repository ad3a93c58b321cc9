// The compare-options dialog: a main option chosen from a drop-down list
// and the options to compare it with checked in a list (the main option's
// own item disabled). The lists are kept while the same model comes back
// with the same option names, so the previous choice is offered again.
#pragma once

#include <vector>

#include "model/MivoModel.h"
#include "desktop/FindFormResult.h"
#include "platform/Prompts.h"

#include <QDialog>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;

namespace mivo {

class TCompOptForm : public QDialog {
    Q_OBJECT
public:
    explicit TCompOptForm(QWidget* parent = nullptr);

    // Offers the model's options; the lists stay as they are for the model
    // shown last when its option names are unchanged. The model is only
    // compared by identity and read here, never kept for later reading.
    void LoadModel(const TMivoModel* model);
    // The main option's index, then the indices of the enabled, checked
    // options in list order.
    std::vector<int> GetSelection() const;
    // Enabled and checked items.
    int CheckedCount() const;

    // Loads the model, shows the dialog and gives the selection on
    // "Compare"; empty on Cancel.
    std::vector<int> Execute(TPrompts& prompts, const TMivoModel& model);

    void SelAllClick();
    void UnSelAllClick();

    QComboBox* MainOptSel = nullptr;
    QListWidget* OptSel = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QMenu* CompPopMenu = nullptr;

private:
    bool SameOptions(const TMivoModel& model) const;
    void FillOptions(const TMivoModel& model);
    void MainOptSelChange();
    void OptSelClick();
    void CheckAll(bool checked);

    const void* optModel_ = nullptr;  // identity of the model loaded last
    bool busy_ = false;
};

}  // namespace mivo
