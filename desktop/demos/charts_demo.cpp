// Shows the charts of the bicycle example model and writes each as a PNG
// into the folder given as the first argument: the bar chart, bubbles and
// arrows (and a plane chart where three options coincide), a radar, the
// four-options panel, a report page holding a chart, and (as chart.emf in
// the second argument's folder, when given) a copied chart's Enhanced
// Metafile for an independent reader to convert.
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "platform/EmfWriter.h"
#include "platform/FontSource.h"
#include "reports/ChartPaint.h"
#include "reports/MivoRpt.h"
#include "reports/PrintFormatter.h"
#include "reports/Reports.h"

#include <cstdio>
#include <fstream>
#include <string>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include "desktop/ChartWidget.h"
#include "desktop/EvalPage.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/OptionsPage.h"
#include "model/Clipboard.h"
#include "platform/Help.h"
#include "platform/ScriptedPrompts.h"
#include "desktop/PanelBitmap.h"
#include "platform/QtBitmap.h"
#include "platform/QtFontSource.h"

using namespace mivo;

namespace {

// The main window as the report sees it: one model window whose Chart1
// shows the bars.
class DemoHost : public TReportHost {
public:
    explicit DemoHost(TChartPanel& bars) : bars_(bars) {}
    bool HasActiveModelWindow() const override { return true; }
    std::string ActiveFileName() const override { return "bicycle.mvo"; }
    TChartPanel* ChartPanel(TChartId id) const override { return id == TChartId::Chart1 ? &bars_ : nullptr; }

private:
    TChartPanel& bars_;
};

class NoHelp final : public THelp {
public:
    void ShowContext(int) override {}
    void ShowContents() override {}
    void ShowIndex(const std::string&) override {}
    void CloseAll() override {}
};

class NoClipboard final : public TClipboard {
public:
    std::string GetText() const override { return {}; }
    void SetText(const std::string&) override {}
};

bool Save(const QImage& image, const std::string& path) {
    if (!image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool SaveWidget(QWidget& widget, const std::string& path) {
    widget.show();
    QApplication::processEvents();
    return Save(widget.grab().toImage(), path);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string out = argc > 1 ? argv[1] : ".";
    const std::string emfFolder = argc > 2 ? argv[2] : "";
    TMivoModel model;
    LoadFromFile(model, std::string(MIVO_SOURCE_DIR) + "/tests/data/reports/fixture.mvo");
    model.Reevaluate();
    const TMivoAttribute* bicycle = model.FindByName("Bicycle");
    const TMivoAttribute* price = model.FindByName("Price");
    const TMivoAttribute* ride = model.FindByName("Ride");
    const TMivoAttribute* cost = model.FindByName("Cost");
    if (!bicycle || !price || !ride || !cost) return 1;
    const std::vector<const TMivoAttribute*> radarAttributes{bicycle, cost, price, ride};
    bool ok = true;

    TChartWidget bars;
    bars.resize(640, 420);
    bars.SetPicture(BuildBarChart(model, *bicycle, {}));
    ok &= SaveWidget(bars, out + "/chart-bars.png");

    TChartWidget plane;
    plane.resize(640, 480);
    plane.SetPicture(BuildPlaneChart(model, *price, *ride, {}));
    ok &= SaveWidget(plane, out + "/chart-bubbles.png");

    // Two more options with the values of the first: three marks at one
    // point, their names listed one below the other.
    {
        TMivoModel twins;
        LoadFromFile(twins, std::string(MIVO_SOURCE_DIR) + "/tests/data/reports/fixture.mvo");
        for (const char* name : {"Twin one", "Twin two"}) {
            const int option = twins.OptionCount();
            twins.AddOption(name);
            for (TMivoAttribute* attribute : twins.Attributes())
                if (attribute->IsBasic()) attribute->SetOptValue(option, attribute->GetOptValue(0));
        }
        twins.Reevaluate();
        TChartWidget coincident;
        coincident.resize(640, 480);
        coincident.SetPicture(BuildPlaneChart(twins, *twins.FindByName("Price"), *twins.FindByName("Ride"), {}));
        ok &= SaveWidget(coincident, out + "/chart-plane-coincident-options.png");
    }

    TChartWidget radar;
    radar.resize(560, 480);
    radar.SetPicture(BuildRadarChart(model, radarAttributes, 2, {}));
    ok &= SaveWidget(radar, out + "/chart-radar.png");

    TFourChartPanel four;
    four.resize(900, 680);
    const TChartSet set = BuildCharts(model, radarAttributes, {.FourOptions = true}, 3);
    for (int k = 0; k < 4; ++k) four.Chart(k).SetPicture(set.Four[static_cast<std::size_t>(k)]);
    ok &= SaveWidget(four, out + "/chart-four-options.png");

    // A report page with the chart section, laid out and recorded as the
    // preview does, then drawn with the Qt canvas.
    bars.SetChartShown(true);
    TChartWidgetPanel barsPanel(bars);
    DemoHost host(barsPanel);
    SetReportHost(&host);
    TValueSet parts;
    parts.set(rpChart);
    TFont font;
    font.Name = "Arial";
    font.Size = 10;
    auto report = BuildModelReport(&model, parts, font, TPen{});
    TQtFontSource fonts;
    const TMeasure margin = MakeMeasure(mkMillimetres, 20);
    TPrintFormatter formatter(*report, nullptr, margin, margin, margin, margin, &fonts);
    formatter.Run();
    const TPageMetafile& page = formatter.GetPageMetafile(1);
    ok &= Save(RenderMetafile(page, page.Width() / 3, page.Height() / 3), out + "/report-chart-page.png");
    SetReportHost(nullptr);

    if (!emfFolder.empty()) {
        auto copy = RecordChart(bars.Picture(), bars.width(), bars.height(), fonts);
        std::ofstream(emfFolder + "/chart.emf", std::ios::binary) << EnhMetafileBytes(*copy, &fonts);
    }
    // Both grids of the example model, with their bad and good colours.
    {
        TScriptedPrompts prompts;
        NoHelp help;
        NoClipboard clipboard;
        TMainForm main(prompts, help, clipboard);
        main.resize(1000, 560);
        main.show();
        TModelForm* form = main.OpenModelWindow(std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
        form->showMaximized();
        form->SetCurrentPage(TModelPage::Options);
        auto& options = dynamic_cast<TOptionsPage&>(form->Page(TModelPage::Options));
        options.SetCurrentCell(2, 2);
        QApplication::processEvents();
        ok &= Save(main.grab().toImage(), out + "/options-grid.png");
        form->SetCurrentPage(TModelPage::Evaluation);
        auto& eval = dynamic_cast<TEvalPage&>(form->Page(TModelPage::Evaluation));
        eval.SetCurrentCell(3, 1);
        QApplication::processEvents();
        ok &= Save(main.grab().toImage(), out + "/evaluation-grid.png");
        form->Model().Modified = false;
    }
    return ok ? 0 : 1;
}
