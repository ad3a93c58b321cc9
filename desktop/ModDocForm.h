// The model description dialog: the model's own name and description (not
// those of its first attribute).
#pragma once

#include <string>

#include "model/MivoModel.h"
#include "desktop/FindFormResult.h"
#include "platform/Prompts.h"
#include "desktop/Memo.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace mivo {

class TDocForm : public QDialog {
    Q_OBJECT
public:
    explicit TDocForm(QWidget* parent = nullptr);

    void SetModelName(const std::string& name);
    std::string GetModelName() const;
    // Descriptions hold their lines separated by CR LF; the memo shows them
    // as lines.
    void SetModelDescription(const std::string& description);
    std::string GetModelDescription() const;

    QLineEdit* NameEdit = nullptr;
    TMemo* DescEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

// Edits the model's name and description in the dialog. On OK with a
// change the model takes them and is marked changed, and the result is
// true (the caller then takes a model undo point and refreshes); on Cancel,
// or OK without a change, nothing changes.
bool EditModelDescription(TDocForm& form, TPrompts& prompts, TMivoModel& model);

}  // namespace mivo
