#include "reports/ui/RptForm.h"

#include <QAction>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"
#include "reports/ui/SettingsForm.h"

namespace mivo {
namespace {

const char* const PartCaptions[TRptForm::PartCount] = {
    "Model description", "Attribute tree", "Scales",  "Scale descriptions", "Function summary",
    "Rule tables",       "Weights",        "Evaluation results", "Chart",
};

TCanvasFont CanvasFont(const TFont& font) {
    TCanvasFont canvas;
    canvas.Name = font.Name;
    canvas.SetSize(font.Size);
    canvas.Style = font.Style;
    canvas.Color = font.Color;
    return canvas;
}

TFont ReportFontOf(const TCanvasFont& canvas) { return TFont{canvas.Name, canvas.Size(), canvas.Style, canvas.Color}; }

}  // namespace

TRptForm::TRptForm(TPrompts& prompts, TSettingsForm* settingsForm, QWidget* parent)
    : QDialog(parent), prompts_(prompts), settings_form_(settingsForm) {
    if (!settings_form_) settings_form_ = new TSettingsForm(prompts_, this);
    setWindowTitle(QStringLiteral("Create report"));
    setObjectName(QStringLiteral("RptForm"));

    RptList = new QListWidget(this);
    for (const char* caption : PartCaptions) {
        auto* item = new QListWidgetItem(QString::fromUtf8(caption), RptList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    RptList->setFixedHeight(RptList->sizeHintForRow(0) * PartCount + 2 * RptList->frameWidth() + 4);
    RptList->setMinimumWidth(220);
    SelectAllItem = new QAction(QStringLiteral("Select all reports"), RptList);
    UnselectAllItem = new QAction(QStringLiteral("Unselect all reports"), RptList);
    RptList->addAction(SelectAllItem);
    RptList->addAction(UnselectAllItem);
    RptList->setContextMenuPolicy(Qt::ActionsContextMenu);

    ReportBtn = new QPushButton(QStringLiteral("&Report"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    FontBtn = new QPushButton(QStringLiteral("Font..."), this);
    SettingsBtn = new QPushButton(QStringLiteral("Settings..."), this);
    ReportBtn->setDefault(true);
    for (auto* button : {CancelBtn, FontBtn, SettingsBtn}) button->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ReportBtn);
    buttons->addWidget(CancelBtn);
    buttons->addSpacing(12);
    buttons->addWidget(FontBtn);
    buttons->addWidget(SettingsBtn);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(RptList);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ReportBtn, &QPushButton::clicked, this, [this] { Guarded([this] { accept(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { Guarded([this] { reject(); }); });
    connect(FontBtn, &QPushButton::clicked, this, [this] { Guarded([this] { FontBtnClick(); }); });
    connect(SettingsBtn, &QPushButton::clicked, this, [this] { Guarded([this] { SettingsBtnClick(); }); });
    connect(SelectAllItem, &QAction::triggered, this, [this] { Guarded([this] { SelectAll(); }); });
    connect(UnselectAllItem, &QAction::triggered, this, [this] { Guarded([this] { UnselectAll(); }); });
}

void TRptForm::SetSelection(const TValueSet& parts) {
    for (int i = 0; i < PartCount; ++i)
        RptList->item(i)->setCheckState(parts.test(static_cast<std::size_t>(i)) ? Qt::Checked : Qt::Unchecked);
}

TValueSet TRptForm::GetSelection() const {
    TValueSet parts;
    for (int i = 0; i < PartCount; ++i)
        if (RptList->item(i)->checkState() == Qt::Checked) parts.set(static_cast<std::size_t>(i));
    // Every part chosen: parts added later are chosen too.
    if (parts.count() == PartCount) return FullValueSet();
    return parts;
}

int TRptForm::Execute(TMivoModel* model) {
    struct TForget {
        TMivoModel*& model;
        ~TForget() { model = nullptr; }
    } forget{model_};
    model_ = model;
    font_changed_ = false;
    return prompts_.Exec(*this, "RptForm");
}

void TRptForm::FontBtnClick() {
    TCanvasFont font = CanvasFont(font_);
    if (!prompts_.Font(font)) return;
    font_ = ReportFontOf(font);
    font_changed_ = true;
}

void TRptForm::SettingsBtnClick() {
    if (!model_) return;
    settings_form_->Run(*model_, false);
}

void TRptForm::SelectAll() { CheckAll(true); }

void TRptForm::UnselectAll() { CheckAll(false); }

void TRptForm::CheckAll(bool checked) {
    for (int i = 0; i < PartCount; ++i) RptList->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TRptForm::done(int result) {
    model_ = nullptr;
    QDialog::done(result);
}

void TRptForm::showEvent(QShowEvent* event) {
    font_changed_ = false;
    QDialog::showEvent(event);
}

}  // namespace mivo
