// Opens the preview window on the model report of the example model
// (examples/apartment.mvo), with the printer the desktop program uses (the
// PDF printer where no device printer is installed).
//   preview_demo                    the window, modally, as the program shows it
//   preview_demo <output folder>    the window at page width saved as
//                                   preview-page-width.png, then exit
// A look at the preview (and its screenshot) without the desktop program.
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/Utils.h"
#include "reports/MivoRpt.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

#include <cstdio>
#include <memory>

#include "platform/ErrorDisplay.h"
#include "platform/QtClipboard.h"
#include "platform/QtPrinter.h"
#include "platform/QtPrompts.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/PreviewViewer.h"

namespace {

// The main window as the report builders see it: one model window, open
// on the example, without charts.
class TDemoHost : public mivo::TReportHost {
public:
    bool HasActiveModelWindow() const override { return true; }
    std::string ActiveFileName() const override { return "examples/apartment.mvo"; }
    mivo::TChartPanel* ChartPanel(mivo::TChartId) const override { return nullptr; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Mivo"));

    mivo::TMivoModel model;
    mivo::LoadFromFile(model, std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
    model.Reevaluate();
    TDemoHost host;
    mivo::SetReportHost(&host);

    mivo::TQtPrompts prompts;
    mivo::SetErrorPrompts(&prompts);
    mivo::TQtClipboard clipboard;
    const std::unique_ptr<mivo::TQtPrinter> printer = mivo::TQtPrinter::ForThisMachine();

    mivo::TPreviewForm form(prompts, clipboard, printer.get());
    prompts.SetParent(&form);
    mivo::TPreviewViewer viewer(form, prompts);
    mivo::TFont font;
    font.Name = "Arial";
    font.Size = 10;
    viewer.SetReportFont(font);
    auto report = mivo::BuildModelReport(&model, mivo::FullValueSet(), viewer.ReportFont(), viewer.PreviewPen());

    if (argc < 2) {
        viewer.ShowReport(std::move(report));
        return 0;
    }

    // The screenshot: the window over the whole screen, as maximised.
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    form.Preview().AddReport(std::move(report));
    form.setWindowState(Qt::WindowNoState);
    form.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    form.show();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    form.FormShow();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    const QString path = QDir(folder).filePath(QStringLiteral("preview-page-width.png"));
    const bool saved = form.grab().save(path, "PNG");
    std::printf("%s %s (%d pages, zoom %d%%)\n", saved ? "wrote" : "FAILED", qPrintable(path),
                form.Preview().PageCount(), form.Preview().Zoom());
    return saved ? 0 : 1;
}
