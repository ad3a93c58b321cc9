#include "desktop/ChartsPage.h"

#include "platform/QtFontSource.h"

#include <unordered_map>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include "desktop/Help.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/NodeImages.h"
#include "desktop/PanelBitmap.h"
#include "model/MivoModel.h"
#include "platform/ErrorDisplay.h"

namespace mivo {

namespace {

// Stack pages of the chart area.
enum : int { stCaption = 0, stChart1, stChart2, stChart3, stFour };

}  // namespace

TChartsPage::TChartsPage(TModelForm& form)
    : TFramePage(form, TModelPage::Charts, QStringLiteral("&Chart"), TUndoKind::None, 14) {
    auto* splitter = new QSplitter;
    ChartPageControl = new QTabWidget(splitter);
    ChartTreeView = new QTreeWidget;
    ChartTreeView->setHeaderHidden(true);
    ChartTreeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ChartTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ChartTreeView->setMouseTracking(true);
    // The node images of the Model page's tree.
    InstallNodeImages(*ChartTreeView, [this](const QTreeWidgetItem* item) { return NodeAttribute(item); });
    ChartListBox = new QListWidget;
    ChartPageControl->addTab(ChartTreeView, QStringLiteral("&Attributes"));
    ChartPageControl->addTab(ChartListBox, QStringLiteral("Op&tions"));

    stack_ = new QStackedWidget(splitter);
    caption_ = new QLabel(QString::fromLatin1(ChartCaption));
    caption_->setAlignment(Qt::AlignCenter);
    stack_->addWidget(caption_);
    for (auto& chart : single_) {
        chart = new TChartWidget;
        stack_->addWidget(chart);
    }
    four_ = new TFourChartPanel;
    stack_->addWidget(four_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});
    SetContent(splitter);

    // A report draws the charts as the model stands when it is built.
    const auto prepare = [this] { PrepareForReport(); };
    for (TChartWidget* chart : single_) panels_.push_back(std::make_unique<TChartWidgetPanel>(*chart, prepare));
    panels_.push_back(std::make_unique<TFourChartPanelPanel>(*four_, prepare));
    for (int k = 0; k < 4; ++k) panels_.push_back(std::make_unique<TChartWidgetPanel>(four_->Chart(k), prepare));

    // The page menu and the popup of the charts.
    QMenu* popup = EnsurePopup();
    auto plain = [&](const QString& caption, const QString& hint, const QKeySequence& key, void (TChartsPage::*handler)(),
                     QMenu* menu) {
        auto* action = new QAction(caption, Widget());
        action->setShortcut(key);
        action->setStatusTip(hint);
        QObject::connect(action, &QAction::triggered, Widget(), [this, handler] { Guarded([&] { (this->*handler)(); }); });
        menu->addAction(action);
    };
    plain(QStringLiteral("Show &all options"), QStringLiteral("Show all options"), QKeySequence(Qt::CTRL | Qt::Key_A),
          &TChartsPage::ChartSelAllItemClick, Menu());
    plain(QStringLiteral("&Hide all options"), QStringLiteral("Hide all options"), QKeySequence(Qt::CTRL | Qt::Key_N),
          &TChartsPage::ChartClrAllItemClick, Menu());
    plain(QStringLiteral("Show &all options"), QStringLiteral("Show all options"), {}, &TChartsPage::ChartSelAllItemClick,
          popup);
    plain(QStringLiteral("&Hide all options"), QStringLiteral("Hide all options"), {}, &TChartsPage::ChartClrAllItemClick,
          popup);
    Menu()->addSeparator();
    popup->addSeparator();
    struct TToggle {
        TCommandId Id;
        const char* MenuCaption;
        const char* PopupCaption;
        const char* Hint;
        QKeySequence Key;
        void (TChartsPage::*Handler)();
    };
    const TToggle toggles[] = {
        {TCommandId::ChartFullNames, "Show &values", "Show &values", "Show value names", QKeySequence(Qt::CTRL | Qt::Key_I),
         &TChartsPage::ChartFullNamesItemClick},
        {TCommandId::ChartOptNames, "Show &option names", "Show option &names", "Show option &names",
         QKeySequence(Qt::CTRL | Qt::Key_V), &TChartsPage::ChartOptNamesItemClick},
        {TCommandId::Chart4, "Four options", "Four &options", "Show four options", QKeySequence(Qt::CTRL | Qt::Key_4),
         &TChartsPage::Chart4ItemClick},
    };
    for (const TToggle& t : toggles) {
        const auto handler = [this, h = t.Handler] { (this->*h)(); };
        QAction* item = AddItem(t.Id, QString::fromLatin1(t.MenuCaption), QString::fromLatin1(t.Hint), t.Key, handler);
        QAction* popItem = AddPopupItem(t.Id, QString::fromLatin1(t.PopupCaption), QString::fromLatin1(t.Hint), handler);
        for (QAction* action : {item, popItem}) {
            action->setCheckable(true);
            if (t.Id == TCommandId::Chart4) SetHelpContext(*action, HelpFourOptions);
        }
    }
    Menu()->addSeparator();
    popup->addSeparator();
    SetHelpContext(*AddItem(TCommandId::ChartCopy, QStringLiteral("&Copy chart"), QStringLiteral("Copy|Copy chart"),
                            QKeySequence(Qt::CTRL | Qt::Key_C), [this] { ChartCopyItemClick(); }),
                   HelpCopyChart);
    SetHelpContext(*AddPopupItem(TCommandId::ChartCopy, QStringLiteral("&Copy chart"), QStringLiteral("Copy|Copy chart"),
                                 [this] { ChartCopyItemClick(); }),
                   HelpCopyChart);
    // F1 on the menu itself, or on an item without a context of its own.
    SetHelpContext(*Menu(), HelpChartMenu);
    SetHelpContext(*Menu()->menuAction(), HelpChartMenu);
    for (QWidget* chart : {static_cast<QWidget*>(stack_)}) {
        chart->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(chart, &QWidget::customContextMenuRequested, chart,
                         [this, chart](const QPoint& at) { Popup()->popup(chart->mapToGlobal(at)); });
    }

    QObject::connect(ChartTreeView, &QTreeWidget::itemChanged, ChartTreeView,
                     [this](QTreeWidgetItem* item) { Guarded([&] { TreeItemChanged(item); }); });
    QObject::connect(ChartListBox, &QListWidget::itemChanged, ChartListBox,
                     [this](QListWidgetItem* item) { Guarded([&] { ListItemChanged(item); }); });
    QObject::connect(ChartListBox, &QListWidget::currentRowChanged, ChartListBox, [this] {
        Guarded([&] {
            if (State().Updating()) return;
            RedrawCharts();
        });
    });
    QObject::connect(four_, &TFourChartPanel::Resized, four_, [this] { four_->update(); });

    State().ChartVisible = [this] { return AnyChartShown(); };
}

TChartsPage::~TChartsPage() { State().ChartVisible = nullptr; }

TModelWindowState& TChartsPage::State() const { return Form().State(); }

const TChartWidget& TChartsPage::Chart(TChartId id) const {
    switch (id) {
        case TChartId::Chart1: return *single_[0];
        case TChartId::Chart2: return *single_[1];
        case TChartId::Chart3: return *single_[2];
        case TChartId::Chart4A: return four_->Chart(0);
        case TChartId::Chart4B: return four_->Chart(1);
        case TChartId::Chart4C: return four_->Chart(2);
        default: return four_->Chart(3);
    }
}

TChartPanel* TChartsPage::ChartPanel(TChartId id) const {
    const auto index = static_cast<std::size_t>(id);
    return index < panels_.size() ? panels_[index].get() : nullptr;
}

// --- filling ---------------------------------------------------------------------

void TChartsPage::Fill() {
    TMivoModel& model = Form().Model();
    if (model.NeedsEvaluation) model.Reevaluate();
    // The chosen attributes are those still in the tree, decided afresh.
    State().StructureChanged();
    {
        const auto updating = State().BeginUpdate();
        FillTreeView();
        FillListBox();
    }
    filled_ = true;
    RedrawCharts();
}

void TChartsPage::FillTreeView() {
    const QSignalBlocker blocker(ChartTreeView);
    ChartTreeView->clear();
    items_.clear();
    nodes_ = Form().Model().Attributes();
    std::unordered_map<const TMivoAttribute*, QTreeWidgetItem*> itemOf;
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        TMivoAttribute* attribute = nodes_[i];
        auto parent = itemOf.find(attribute->Parent());
        auto* item = parent != itemOf.end() ? new QTreeWidgetItem(parent->second) : new QTreeWidgetItem(ChartTreeView);
        item->setText(0, ToQString(attribute->GetName()));
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        // The hint: the attribute's description, as tool tip and in the
        // status line while the mouse is over the item.
        item->setToolTip(0, ToQString(attribute->GetDescription()));
        item->setStatusTip(0, ToQString(attribute->GetDescription()));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        itemOf[attribute] = item;
        items_.push_back(item);
    }
    ChartTreeView->expandAll();
    UpdateTreeChecks();
}

void TChartsPage::UpdateTreeChecks() {
    const QSignalBlocker blocker(ChartTreeView);
    for (std::size_t i = 0; i < items_.size(); ++i)
        items_[i]->setCheckState(0, State().IsChartAttr(nodes_[i]) ? Qt::Checked : Qt::Unchecked);
}

void TChartsPage::FillListBox() {
    const QSignalBlocker blocker(ChartListBox);
    const TMivoModel& model = Form().Model();
    const int current = ChartListBox->currentRow();
    ChartListBox->clear();
    for (int i = 0; i < model.OptionCount(); ++i) {
        auto* item = new QListWidgetItem(ToQString(model.OptionName(i)), ChartListBox);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(model.OptionSelected(i) ? Qt::Checked : Qt::Unchecked);
    }
    if (current >= 0 && current < model.OptionCount()) ChartListBox->setCurrentRow(current);
}

void TChartsPage::Refresh() {}

void TChartsPage::ClearTree() {
    const QSignalBlocker blocker(ChartTreeView);
    ChartTreeView->clear();
    items_.clear();
    nodes_.clear();
    filled_ = false;
}

void TChartsPage::ModelReplaced() {
    if (Form().CurrentPageId() == TModelPage::Charts) Fill();
    else filled_ = false;
}

void TChartsPage::OptionsReplaced(const TGridCells&) {
    if (Form().CurrentPageId() == TModelPage::Charts) Fill();
}

TMivoAttribute* TChartsPage::NodeAttribute(const QTreeWidgetItem* item) const {
    if (item == nullptr) return nullptr;
    const auto index = item->data(0, Qt::UserRole).toULongLong();
    return index < nodes_.size() ? nodes_[index] : nullptr;
}

// --- choosing ----------------------------------------------------------------------

void TChartsPage::ToggleAttribute(TMivoAttribute* attribute) {
    if (attribute == nullptr) return;
    std::vector<TMivoAttribute*> chosen = State().ChartAttrs();
    ToggleChartAttribute(chosen, attribute);
    State().SetChartAttrs(std::move(chosen));
    UpdateTreeChecks();
    RedrawCharts();
    Form().UpdateControls();
}

void TChartsPage::TreeItemChanged(QTreeWidgetItem* item) {
    if (State().Updating()) return;
    TMivoAttribute* attribute = NodeAttribute(item);
    if (attribute == nullptr) return;
    ChartTreeView->setCurrentItem(item);
    // The check box shows the choice after the toggle, whatever Qt set.
    ToggleAttribute(attribute);
}

void TChartsPage::ShowOption(int option, bool shown) {
    TMivoModel& model = Form().Model();
    if (option < 0 || option >= model.OptionCount()) return;
    model.SetOptionSelected(option, shown);
    if (QListWidgetItem* item = ChartListBox->item(option)) {
        const QSignalBlocker blocker(ChartListBox);
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    }
    RedrawCharts();
    Form().UpdateControls();
}

void TChartsPage::ListItemChanged(QListWidgetItem* item) {
    if (State().Updating() || item == nullptr) return;
    // The item whose check changed names the option.
    ShowOption(ChartListBox->row(item), item->checkState() == Qt::Checked);
}

void TChartsPage::ChartSelAllItemClick() {
    TMivoModel& model = Form().Model();
    for (int i = 0; i < model.OptionCount(); ++i) model.SetOptionSelected(i, true);
    {
        const auto updating = State().BeginUpdate();
        FillListBox();
    }
    RedrawCharts();
    Form().UpdateControls();
}

void TChartsPage::ChartClrAllItemClick() {
    TMivoModel& model = Form().Model();
    for (int i = 0; i < model.OptionCount(); ++i) model.SetOptionSelected(i, false);
    {
        const auto updating = State().BeginUpdate();
        FillListBox();
    }
    RedrawCharts();
    Form().UpdateControls();
}

void TChartsPage::ChartFullNamesItemClick() {
    State().ShowValueNames = !State().ShowValueNames;
    RedrawCharts();
    Form().UpdateControls();
}

void TChartsPage::ChartOptNamesItemClick() {
    State().ShowOptionNames = !State().ShowOptionNames;
    RedrawCharts();
    Form().UpdateControls();
}

void TChartsPage::Chart4ItemClick() {
    State().FourOptions = !State().FourOptions;
    RedrawCharts();
    Form().UpdateControls();
}

void TChartsPage::ChartCopyItemClick() {
    TClipboard& clipboard = Form().Main().Clipboard();
    TPrompts& prompts = Form().Prompts();
    for (TChartWidget* chart : single_) {
        if (chart->ChartShown()) {
            CopyChart(chart->Picture(), chart->width(), chart->height(), clipboard, prompts);
            return;
        }
    }
    if (four_->ChartShown()) CopyFourCharts(*four_, clipboard, prompts);
}

// --- drawing -------------------------------------------------------------------------

void TChartsPage::PrepareForReport() {
    if (kind_ == TChartKind::None) return;
    TMivoModel& model = Form().Model();
    if (model.NeedsEvaluation) model.Reevaluate();
    ShowCharts();
}

void TChartsPage::RedrawCharts() {
    if (State().Updating()) return;
    ShowCharts();
}

void TChartsPage::ShowCharts() {
    const TMivoModel& model = Form().Model();
    // The chosen attributes are read only while they are known to be in the
    // tree: the lists are rebuilt on every structural edit.
    std::vector<const TMivoAttribute*> attributes(State().ChartAttrs().begin(), State().ChartAttrs().end());
    TChartOptions options{State().ShowValueNames, State().ShowOptionNames, State().FourOptions};
    const int highlighted = ChartListBox->currentRow();
    TChartSet set = BuildCharts(model, attributes, options, highlighted);
    kind_ = set.Kind;
    for (TChartWidget* chart : single_) chart->SetChartShown(false);
    four_->SetChartShown(false);
    for (int k = 0; k < 4; ++k) four_->Chart(k).SetChartShown(false);
    switch (kind_) {
        case TChartKind::None:
            stack_->setCurrentIndex(stCaption);
            break;
        case TChartKind::Bars:
        case TChartKind::Plane:
        case TChartKind::Radar: {
            const int index = kind_ == TChartKind::Bars ? 0 : kind_ == TChartKind::Plane ? 1 : 2;
            single_[static_cast<std::size_t>(index)]->SetPicture(std::move(set.Single));
            single_[static_cast<std::size_t>(index)]->SetChartShown(true);
            stack_->setCurrentIndex(stChart1 + index);
            break;
        }
        case TChartKind::FourRadars:
            for (int k = 0; k < 4; ++k) {
                four_->Chart(k).SetPicture(set.Four[static_cast<std::size_t>(k)]);
                four_->Chart(k).SetChartShown(true);
            }
            four_->SetChartShown(true);
            stack_->setCurrentIndex(stFour);
            break;
    }
}

}  // namespace mivo
