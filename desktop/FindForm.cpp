#include "desktop/FindForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ErrorDisplay.h"
#include "platform/QtFontSource.h"

namespace mivo {

TFindForm::TFindForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Find");
    setObjectName("FindForm");
    auto* layout = new QVBoxLayout(this);

    auto* textRow = new QHBoxLayout;
    auto* label = new QLabel("&Text", this);
    FindEdit = new QLineEdit(this);
    label->setBuddy(FindEdit);
    textRow->addWidget(label);
    textRow->addWidget(FindEdit, 1);
    layout->addLayout(textRow);

    auto* groups = new QHBoxLayout;
    auto* where = new QGroupBox("Where?", this);
    auto* whereLayout = new QVBoxLayout(where);
    AttChk = new QCheckBox("Attribute &name", where);
    DescChk = new QCheckBox("Attribute &description", where);
    ScaleChk = new QCheckBox("&Scale", where);
    AttChk->setChecked(true);
    for (QCheckBox* box : {AttChk, DescChk, ScaleChk}) whereLayout->addWidget(box);
    auto* how = new QGroupBox("How?", this);
    auto* howLayout = new QVBoxLayout(how);
    CaseChk = new QCheckBox("&Case sensitive", how);
    howLayout->addWidget(CaseChk);
    howLayout->addStretch();
    groups->addWidget(where);
    groups->addWidget(how);
    layout->addLayout(groups);

    auto* buttons = new QHBoxLayout;
    FindBtn = new QPushButton("&Find", this);
    CancelBtn = new QPushButton("Cancel", this);
    FindBtn->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(FindBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);

    connect(FindEdit, &QLineEdit::textChanged, this, [this] { Guarded([&] { UpdateFindButton(); }); });
    for (QCheckBox* box : {AttChk, DescChk, ScaleChk, CaseChk})
        connect(box, &QCheckBox::toggled, this, [this] { Guarded([&] { UpdateFindButton(); }); });
    connect(FindBtn, &QPushButton::clicked, this, [this] { Guarded([&] { FindBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(DialogCancel); });

    StoreFields();
    UpdateFindButton();
}

void TFindForm::UpdateFindButton() {
    FindBtn->setEnabled(!FindEdit->text().isEmpty() &&
                        (AttChk->isChecked() || DescChk->isChecked() || ScaleChk->isChecked()));
}

void TFindForm::StoreFields() {
    search_.FindText = FromQString(FindEdit->text());
    search_.FindName = AttChk->isChecked();
    search_.FindDesc = DescChk->isChecked();
    search_.FindScale = ScaleChk->isChecked();
    search_.FindCase = CaseChk->isChecked();
}

void TFindForm::LoadFields() {
    FindEdit->setText(ToQString(search_.FindText));
    AttChk->setChecked(search_.FindName);
    DescChk->setChecked(search_.FindDesc);
    ScaleChk->setChecked(search_.FindScale);
    CaseChk->setChecked(search_.FindCase);
    UpdateFindButton();
}

void TFindForm::FindBtnClick() {
    if (!FindBtn->isEnabled()) return;
    StoreFields();
    UpdateFindButton();
    done(DialogOk);
}

int TFindForm::Execute(TPrompts& prompts) {
    LoadFields();
    FindEdit->setFocus();
    FindEdit->selectAll();
    const int result = prompts.Exec(*this, "Find");
    if (result != DialogOk || !FindBtn->isEnabled()) return DialogCancel;
    StoreFields();
    return DialogOk;
}

}  // namespace mivo
