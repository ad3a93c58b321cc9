// Shows the main window on the example model, maximised, with the File menu
// open over the merged menu bar, and saves a screenshot of the screen:
//   shell_demo <output folder>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

#include "desktop/MainForm.h"
#include "desktop/demos/DemoShell.h"
#include "desktop/demos/TitleBar.h"
#include "model/Locale.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    mivo::InitLocaleFromEnvironment();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    mivo::TDemoShell shell(QSize(1280, 800));
    mivo::TMainForm& main = shell.main;

    QObject::connect(&main, &mivo::TMainForm::CommandLineOpened, &main, [&] {
        QTimer::singleShot(800, &main, [&] {
            // The frame as Qt draws it, taken before the menu opens (text
            // drawn into a grab while a popup is open comes out blank).
            const QPixmap frame = main.grab();
            QMenu* file = main.FileMenu();
            const QRect item = main.menuBar()->actionGeometry(file->menuAction());
            file->popup(main.menuBar()->mapToGlobal(item.bottomLeft()));
            file->setActiveAction(main.Actions().FileSave);
            QTimer::singleShot(800, &main, [&main, &out, file, frame] {
                // The open menu drawn where it pops up.
                QPixmap shot = frame;
                {
                    QPainter painter(&shot);
                    painter.drawPixmap(main.mapFromGlobal(file->pos()), file->grab());
                }
                mivo::WithTitleBar(shot, main.windowTitle()).save(out + QStringLiteral("/mivo-file-menu.png"));
                file->hide();
                QApplication::quit();
            });
        });
    });
    return QApplication::exec();
}
