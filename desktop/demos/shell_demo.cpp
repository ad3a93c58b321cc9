// Shows the main window on the example model, maximised, with the File menu
// open over the merged menu bar, and saves a screenshot of the screen:
//   shell_demo <output folder>
#include <string>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

#include "desktop/Help.h"
#include "desktop/MainForm.h"
#include "model/Locale.h"
#include "platform/QtClipboard.h"
#include "platform/QtPrompts.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    mivo::InitLocaleFromEnvironment();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    mivo::TQtPrompts prompts;
    mivo::THtmlHelp help;
    mivo::TQtClipboard clipboard;
    const std::string example = std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo";
    mivo::TMainForm main(prompts, help, clipboard, {example});
    prompts.SetParent(&main);
    main.move(0, 0);
    main.resize(1280, 800);
    main.show();

    // Xvfb runs without a window manager, so nothing draws the frame's
    // title bar: the screenshot gets a plain one with the frame's title,
    // which names the maximised model window.
    const auto withTitleBar = [&main](const QPixmap& shot) {
        const int height = 28;
        QPixmap framed(shot.width(), shot.height() + height);
        framed.fill(QColor(0x2b, 0x4f, 0x81));
        QPainter painter(&framed);
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(10, 0, shot.width() - 20, height), Qt::AlignVCenter | Qt::AlignLeft, main.windowTitle());
        painter.drawPixmap(0, height, shot);
        return framed;
    };
    QObject::connect(&main, &mivo::TMainForm::CommandLineOpened, &main, [&] {
        QTimer::singleShot(800, &main, [&] {
            // The frame as Qt draws it, taken before the menu opens (text
            // drawn into a grab while a popup is open comes out blank).
            const QPixmap frame = main.grab();
            QMenu* file = main.FileMenu();
            const QRect item = main.menuBar()->actionGeometry(file->menuAction());
            file->popup(main.menuBar()->mapToGlobal(item.bottomLeft()));
            file->setActiveAction(main.Actions().FileSave);
            QTimer::singleShot(800, &main, [&main, &out, file, withTitleBar, frame] {
                // The open menu drawn where it pops up.
                QPixmap shot = frame;
                {
                    QPainter painter(&shot);
                    painter.drawPixmap(main.mapFromGlobal(file->pos()), file->grab());
                }
                withTitleBar(shot).save(out + QStringLiteral("/mivo-file-menu.png"));
                file->hide();
                QApplication::quit();
            });
        });
    });
    return QApplication::exec();
}
