#include "desktop/FncEntForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mivo {

TFncEntForm::TFncEntForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter values"));
    auto* group = new QGroupBox(QStringLiteral("Assign permanent values:"), this);
    whole_ = new QRadioButton(QStringLiteral("to all rules (whole table)"), group);
    single_ = new QRadioButton(QStringLiteral("to rules having single (non-interval) values"), group);
    single_->setChecked(true);
    auto* choices = new QVBoxLayout(group);
    choices->addWidget(whole_);
    choices->addWidget(single_);

    enter_ = new QPushButton(QStringLiteral("&Enter"), this);
    enter_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    connect(enter_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(enter_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFncEntForm::WholeTable() const { return whole_->isChecked(); }

void TFncEntForm::SetWholeTable(bool whole) { (whole ? whole_ : single_)->setChecked(true); }

}  // namespace mivo
