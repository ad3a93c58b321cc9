#include "reports/ui/TextDim.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/Prompts.h"

namespace mivo {

namespace {

QSpinBox* AddDimension(QWidget& dialog, QGridLayout& grid, int row, const char* label, int value) {
    auto* edit = new QSpinBox(&dialog);
    edit->setRange(0, TTextDimForm::MaxDimension);
    edit->setValue(value);
    auto* caption = new QLabel(QObject::tr(label), &dialog);
    caption->setBuddy(edit);
    grid.addWidget(caption, row, 0);
    grid.addWidget(edit, row, 1);
    grid.addWidget(new QLabel(QObject::tr("characters"), &dialog), row, 2);
    return edit;
}

}  // namespace

TTextDimForm::TTextDimForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Text Dimensions"));
    setObjectName("TextDimForm");
    auto* grid = new QGridLayout;
    editWidth_ = AddDimension(*this, *grid, 0, "&Width", width_);
    editHeight_ = AddDimension(*this, *grid, 1, "&Height", height_);
    editWidth_->setObjectName("EditWidth");
    editHeight_->setObjectName("EditHeight");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TTextDimForm::Confirm() {
    width_ = editWidth_->value();
    height_ = editHeight_->value();
}

void TTextDimForm::Restore() {
    editWidth_->setValue(width_);
    editHeight_->setValue(height_);
}

void TTextDimForm::done(int result) {
    if (result == QDialog::Accepted)
        Confirm();
    else
        Restore();
    QDialog::done(result);
}

bool TTextDimForm::Execute(TPrompts& prompts) {
    Restore();
    const bool ok = prompts.Exec(*this, "TextDimensions") == QDialog::Accepted;
    if (ok)
        Confirm();
    else
        Restore();
    return ok;
}

}  // namespace mivo
