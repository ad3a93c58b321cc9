// The name and description dialog.
#include "desktop/NDEditForm.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"

namespace mivo {

TNameDescEditForm::TNameDescEditForm(TPrompts& prompts, QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      name_edit_(new QLineEdit(this)),
      desc_edit_(new QLineEdit(this)),
      ok_btn_(new QPushButton(tr("&OK"), this)),
      cancel_btn_(new QPushButton(tr("&Cancel"), this)) {
    name_edit_->setObjectName("NameEdit");
    desc_edit_->setObjectName("DescEdit");
    auto* form = new QFormLayout;
    auto* name_label = new QLabel(tr("&Value"), this);
    name_label->setBuddy(name_edit_);
    auto* desc_label = new QLabel(tr("&Description"), this);
    desc_label->setBuddy(desc_edit_);
    form->addRow(name_label, name_edit_);
    form->addRow(desc_label, desc_edit_);

    auto* buttons = new QDialogButtonBox(this);
    ok_btn_->setDefault(true);
    buttons->addButton(ok_btn_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel_btn_, QDialogButtonBox::RejectRole);
    connect(ok_btn_, &QPushButton::clicked, this, &TNameDescEditForm::accept);
    connect(cancel_btn_, &QPushButton::clicked, this, &TNameDescEditForm::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

void TNameDescEditForm::Load(const std::string& caption, const std::string& name, const std::string& description) {
    setWindowTitle(QString::fromStdString(caption));
    name_edit_->setText(QString::fromStdString(name));
    desc_edit_->setText(QString::fromStdString(description));
    name_edit_->selectAll();
    name_edit_->setFocus();
}

std::string TNameDescEditForm::Name() const { return name_edit_->text().toStdString(); }

std::string TNameDescEditForm::Description() const { return desc_edit_->text().toStdString(); }

void TNameDescEditForm::accept() {
    Guarded([&] {
        if (check_) {
            if (const std::string problem = check_(Name()); !problem.empty()) {
                ShowError(prompts_, problem);
                name_edit_->setFocus();
                return;
            }
        }
        QDialog::accept();
    });
}

}  // namespace mivo
