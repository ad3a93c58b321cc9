// Opens the preview window on the model report of the example model
// (examples/apartment.mvo), with the printer the desktop program uses (the
// PDF printer where no device printer is installed).
//   preview_demo                    the window, modally, as the program shows it
//   preview_demo <output folder>    the window at page width saved as
//                                   preview-page-width.png, then exit
//   preview_demo <output folder> print
//                                   the print dialog over the window, with
//                                   its destination, saved as
//                                   preview-print-dialog.png; the dialog
//                                   is then cancelled (nothing is printed)
//   preview_demo <output folder> long-names
//                                   the functions summary of a model with
//                                   names of 70 characters and a chain of
//                                   10 levels, saved as
//                                   preview-functions-long-names.png
//   preview_demo <output folder> tree-description
//                                   the attribute tree of a model with long
//                                   names and descriptions of three lines
//                                   beside them, saved as
//                                   preview-tree-multiline-description.png
// A look at the preview (and its screenshot) without the desktop program.
#include "model/MivoFile.h"
#include "model/MivoModel.h"
#include "model/Utils.h"
#include "reports/MivoRpt.h"
#include "reports/tests/LongNameModels.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/ErrorDisplay.h"
#include "platform/QtApplication.h"
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
    std::string ActiveFileName() const override { return std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo"; }
    mivo::TChartPanel* ChartPanel(mivo::TChartId) const override { return nullptr; }
};

// Opens the print dialog over the shown window, saves the window with the
// dialog drawn where it stands as `path`, and cancels the dialog.
bool SavePrintDialog(mivo::TPreviewForm& form, const QString& path) {
    const QPixmap frame = form.grab();
    bool saved = false;
    int ticks = 0;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (++ticks == 1) {
            // With its options (page range, copies, collation) open, and
            // wide enough to show the whole destination.
            for (auto* button : dialog->findChildren<QPushButton*>())
                if (button->text().contains(QStringLiteral("Options"))) button->click();
            dialog->resize(std::max(dialog->width(), 720), dialog->height());
            dialog->move(form.mapToGlobal(form.rect().center()) - dialog->rect().center());
        }
        if (ticks < 10) return;  // laid out
        poll.stop();
        QPixmap shot = frame;
        {
            // The dialog where it stands, with a shadow and a plain title
            // bar (Xvfb has no window manager to draw one).
            QPainter painter(&shot);
            const int bar = 26;
            const QPoint at = form.mapFromGlobal(dialog->mapToGlobal(QPoint(0, 0)));
            const QRect window(at - QPoint(0, bar), QSize(dialog->width(), dialog->height() + bar));
            painter.fillRect(window.translated(6, 6), QColor(0, 0, 0, 90));
            painter.fillRect(QRect(window.topLeft(), QSize(window.width(), bar)), QColor(0x2b, 0x4f, 0x81));
            painter.setPen(Qt::white);
            painter.drawText(QRect(window.left() + 10, window.top(), window.width() - 20, bar),
                             Qt::AlignVCenter | Qt::AlignLeft, dialog->windowTitle());
            painter.drawPixmap(at, dialog->grab());
            painter.setPen(QColor(0x2b, 0x4f, 0x81));
            painter.drawRect(window.adjusted(-1, -1, 0, 0));
        }
        saved = shot.save(path, "PNG");
        dialog->reject();
    });
    poll.start();
    form.PrintBtnClick();
    return saved;
}

// The model and report parts of a screenshot mode: the example and its
// whole model report, or a model of long names and one part of its report.
struct TDemoReport {
    std::unique_ptr<mivo::TMivoModel> Model;
    mivo::TValueSet Parts;
    QString FileName;
};

TDemoReport DemoReport(const std::string& mode) {
    using namespace mivo::longnames;
    TDemoReport demo;
    if (mode == "long-names" || mode == "tree-description") {
        TShape shape{TScript::Latin, 70, 4, 2, 10, 3, ""};
        if (mode == "tree-description") {
            shape = TShape{TScript::Latin, 55, 2, 2, 2, 1,
                           "How well the attribute serves the household.\r\n"
                           "Judged by the people who live there.\r\n"
                           "See the survey of the street."};
        }
        demo.Model = LongNameModel(shape);
        demo.Parts.set(mode == "long-names" ? mivo::rpFunctionSummary : mivo::rpAttributeTree);
        demo.FileName = mode == "long-names" ? QStringLiteral("preview-functions-long-names.png")
                                             : QStringLiteral("preview-tree-multiline-description.png");
        return demo;
    }
    demo.Model = std::make_unique<mivo::TMivoModel>();
    mivo::LoadFromFile(*demo.Model, std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
    demo.Model->Reevaluate();
    demo.Parts = mivo::FullValueSet();
    demo.FileName = QStringLiteral("preview-page-width.png");
    return demo;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    mivo::SetProgramName();

    const std::string mode = argc > 2 ? argv[2] : "";
    TDemoReport demo = DemoReport(mode);
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
    auto report = mivo::BuildModelReport(demo.Model.get(), demo.Parts, viewer.ReportFont(), viewer.PreviewPen());

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
    if (mode == "print") {
        const QString path = QDir(folder).filePath(QStringLiteral("preview-print-dialog.png"));
        const bool saved = SavePrintDialog(form, path);
        std::printf("%s %s (printing to %s)\n", saved ? "wrote" : "FAILED", qPrintable(path),
                    printer->PrintsToFile() ? "a PDF file" : "a device");
        return saved ? 0 : 1;
    }
    const QString path = QDir(folder).filePath(demo.FileName);
    const bool saved = form.grab().save(path, "PNG");
    std::printf("%s %s (%d pages, zoom %d%%)\n", saved ? "wrote" : "FAILED", qPrintable(path),
                form.Preview().PageCount(), form.Preview().Zoom());
    return saved ? 0 : 1;
}
