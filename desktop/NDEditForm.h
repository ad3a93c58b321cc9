// The small dialog that edits a name and a description together (used by
// the scale editor for one value).
#pragma once

#include <functional>
#include <string>

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace mivo {

class TPrompts;

class TNameDescEditForm : public QDialog {
    Q_OBJECT
public:
    // Returns the message that refuses a name, or "" when it is fine.
    using TNameCheck = std::function<std::string(const std::string&)>;

    explicit TNameDescEditForm(TPrompts& prompts, QWidget* parent = nullptr);

    // The caption is the caller's; the texts as UTF-8.
    void Load(const std::string& caption, const std::string& name, const std::string& description);
    // OK shows the check's message and keeps the dialog open while it
    // refuses the name.
    void SetNameCheck(TNameCheck check) { check_ = std::move(check); }

    std::string Name() const;
    std::string Description() const;

    QLineEdit* NameEdit() const { return name_edit_; }
    QLineEdit* DescEdit() const { return desc_edit_; }
    QPushButton* OKBtn() const { return ok_btn_; }
    QPushButton* CancelBtn() const { return cancel_btn_; }

    void accept() override;

private:
    TPrompts& prompts_;
    TNameCheck check_;
    QLineEdit* name_edit_;
    QLineEdit* desc_edit_;
    QPushButton* ok_btn_;
    QPushButton* cancel_btn_;
};

}  // namespace mivo
