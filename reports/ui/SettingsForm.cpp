#include "model/MivoModel.h"

#include "reports/ui/SettingsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"
#include "platform/QtColour.h"

namespace mivo {
namespace {

// Members of WeightShow, in the order of the weights check list.
constexpr int WeightShowItems = 4;

QListWidget* MakeCheckList(std::initializer_list<const char*> captions, QWidget* parent) {
    auto* list = new QListWidget(parent);
    for (const char* caption : captions) {
        auto* item = new QListWidgetItem(QString::fromUtf8(caption), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    const int rows = static_cast<int>(captions.size());
    list->setFixedHeight(list->sizeHintForRow(0) * rows + 2 * list->frameWidth() + 4);
    return list;
}

bool IsChecked(const QListWidget& list, int row) { return list.item(row)->checkState() == Qt::Checked; }

void SetChecked(QListWidget& list, int row, bool checked) {
    list.item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

// A drop-down list: a choice among its items, never typed text.
QComboBox* MakeCombo(std::initializer_list<const char*> items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    for (const char* item : items) combo->addItem(QString::fromUtf8(item));
    return combo;
}

// An item index from a stored byte; a value outside the items picks the
// nearest one.
void SetIndex(QComboBox& combo, int index) { combo.setCurrentIndex(std::clamp(index, 0, combo.count() - 1)); }

// A Boolean held by a two-item combo: item 0 stands for `first`.
void SetChoice(QComboBox& combo, bool value, bool first) { combo.setCurrentIndex(value == first ? 0 : 1); }
bool Choice(const QComboBox& combo, bool first) { return combo.currentIndex() == 0 ? first : !first; }

QSpinBox* MakeSpin(int minimum, int maximum, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    return spin;
}

void LoadStyle(TFontStyles style, QCheckBox& bold, QCheckBox& italic, QCheckBox& underline) {
    bold.setChecked((style & fsBold) != 0);
    italic.setChecked((style & fsItalic) != 0);
    underline.setChecked((style & fsUnderline) != 0);
}

TFontStyles StoredStyle(const QCheckBox& bold, const QCheckBox& italic, const QCheckBox& underline) {
    TFontStyles style = 0;
    if (bold.isChecked()) style |= fsBold;
    if (italic.isChecked()) style |= fsItalic;
    if (underline.isChecked()) style |= fsUnderline;
    return style;
}

// A group box with the colour swatch and its three style boxes.
QGroupBox* MakeValueGroup(const char* title, TColourSwatch*& panel, QCheckBox*& bold, QCheckBox*& italic,
                          QCheckBox*& underline, QWidget* parent) {
    auto* group = new QGroupBox(QString::fromUtf8(title), parent);
    auto* layout = new QHBoxLayout(group);
    panel = new TColourSwatch(group);
    bold = new QCheckBox(QStringLiteral("bold"), group);
    italic = new QCheckBox(QStringLiteral("italic"), group);
    underline = new QCheckBox(QStringLiteral("underlined"), group);
    layout->addWidget(panel);
    layout->addWidget(bold);
    layout->addWidget(italic);
    layout->addWidget(underline);
    layout->addStretch();
    return group;
}

QGroupBox* MakeShowBox(QListWidget*& list, std::initializer_list<const char*> captions, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Show"), parent);
    auto* layout = new QVBoxLayout(box);
    list = MakeCheckList(captions, box);
    layout->addWidget(list);
    return box;
}

}  // namespace

TColourSwatch::TColourSwatch(QWidget* parent) : QPushButton(parent) {
    setMinimumSize(48, 24);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(QStringLiteral("Colour"));
}

void TColourSwatch::SetColor(TColor color) {
    color_ = color;
    update();
}

void TColourSwatch::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch = rect().adjusted(5, 5, -6, -6);
    painter.fillRect(swatch, ToQColor(color_));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(swatch);
}

TSettingsForm::TSettingsForm(TPrompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("Settings"));
    setObjectName(QStringLiteral("SettingsForm"));

    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->addTab(MakeReportPage(), QStringLiteral("&Report"));
    Pages->addTab(MakeImportExportPage(), QStringLiteral("&Import/Export"));
    Pages->addTab(MakeAdvancedPage(), QStringLiteral("&Advanced"));
    layout->addWidget(Pages);

    auto* buttons = new QHBoxLayout;
    OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    ResetBtn = new QPushButton(QStringLiteral("Default"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    OkBtn->setDefault(true);
    ResetBtn->setAutoDefault(false);
    CancelBtn->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(ResetBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OkBtn, &QPushButton::clicked, this, [this] { Guarded([this] { accept(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { Guarded([this] { reject(); }); });
    connect(ResetBtn, &QPushButton::clicked, this, [this] { Guarded([this] { ResetBtnClick(); }); });
    connect(BadPanel, &QPushButton::clicked, this, [this] { Guarded([this] { PanelClick(*BadPanel); }); });
    connect(GoodPanel, &QPushButton::clicked, this, [this] { Guarded([this] { PanelClick(*GoodPanel); }); });

    LoadControls(TMivoSettings{});
}

QWidget* TSettingsForm::MakeReportPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    PageCheck = new QCheckBox(QStringLiteral("Each section on new page"), page);
    grid->addWidget(PageCheck, 0, 0, 1, 2);
    grid->addWidget(MakeValueGroup("Bad values", BadPanel, BBCheck, BICheck, BUCheck, page), 1, 0);
    grid->addWidget(MakeValueGroup("Good values", GoodPanel, GBCheck, GICheck, GUCheck, page), 1, 1);

    auto* functions = new QGroupBox(QStringLiteral("Functions"), page);
    auto* functionsLayout = new QVBoxLayout(functions);
    functionsLayout->addWidget(MakeShowBox(
        FShowCheckList, {"weights", "rule numbers", "complex rules", "entered rules only"}, functions));
    functionsLayout->addStretch();
    grid->addWidget(functions, 2, 0);

    auto* weights = new QGroupBox(QStringLiteral("Weights"), page);
    auto* weightsLayout = new QVBoxLayout(weights);
    auto* decimals = new QFormLayout;
    DecEdit = MakeSpin(0, 5, weights);
    decimals->addRow(QStringLiteral("Decimal places:"), DecEdit);
    weightsLayout->addLayout(decimals);
    weightsLayout->addWidget(MakeShowBox(WShowCheckList,
                                         {"local weights", "global weights", "normalized local weights",
                                          "normalized global weights"},
                                         weights));
    grid->addWidget(weights, 2, 1);

    auto* evaluation = new QGroupBox(QStringLiteral("Evaluation"), page);
    auto* evaluationLayout = new QFormLayout(evaluation);
    ColEdit = MakeSpin(1, 20, evaluation);
    TrimEdit = MakeSpin(0, 100, evaluation);
    evaluationLayout->addRow(QStringLiteral("Number of columns:"), ColEdit);
    evaluationLayout->addRow(QStringLiteral("Trim characters:"), TrimEdit);
    grid->addWidget(evaluation, 3, 0);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget* TSettingsForm::MakeImportExportPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* options = new QGroupBox(QStringLiteral("Option data format"), page);
    auto* optionsForm = new QFormLayout(options);
    OdtCombo = MakeCombo({"base 0", "base 1", "text"}, options);
    AttCombo = MakeCombo({"all", "basic"}, options);
    DimCombo = MakeCombo({"normal (attributes \\ options)", "transposed (options \\ attributes)"}, options);
    LevCombo = MakeCombo({"indent", "no indent"}, options);
    optionsForm->addRow(QStringLiteral("Option values:"), OdtCombo);
    optionsForm->addRow(QStringLiteral("Attributes:"), AttCombo);
    optionsForm->addRow(QStringLiteral("Orientation:"), DimCombo);
    optionsForm->addRow(QStringLiteral("Indent:"), LevCombo);
    layout->addWidget(options);

    auto* functions = new QGroupBox(QStringLiteral("Function data format"), page);
    auto* functionsForm = new QFormLayout(functions);
    FncOdtCombo = MakeCombo({"base 0", "base 1", "text"}, functions);
    RulCombo = MakeCombo({"all", "only entered"}, functions);
    FmtCombo = MakeCombo({"from <tab> to", "from:to", "*; <=; >="}, functions);
    functionsForm->addRow(QStringLiteral("Attribute values:"), FncOdtCombo);
    functionsForm->addRow(QStringLiteral("Rules:"), RulCombo);
    functionsForm->addRow(QStringLiteral("Interval format:"), FmtCombo);
    layout->addWidget(functions);
    layout->addStretch();
    return page;
}

QWidget* TSettingsForm::MakeAdvancedPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    LinkCheck = new QCheckBox(QStringLiteral("Link equal attributes"), page);
    UndoCheck = new QCheckBox(QStringLiteral("Undo/Redo"), page);
    layout->addWidget(LinkCheck);
    layout->addWidget(UndoCheck);
    layout->addStretch();
    return page;
}

void TSettingsForm::SetPages(bool full) {
    Pages->setTabVisible(1, full);
    Pages->setTabVisible(2, full);
    Pages->setCurrentIndex(0);
}

void TSettingsForm::LoadSettings(TMivoModel* model, const TMivoSettings* settings) {
    model_ = model;
    if (!model_) return;
    LoadControls(settings ? *settings : model_->Settings);
}

void TSettingsForm::LoadControls(const TMivoSettings& s) {
    PageCheck->setChecked(s.PageBreak);
    BadPanel->SetColor(s.BadColor);
    GoodPanel->SetColor(s.GoodColor);
    LoadStyle(s.BadFontStyle, *BBCheck, *BICheck, *BUCheck);
    LoadStyle(s.GoodFontStyle, *GBCheck, *GICheck, *GUCheck);
    SetChecked(*FShowCheckList, 0, s.ShowWeights);
    SetChecked(*FShowCheckList, 1, s.ShowNum);
    SetChecked(*FShowCheckList, 2, s.ComplexRules);
    SetChecked(*FShowCheckList, 3, s.EnteredOnly);
    for (int member = 0; member < WeightShowItems; ++member)
        SetChecked(*WShowCheckList, member, s.WeightShow.test(static_cast<std::size_t>(member)));
    DecEdit->setValue(s.WeightDec);
    ColEdit->setValue(s.EvalColumns());
    TrimEdit->setValue(s.EvalTrim);

    SetIndex(*OdtCombo, s.OptDataType);
    SetChoice(*AttCombo, s.OptDataAll, true);
    SetChoice(*DimCombo, s.OptTranspose, false);
    SetChoice(*LevCombo, s.OptLevels, true);
    SetIndex(*FncOdtCombo, s.FncDataType);
    SetChoice(*RulCombo, s.FncDataAll, true);
    SetIndex(*FmtCombo, s.FncFormatType);

    LinkCheck->setChecked(s.Linking);
    UndoCheck->setChecked(s.Undoing);
}

void TSettingsForm::StoreControls(TMivoSettings& s) const {
    s.PageBreak = PageCheck->isChecked();
    s.BadColor = BadPanel->Color();
    s.GoodColor = GoodPanel->Color();
    s.BadFontStyle = StoredStyle(*BBCheck, *BICheck, *BUCheck);
    s.GoodFontStyle = StoredStyle(*GBCheck, *GICheck, *GUCheck);
    s.ShowWeights = IsChecked(*FShowCheckList, 0);
    s.ShowNum = IsChecked(*FShowCheckList, 1);
    s.ComplexRules = IsChecked(*FShowCheckList, 2);
    s.EnteredOnly = IsChecked(*FShowCheckList, 3);
    // Members past the four shown carry no meaning yet and stay set.
    s.WeightShow = FullValueSet();
    for (int member = 0; member < WeightShowItems; ++member)
        if (!IsChecked(*WShowCheckList, member)) s.WeightShow.reset(static_cast<std::size_t>(member));
    s.WeightDec = DecEdit->value();
    s.EvalCol = ColEdit->value();
    s.EvalTrim = TrimEdit->value();

    s.OptDataType = static_cast<std::uint8_t>(OdtCombo->currentIndex());
    s.OptDataAll = Choice(*AttCombo, true);
    s.OptTranspose = Choice(*DimCombo, false);
    s.OptLevels = Choice(*LevCombo, true);
    s.FncDataType = static_cast<std::uint8_t>(FncOdtCombo->currentIndex());
    s.FncDataAll = Choice(*RulCombo, true);
    s.FncFormatType = static_cast<std::uint8_t>(FmtCombo->currentIndex());

    s.Linking = LinkCheck->isChecked();
    s.Undoing = UndoCheck->isChecked();
}

bool TSettingsForm::StoreSettings() {
    if (!model_) return false;
    TMivoModel& model = *model_;
    model_ = nullptr;
    TMivoSettings stored = model.Settings;
    StoreControls(stored);
    if (stored == model.Settings) return false;
    model.Settings = std::move(stored);
    model.Modified = true;
    return true;
}

int TSettingsForm::Run(TMivoModel& model, bool full, bool* changed) {
    if (changed) *changed = false;
    struct TForget {
        TMivoModel*& model;
        ~TForget() { model = nullptr; }
    } forget{model_};
    LoadSettings(&model);
    SetPages(full);
    const int result = prompts_.Exec(*this, "SettingsForm");
    if (result == QDialog::Accepted) {
        const bool stored = StoreSettings();
        if (changed) *changed = stored;
    }
    return result;
}

void TSettingsForm::ResetBtnClick() {
    const TMivoSettings defaults;
    LoadSettings(model_, &defaults);
}

void TSettingsForm::PanelClick(TColourSwatch& panel) {
    TColor colour = panel.Color();
    if (prompts_.Colour(colour)) panel.SetColor(colour);
}

void TSettingsForm::done(int result) {
    // A cancelled dialog stores nothing, so the model is no longer needed;
    // after OK the caller stores, which forgets it.
    if (result != QDialog::Accepted) model_ = nullptr;
    QDialog::done(result);
}

void TSettingsForm::showEvent(QShowEvent* event) {
    Pages->setCurrentIndex(0);
    QDialog::showEvent(event);
}

}  // namespace mivo
