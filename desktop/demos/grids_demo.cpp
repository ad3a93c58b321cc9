// Two screenshots of the example model in the main window:
//   grids_demo <output folder>
// options-grid-widened-column.png: the Options page with the column of
// "Penthouse Zentrum" widened by a drag of its border in the heading strip,
// so the name reads whole; help-over-preview.png: the preview of the
// model report with F1 pressed in it, the help window above it.
#include <cstdio>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/OptionsPage.h"
#include "desktop/demos/DemoShell.h"
#include "desktop/demos/TitleBar.h"
#include "model/Locale.h"
#include "model/Utils.h"
#include "platform/QtApplication.h"
#include "platform/QtPrinter.h"
#include "reports/MivoRpt.h"
#include "reports/ui/PreviewForm.h"

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Drags the right border of a grid column in the heading strip by dx
// pixels, as the mouse would.
void DragBorder(mivo::TOptionGridView& grid, int gridCol, int dx) {
    QWidget* strip = grid.horizontalHeader()->viewport();
    const QPoint from(grid.ColumnBorderX(gridCol) - grid.viewport()->x(), strip->height() / 2);
    SendMouse(strip, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(strip, QEvent::MouseMove, from + QPoint(dx / 2, 0), Qt::NoButton, Qt::LeftButton);
    SendMouse(strip, QEvent::MouseMove, from + QPoint(dx, 0), Qt::NoButton, Qt::LeftButton);
    SendMouse(strip, QEvent::MouseButtonRelease, from + QPoint(dx, 0), Qt::LeftButton, Qt::NoButton);
}

void Settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

// The screen with a plain title bar above each window (Xvfb has no window
// manager to draw them).
QPixmap ScreenWithTitleBars(const std::vector<QWidget*>& windows) {
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    QPainter painter(&shot);
    for (QWidget* window : windows) {
        const QPixmap framed = mivo::WithTitleBar(window->grab(), window->windowTitle());
        painter.drawPixmap(window->geometry().topLeft() - QPoint(0, framed.height() - window->height()), framed);
    }
    return shot;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    mivo::SetProgramName();
    mivo::InitLocaleFromEnvironment();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    mivo::TDemoShell shell(QSize(1100, 640));
    mivo::TMainForm& main = shell.main;
    mivo::THtmlHelp& help = shell.help;
    const std::unique_ptr<mivo::TQtPrinter> printer = mivo::TQtPrinter::ForThisMachine();
    mivo::TPreviewForm preview(shell.prompts, shell.clipboard, printer.get(), &main);
    int failures = 0;
    const auto save = [&](const QPixmap& shot, const char* name, const std::string& note) {
        const QString path = QDir(out).filePath(QString::fromLatin1(name));
        const bool saved = shot.save(path, "PNG");
        failures += saved ? 0 : 1;
        std::printf("%s %s (%s)\n", saved ? "wrote" : "FAILED", qPrintable(path), note.c_str());
    };

    QObject::connect(&main, &mivo::TMainForm::CommandLineOpened, &main, [&] {
        mivo::TModelForm* form = main.CurrentModelForm();
        form->showMaximized();
        form->SetCurrentPage(mivo::TModelPage::Options);
        auto& page = dynamic_cast<mivo::TOptionsPage&>(form->Page(mivo::TModelPage::Options));
        Settle();

        // The column of "Penthouse Zentrum" (the third option) as wide as
        // its name in bold plus the cell's margins.
        mivo::TOptionGridView& grid = *page.OptGrid;
        QFont bold = grid.font();
        bold.setBold(true);
        const int wanted = QFontMetrics(bold).horizontalAdvance(QStringLiteral("Penthouse Zentrum")) + 16;
        DragBorder(grid, 3, wanted - grid.GridColumnWidth(3));
        page.SetCurrentCell(1, 3);
        Settle();
        save(mivo::WithTitleBar(main.grab(), main.windowTitle()), "options-grid-widened-column.png",
             "column 3 is " + std::to_string(grid.GridColumnWidth(3)) + " pixels wide");

        // The report in the preview, shown modally over the frame, and F1
        // pressed in it.
        QTimer::singleShot(300, &main, [&, form] {
            mivo::TFont font;
            font.Name = "Arial";
            font.Size = 10;
            auto report = mivo::BuildModelReport(&form->Model(), mivo::FullValueSet(), font, preview.CanvasPen());
            preview.Preview().AddReport(std::move(report));

            preview.setWindowState(Qt::WindowNoState);
            preview.setGeometry(QGuiApplication::primaryScreen()->availableGeometry().adjusted(0, 28, 0, 0));
            preview.setModal(true);
            preview.show();
            Settle();
            preview.FormShow();
            Settle();
            QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &preview;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
            QCoreApplication::sendEvent(focus, &press);
            QTimer::singleShot(600, &main, [&] {
                Settle();
                QTextBrowser* browser = help.Browser();
                const bool above = browser != nullptr && browser->isVisible() &&
                                   browser->windowHandle()->transientParent() == preview.windowHandle();
                failures += above ? 0 : 1;
                if (browser != nullptr) {
                    save(ScreenWithTitleBars({&preview, browser}), "help-over-preview.png",
                         std::string(above ? "help above the preview" : "help NOT above the preview") + ", page " +
                             browser->source().toString().toStdString());
                    browser->close();
                }
                preview.hide();
                QApplication::quit();
            });
        });
    });
    QApplication::exec();
    return failures == 0 ? 0 : 1;
}
