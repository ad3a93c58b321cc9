#include "desktop/WeightForm.h"

#include <algorithm>
#include <cmath>

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "desktop/WeightSlider.h"
#include "model/MivoAttribute.h"
#include "model/MivoFunction.h"
#include "model/MivoUtl.h"
#include "model/RunTime.h"
#include "platform/ErrorDisplay.h"
#include "platform/Prompts.h"
#include "platform/QtBusyCursor.h"

namespace mivo {

namespace {

constexpr int ClientWidth = 374;
constexpr int TopPanelHeight = 15;
constexpr int NameWidth = 96;
constexpr int WeightWidth = 60;
const QColor Navy{0, 0, 128};

QLabel* MakeLabel(const QString& text, QWidget* parent, bool bold = false, bool right = false) {
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    if (right) label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void MakeNavy(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Navy);
    label->setPalette(palette);
}

// The four columns of the heading and of every row: name, slider, required
// and current weight, at the same widths so that they line up.
void LayOutColumns(QWidget* owner, QWidget* name, QWidget* middle, QWidget* required, QWidget* current) {
    name->setFixedWidth(NameWidth);
    required->setFixedWidth(WeightWidth);
    current->setFixedWidth(WeightWidth);
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(6);
    layout->addWidget(name);
    layout->addWidget(middle, 1);
    layout->addWidget(required);
    layout->addWidget(current);
}

// One weight per input: the list as it is when it has one per input,
// otherwise `missing` for each input it lacks.
TFloatList OnePerInput(const TFloatList& weights, int inputs, double missing) {
    TFloatList result(static_cast<std::size_t>(inputs), missing);
    for (std::size_t k = 0; k < result.size() && k < weights.size(); ++k) result[k] = weights[k];
    return result;
}

}  // namespace

std::string WeightText(double weight) {
    const double rounded = RoundHalfEven(weight);
    if (!std::isfinite(rounded)) return Format("%g", rounded);
    if (std::fabs(rounded) < 1e15) return Format("%.0f", rounded);
    return Format("%.6g", rounded);
}

// --- one row -----------------------------------------------------------------

TWeightRow::TWeightRow(const QString& name, QWidget* parent) : QWidget(parent) {
    setFixedHeight(RowHeight);
    name_ = MakeLabel(name, this);
    name_->setToolTip(name);
    track_ = new TWeightSlider(this);
    required_ = MakeLabel(QString(), this, false, true);
    current_ = MakeLabel(QString(), this, false, true);
    MakeNavy(current_);
    LayOutColumns(this, name_, track_, required_, current_);
}

// --- the dialog --------------------------------------------------------------

TWeiForm::TWeiForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Weights"));
    BuildControls();
}

TWeiForm::~TWeiForm() = default;

void TWeiForm::BuildControls() {
    top_panel_ = new QWidget(this);
    top_panel_->setFixedHeight(TopPanelHeight + 4);
    {
        auto* name = MakeLabel(QStringLiteral("Attribute"), top_panel_, true);
        auto* scaleLabels = new QWidget(top_panel_);
        auto* labels = new QHBoxLayout(scaleLabels);
        labels->setContentsMargins(0, 0, 0, 0);
        labels->addWidget(MakeLabel(QStringLiteral("0"), scaleLabels));
        labels->addStretch();
        labels->addWidget(MakeLabel(QStringLiteral("50"), scaleLabels));
        labels->addStretch();
        labels->addWidget(MakeLabel(QStringLiteral("100"), scaleLabels));
        auto* required = MakeLabel(QStringLiteral("Required"), top_panel_, true, true);
        auto* current = MakeLabel(QStringLiteral("Current"), top_panel_, true, true);
        MakeNavy(current);
        LayOutColumns(top_panel_, name, scaleLabels, required, current);
    }

    row_box_ = new QWidget;
    auto* rowLayout = new QVBoxLayout(row_box_);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(0);
    rowLayout->addStretch();
    row_area_ = new QScrollArea(this);
    row_area_->setWidget(row_box_);
    row_area_->setWidgetResizable(true);
    row_area_->setFrameShape(QFrame::NoFrame);
    row_area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* roundBox = new QGroupBox(QStringLiteral("Rounding"), this);
    round_grp_ = roundBox;
    round_buttons_ = new QButtonGroup(this);
    {
        auto* layout = new QHBoxLayout(roundBox);
        const char* captions[] = {"&down", "&no", "&up"};
        for (int i = 0; i < 3; ++i) {
            auto* button = new QRadioButton(QString::fromLatin1(captions[i]), roundBox);
            round_buttons_->addButton(button, i);
            layout->addWidget(button);
        }
    }

    auto* normBox = new QGroupBox(QStringLiteral("Normalization"), this);
    norm_grp_ = normBox;
    sum_btn_ = new QPushButton(QStringLiteral("&Sum 100"), normBox);
    max_btn_ = new QPushButton(QStringLiteral("&Max 100"), normBox);
    sum_btn_->setAutoDefault(false);
    max_btn_->setAutoDefault(false);
    {
        auto* layout = new QHBoxLayout(normBox);
        layout->addWidget(sum_btn_);
        layout->addWidget(max_btn_);
    }

    bot_panel_ = new QWidget(this);
    ok_btn_ = new QPushButton(QStringLiteral("&OK"), bot_panel_);
    ok_btn_->setDefault(true);
    apply_btn_ = new QPushButton(QStringLiteral("&Apply"), bot_panel_);
    apply_btn_->setAutoDefault(false);
    cancel_btn_ = new QPushButton(QStringLiteral("&Cancel"), bot_panel_);
    cancel_btn_->setAutoDefault(false);
    {
        auto* layout = new QHBoxLayout(bot_panel_);
        layout->addStretch();
        layout->addWidget(ok_btn_);
        layout->addWidget(apply_btn_);
        layout->addWidget(cancel_btn_);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(top_panel_);
    layout->addWidget(row_area_, 1);
    layout->addWidget(round_grp_);
    layout->addWidget(norm_grp_);
    layout->addWidget(bot_panel_);

    connect(sum_btn_, &QPushButton::clicked, this, [this] { Guarded([&] { Normalize(&NormalizeSum); }); });
    connect(max_btn_, &QPushButton::clicked, this, [this] { Guarded([&] { Normalize(&NormalizeMax); }); });
    connect(ok_btn_, &QPushButton::clicked, this, [this] { Guarded([&] { OKBtnClick(); }); });
    connect(apply_btn_, &QPushButton::clicked, this, [this] { Guarded([&] { ApplyBtnClick(); }); });
    connect(cancel_btn_, &QPushButton::clicked, this, &QDialog::reject);
}

void TWeiForm::ClearRows() {
    for (TWeightRow* row : rows_) delete row;
    rows_.clear();
}

void TWeiForm::LoadFunction(const TMivoAttribute& attribute, TMivoFunction& funct, TRecompute recompute) {
    ClearRows();
    attribute_ = &attribute;
    funct_ = &funct;
    recompute_ = std::move(recompute);
    busy_ = false;
    setWindowTitle(QString::fromStdString("Weights: " + attribute.GetName()));
    LoadRounding();
    auto* layout = static_cast<QVBoxLayout*>(row_box_->layout());
    for (int k = 0; k < attribute.InpCount(); ++k) {
        auto* row = new TWeightRow(QString::fromStdString(attribute.Inputs(k)->GetName()), row_box_);
        layout->insertWidget(k, row);
        connect(row->AttTrack(), &QSlider::valueChanged, this,
                [this, k] { Guarded([&] { TrackBarChange(k); }); });
        rows_.push_back(row);
    }
    required_.assign(rows_.size(), 0.0);
    current_.assign(rows_.size(), 0.0);
    FitHeight();
}

void TWeiForm::FitHeight() {
    // The rows take what they need, as far as the screen allows; beyond
    // that they scroll.
    const int rowsHeight = std::max(1, RowCount()) * TWeightRow::RowHeight;
    const int others = top_panel_->sizeHint().height() + round_grp_->sizeHint().height() +
                       norm_grp_->sizeHint().height() + bot_panel_->sizeHint().height() + 24;
    int available = 800;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) available = screen->availableGeometry().height() - 60;
    const int areaHeight = std::max(TWeightRow::RowHeight, std::min(rowsHeight, available - others));
    row_area_->setFixedHeight(areaHeight);
    row_area_->setVerticalScrollBarPolicy(areaHeight < rowsHeight ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setFixedSize(ClientWidth, areaHeight + others);
}

void TWeiForm::LoadRounding() {
    if (!funct_) return;
    const int index = funct_->Rounding < 0 ? 0 : (funct_->Rounding == 0 ? 1 : 2);
    round_buttons_->button(index)->setChecked(true);
}

int TWeiForm::RoundingIndex() const { return std::max(0, round_buttons_->checkedId()); }

QRadioButton* TWeiForm::RoundButton(int i) const { return static_cast<QRadioButton*>(round_buttons_->button(i)); }

void TWeiForm::FormShow() {
    if (!funct_) throw EMivoError("The weights dialog has no function loaded");
    busy_ = false;
    LoadRounding();
    UpdateActual(true);
    LoadRequiredWeights();
    UpdateFrames();
}

int TWeiForm::Execute(TPrompts& prompts) {
    FormShow();
    return prompts.Exec(*this, "Weights");
}

void TWeiForm::UpdateActual(bool recompute) {
    TBusyCursor busy;
    if (recompute) {
        funct_->ComputeWeights(true);
        LoadActualWeights();
    }
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        rows_[k]->AttTrack()->SetMarker(RoundClamped(current_[k], 0, 100));
        rows_[k]->ActWei()->setText(QString::fromStdString(WeightText(current_[k])));
    }
}

void TWeiForm::LoadActualWeights() { current_ = OnePerInput(funct_->ActualWeights, RowCount(), 0.0); }

void TWeiForm::LoadRequiredWeights() {
    // A list of another length shows as equal weights, the rule the fit
    // applies to it.
    if (static_cast<int>(funct_->RequiredWeights.size()) == RowCount()) {
        required_ = funct_->RequiredWeights;
    } else {
        required_.assign(rows_.size(), 1.0);
        NormalizeSum(required_, 100);
    }
}

void TWeiForm::SetTrackBars() {
    if (busy_) return;
    busy_ = true;
    for (std::size_t k = 0; k < rows_.size(); ++k) rows_[k]->AttTrack()->setValue(RoundClamped(required_[k], 0, 100));
    busy_ = false;
}

void TWeiForm::UpdateFrames() {
    if (busy_) return;
    busy_ = true;
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        rows_[k]->AttTrack()->setValue(RoundClamped(required_[k], 0, 100));
        rows_[k]->ReqWei()->setText(QString::fromStdString(WeightText(required_[k])));
    }
    busy_ = false;
}

void TWeiForm::TrackBarChange(int row) {
    if (busy_ || row < 0 || row >= RowCount()) return;
    // Only the moved slider is read: the other rows keep their weights
    // exactly, also those the sliders cannot show.
    required_[static_cast<std::size_t>(row)] = rows_[static_cast<std::size_t>(row)]->AttTrack()->value();
    UpdateFrames();
}

void TWeiForm::Normalize(void (*normalize)(TFloatList&, double)) {
    if (!funct_) return;
    LoadActualWeights();
    normalize(required_, 100);
    normalize(current_, 100);
    SetTrackBars();
    UpdateActual(false);
    UpdateFrames();
}

void TWeiForm::StoreWeights() {
    funct_->Rounding = RoundingIndex() - 1;
    funct_->RequiredWeights = required_;
    funct_->UseWeights = true;
}

void TWeiForm::OKBtnClick() {
    if (!funct_) return;
    StoreWeights();
    if (recompute_) recompute_();
    accept();
}

void TWeiForm::ApplyBtnClick() {
    if (!funct_) return;
    StoreWeights();
    if (recompute_) recompute_();
    UpdateActual(true);
    LoadRequiredWeights();
    UpdateFrames();
}

}  // namespace mivo
