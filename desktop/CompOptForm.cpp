#include "desktop/CompOptForm.h"

#include "platform/QtFontSource.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ErrorDisplay.h"

namespace mivo {

namespace {

// Sets a flag for the lifetime of the scope.
class TBusyScope {
public:
    explicit TBusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TBusyScope() { flag_ = false; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

TCompOptForm::TCompOptForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Compare options");
    setObjectName("CompOptForm");
    auto* layout = new QVBoxLayout(this);
    auto* mainLabel = new QLabel("Compare &option", this);
    MainOptSel = new QComboBox(this);
    mainLabel->setBuddy(MainOptSel);
    auto* withLabel = new QLabel("&with", this);
    OptSel = new QListWidget(this);
    withLabel->setBuddy(OptSel);
    OptSel->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(mainLabel);
    layout->addWidget(MainOptSel);
    layout->addWidget(withLabel);
    layout->addWidget(OptSel, 1);

    CompPopMenu = new QMenu(this);
    QAction* selAll = CompPopMenu->addAction("Select all options");
    QAction* unSelAll = CompPopMenu->addAction("Deselect all options");
    connect(selAll, &QAction::triggered, this, [this] { Guarded([&] { SelAllClick(); }); });
    connect(unSelAll, &QAction::triggered, this, [this] { Guarded([&] { UnSelAllClick(); }); });
    connect(OptSel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { CompPopMenu->popup(OptSel->viewport()->mapToGlobal(at)); });

    auto* buttons = new QHBoxLayout;
    OKBtn = new QPushButton("&Compare", this);
    CancelBtn = new QPushButton("Cancel", this);
    OKBtn->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        if (OKBtn->isEnabled()) done(DialogOk);
    });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(DialogCancel); });
    connect(MainOptSel, &QComboBox::currentIndexChanged, this, [this] { Guarded([&] { MainOptSelChange(); }); });
    connect(OptSel, &QListWidget::itemChanged, this, [this] { Guarded([&] { OptSelClick(); }); });
    OKBtn->setEnabled(false);
    MainOptSel->setEnabled(false);
}

bool TCompOptForm::SameOptions(const TMivoModel& model) const {
    const int n = model.OptionCount();
    if (OptSel->count() != n || MainOptSel->count() != n) return false;
    for (int i = 0; i < n; ++i) {
        const QString name = ToQString(model.OptionName(i));
        if (OptSel->item(i)->text() != name || MainOptSel->itemText(i) != name) return false;
    }
    return true;
}

void TCompOptForm::LoadModel(const TMivoModel* model) {
    if (model != nullptr && model == optModel_ && SameOptions(*model)) return;
    {
        TBusyScope busy(busy_);
        OptSel->clear();
        MainOptSel->clear();
    }
    optModel_ = model;
    if (model != nullptr) FillOptions(*model);
    else OKBtn->setEnabled(false);
}

void TCompOptForm::FillOptions(const TMivoModel& model) {
    {
        TBusyScope busy(busy_);
        for (const std::string& name : model.Options()) {
            MainOptSel->addItem(ToQString(name));
            auto* item = new QListWidgetItem(ToQString(name), OptSel);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setCheckState(Qt::Unchecked);
        }
        const bool several = model.OptionCount() > 1;
        OKBtn->setEnabled(several);
        MainOptSel->setEnabled(several);
        MainOptSel->setCurrentIndex(-1);
    }
    if (MainOptSel->isEnabled()) {
        TBusyScope busy(busy_);
        MainOptSel->setCurrentIndex(0);
    }
    if (MainOptSel->isEnabled()) MainOptSelChange();
}

void TCompOptForm::MainOptSelChange() {
    if (busy_) return;
    {
        TBusyScope busy(busy_);
        const int main = MainOptSel->currentIndex();
        for (int i = 0; i < OptSel->count(); ++i) {
            QListWidgetItem* item = OptSel->item(i);
            Qt::ItemFlags flags = item->flags();
            item->setFlags(i == main ? flags & ~Qt::ItemIsEnabled : flags | Qt::ItemIsEnabled);
        }
        if (main >= 0 && main < OptSel->count()) OptSel->setCurrentRow(main);
    }
    OptSelClick();
}

void TCompOptForm::OptSelClick() {
    if (busy_) return;
    // With a single option there is nothing to compare it with, whatever
    // is ticked.
    OKBtn->setEnabled(OptSel->count() > 1 && CheckedCount() > 0);
}

int TCompOptForm::CheckedCount() const {
    int count = 0;
    for (int i = 0; i < OptSel->count(); ++i) {
        const QListWidgetItem* item = OptSel->item(i);
        if ((item->flags() & Qt::ItemIsEnabled) && item->checkState() == Qt::Checked) ++count;
    }
    return count;
}

void TCompOptForm::CheckAll(bool checked) {
    {
        TBusyScope busy(busy_);
        for (int i = 0; i < OptSel->count(); ++i) OptSel->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    OptSelClick();
}

void TCompOptForm::SelAllClick() { CheckAll(true); }
void TCompOptForm::UnSelAllClick() { CheckAll(false); }

std::vector<int> TCompOptForm::GetSelection() const {
    std::vector<int> selection{MainOptSel->currentIndex()};
    for (int i = 0; i < OptSel->count(); ++i) {
        const QListWidgetItem* item = OptSel->item(i);
        if ((item->flags() & Qt::ItemIsEnabled) && item->checkState() == Qt::Checked) selection.push_back(i);
    }
    return selection;
}

std::vector<int> TCompOptForm::Execute(TPrompts& prompts, const TMivoModel& model) {
    LoadModel(&model);
    if (prompts.Exec(*this, "CompareOptions") != DialogOk || !OKBtn->isEnabled()) return {};
    std::vector<int> selection = GetSelection();
    // Only a main option that exists, compared with at least one other.
    if (selection.size() < 2 || selection[0] < 0 || selection[0] >= model.OptionCount()) return {};
    return selection;
}

}  // namespace mivo
