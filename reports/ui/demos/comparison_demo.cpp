// Opens the preview window on a comparison of options that is wider than
// the page: the example model (examples/apartment.mvo) with eight options
// and long value names, its first option compared with the five after it.
// The chunks of options take as many columns as fit the page, and values
// too long for their column wrap, so that nothing runs off the paper.
//   comparison_demo                    the window, modally
//   comparison_demo <output folder>    the window at page width saved as
//                                      preview-comparison-inside-page.png,
//                                      then exit
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/MivoScale.h"
#include "reports/MivoRpt.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <cstdio>
#include <memory>

#include "platform/ErrorDisplay.h"
#include "platform/QtApplication.h"
#include "platform/QtClipboard.h"
#include "platform/QtPrinter.h"
#include "platform/QtPrompts.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/PreviewViewer.h"

namespace {

class TDemoHost : public mivo::TReportHost {
public:
    bool HasActiveModelWindow() const override { return true; }
    std::string ActiveFileName() const override { return "examples/apartment.mvo"; }
    mivo::TChartPanel* ChartPanel(mivo::TChartId) const override { return nullptr; }
};

// Four more apartments (each with the values of one of the first four) and
// value names as a flat-hunting family would write them.
void MakeWide(mivo::TMivoModel& model) {
    const int first = model.OptionCount();
    for (const char* name : {"Dachgeschoss Altstadt West", "Gartenhaus Vorstadt Ost", "Hinterhof Mitte",
                             "Maisonette am Stadtpark"}) {
        model.AddOption(name);
        const int option = model.OptionCount() - 1;
        for (mivo::TMivoAttribute* attribute : model.Attributes())
            attribute->SetOptValue(option, attribute->GetOptValue((option - first + 1) % first));
    }
    for (mivo::TMivoAttribute* attribute : model.Attributes()) {
        auto* scale = dynamic_cast<mivo::TMivoDiscreteScale*>(attribute->Scale());
        if (scale == nullptr) continue;
        for (int v = 0; v < scale->Count(); ++v) scale->SetValueName(v, scale->ValueName(v) + " for the family");
    }
    model.Reevaluate();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    mivo::SetProgramName();

    mivo::TMivoModel model;
    mivo::LoadFromFile(model, std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
    MakeWide(model);
    TDemoHost host;
    mivo::SetReportHost(&host);

    mivo::TQtPrompts prompts;
    mivo::SetErrorPrompts(&prompts);
    mivo::TQtClipboard clipboard;
    std::unique_ptr<mivo::TQtPrinter> printer;
    if (mivo::TQtPrinter::AnyInstalled()) printer = std::make_unique<mivo::TQtPrinter>();

    mivo::TPreviewForm form(prompts, clipboard, printer.get());
    prompts.SetParent(&form);
    mivo::TPreviewViewer viewer(form, prompts);
    mivo::TFont font;
    font.Name = "Arial";
    font.Size = 10;
    viewer.SetReportFont(font);
    auto report = mivo::BuildComparisonReport(&model, {0, 1, 2, 3, 4, 5}, viewer.ReportFont(), viewer.PreviewPen());

    if (argc < 2) {
        viewer.ShowReport(std::move(report));
        return 0;
    }

    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    form.Preview().AddReport(std::move(report));
    form.setWindowState(Qt::WindowNoState);
    form.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    form.show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    form.FormShow();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    const QString path = QDir(folder).filePath(QStringLiteral("preview-comparison-inside-page.png"));
    const bool saved = form.grab().save(path, "PNG");
    std::printf("%s %s (%d pages, zoom %d%%)\n", saved ? "wrote" : "FAILED", qPrintable(path),
                form.Preview().PageCount(), form.Preview().Zoom());
    return saved ? 0 : 1;
}
