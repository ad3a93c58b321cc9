// Shows the report dialog and the three pages of the settings dialog, each
// saved as a PNG into the folder named on the command line:
//   dialogs_demo <output folder>
// A look at the dialogs (and the screenshots) without the desktop program.
#include "model/MivoModel.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

#include "platform/QtApplication.h"
#include "platform/QtPrompts.h"
#include "reports/ui/RptForm.h"
#include "reports/ui/SettingsForm.h"

namespace {

bool Grab(QWidget& window, const QString& folder, const char* name) {
    window.show();
    window.adjustSize();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    const bool saved = window.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    window.hide();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    mivo::SetProgramName();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    mivo::TQtPrompts prompts;
    mivo::TMivoModel model;
    mivo::TMivoSettings& settings = model.Settings;
    settings.ReportParts.reset(3);  // scale descriptions
    settings.ReportParts.reset(8);  // chart
    settings.WeightShow.reset(2);
    settings.WeightShow.reset(3);
    settings.WeightDec = 2;
    settings.EvalTrim = 12;

    bool ok = true;
    mivo::TSettingsForm settingsForm(prompts);
    mivo::TRptForm rptForm(prompts, &settingsForm);
    rptForm.SetSelection(settings.ReportParts);
    ok &= Grab(rptForm, folder, "report-dialog.png");

    settingsForm.LoadSettings(&model);
    settingsForm.SetPages(true);
    const char* const pages[] = {"settings-report.png", "settings-import-export.png", "settings-advanced.png"};
    for (int page = 0; page < 3; ++page) {
        settingsForm.show();
        settingsForm.Pages->setCurrentIndex(page);
        ok &= Grab(settingsForm, folder, pages[page]);
    }
    return ok ? 0 : 1;
}
