#include "desktop/ModDocForm.h"

#include "platform/QtFontSource.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mivo {

TDocForm::TDocForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Model description");
    setObjectName("DocForm");
    auto* layout = new QVBoxLayout(this);
    auto* nameLabel = new QLabel("Model &name", this);
    NameEdit = new QLineEdit(this);
    nameLabel->setBuddy(NameEdit);
    auto* descLabel = new QLabel("Model &description", this);
    DescEdit = new TMemo(this);
    DescEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    descLabel->setBuddy(DescEdit);
    layout->addWidget(nameLabel);
    layout->addWidget(NameEdit);
    layout->addWidget(descLabel);
    layout->addWidget(DescEdit, 1);
    auto* buttons = new QHBoxLayout;
    OKBtn = new QPushButton("&OK", this);
    CancelBtn = new QPushButton("Cancel", this);
    OKBtn->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(DialogOk); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(DialogCancel); });
    resize(420, 300);
}

void TDocForm::SetModelName(const std::string& name) { NameEdit->setText(ToQString(name)); }
std::string TDocForm::GetModelName() const { return FromQString(NameEdit->text()); }

void TDocForm::SetModelDescription(const std::string& description) {
    QString text = ToQString(description);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    DescEdit->setPlainText(text);
}

std::string TDocForm::GetModelDescription() const {
    QString text = DescEdit->toPlainText();
    text.replace("\n", "\r\n");
    return FromQString(text);
}

bool EditModelDescription(TDocForm& form, TPrompts& prompts, TMivoModel& model) {
    form.SetModelName(model.GetName());
    form.SetModelDescription(model.GetDescription());
    if (prompts.Exec(form, "ModelDescription") != DialogOk) return false;
    const std::string name = form.GetModelName(), description = form.GetModelDescription();
    if (name == model.GetName() && description == model.GetDescription()) return false;
    model.SetName(name);
    model.SetDescription(description);
    model.Changed();
    return true;
}

}  // namespace mivo
