// Mivo, the desktop program: the application, the user's locale, the main
// window with its services, and the files named on the command line.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "desktop/Help.h"
#include "desktop/MainForm.h"
#include "model/Locale.h"
#include "platform/QtApplication.h"
#include "platform/QtClipboard.h"
#include "platform/QtPrinter.h"
#include "platform/QtPrompts.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/PreviewViewer.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // QApplication sets the C library's locale from the environment; the
    // model takes the user's decimal separator from it and puts numbers
    // back to "C".
    mivo::InitLocaleFromEnvironment();
    mivo::SetProgramName();

    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);

    mivo::TQtPrompts prompts;
    mivo::THtmlHelp help;
    mivo::TQtClipboard clipboard;
    mivo::TMainForm main(prompts, help, clipboard, std::move(files));
    prompts.SetParent(&main);
    // The print preview that shows every report; without a device printer
    // it prints to PDF files.
    const std::unique_ptr<mivo::TQtPrinter> printer = mivo::TQtPrinter::ForThisMachine();
    mivo::TPreviewForm preview(prompts, clipboard, printer.get(), &main);
    mivo::TPreviewViewer viewer(preview, prompts);
    main.SetReportViewer(&viewer);

    // For the start-up test: once the command line's files are open, print
    // the current window's caption and quit.
    if (std::getenv("MIVO_QUIT_AFTER_OPEN") != nullptr) {
        QObject::connect(&main, &mivo::TMainForm::CommandLineOpened, &main, [&main] {
            if (QMdiSubWindow* child = main.MdiArea()->currentSubWindow())
                std::printf("%s\n", child->windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]")).toStdString().c_str());
            std::fflush(stdout);
            QTimer::singleShot(0, &main, [&main] { main.close(); });
        });
    }

    main.resize(1000, 700);
    main.show();
    return QApplication::exec();
}
