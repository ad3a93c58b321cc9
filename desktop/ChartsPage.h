// The charts page of the model window: the attribute tree with check marks
// choosing up to six attributes, the checkable option list choosing the
// options shown (the model's selection flags), and on the right the chart
// the choice calls for: bars (one attribute), bubbles and arrows (two), a
// radar (three to six) or four radars side by side.
//
// The page keeps only copies of what it draws (reports/ChartData.h); the
// tree's nodes know their attribute by its place in a list that the page
// drops before the model frees attributes (ClearTree) and rebuilds on Fill.
// The chosen attributes live in the window's state, which keeps them in
// step with the tree (TModelWindowState::StructureChanged).
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "desktop/ChartWidget.h"
#include "desktop/FramePage.h"

class QLabel;
class QListWidget;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QListWidgetItem;

namespace mivo {

inline constexpr const char* ChartCaption = "CHART: Select attributes and options";

class TChartsPage final : public TFramePage {
public:
    explicit TChartsPage(TModelForm& form);
    ~TChartsPage() override;

    void Fill() override;
    void Refresh() override;
    void ClearTree() override;
    void ModelReplaced() override;
    void OptionsReplaced(const TGridCells& cells) override;
    TChartPanel* ChartPanel(TChartId id) const override;

    // --- commands ---------------------------------------------------------

    // Toggles the attribute's check (as a click on its node's check box).
    void ToggleAttribute(TMivoAttribute* attribute);
    // Shows or hides option i (as its check box in the option list).
    void ShowOption(int option, bool shown);
    void ChartSelAllItemClick();
    void ChartClrAllItemClick();
    void ChartFullNamesItemClick();
    void ChartOptNamesItemClick();
    void Chart4ItemClick();
    void ChartCopyItemClick();

    // Rebuilds the chart data and shows the chart the choice calls for.
    void RedrawCharts();

    // --- for the window and the tests --------------------------------------

    // The chart shown (None: the caption).
    TChartKind ShownKind() const { return kind_; }
    bool AnyChartShown() const { return kind_ != TChartKind::None; }
    const TChartWidget& Chart(TChartId id) const;
    const TFourChartPanel& FourPanel() const { return *four_; }

    QTreeWidget* ChartTreeView = nullptr;
    QListWidget* ChartListBox = nullptr;
    QTabWidget* ChartPageControl = nullptr;

private:
    void ShowCharts();
    // Re-evaluates when needed and rebuilds the charts shown (a report is
    // about to draw them).
    void PrepareForReport();
    void FillTreeView();
    void FillListBox();
    void UpdateTreeChecks();
    void TreeItemChanged(QTreeWidgetItem* item);
    void ListItemChanged(QListWidgetItem* item);
    TMivoAttribute* NodeAttribute(const QTreeWidgetItem* item) const;
    TModelWindowState& State() const;

    QStackedWidget* stack_ = nullptr;
    QLabel* caption_ = nullptr;
    std::array<TChartWidget*, 3> single_{};  // Chart1, Chart2, Chart3
    TFourChartPanel* four_ = nullptr;
    std::vector<std::unique_ptr<TChartPanel>> panels_;  // in TChartId order
    // The attributes of the tree's nodes, by the index each node holds.
    std::vector<TMivoAttribute*> nodes_;
    std::vector<QTreeWidgetItem*> items_;
    TChartKind kind_ = TChartKind::None;
    bool filled_ = false;  // the widgets show the current model
};

}  // namespace mivo
