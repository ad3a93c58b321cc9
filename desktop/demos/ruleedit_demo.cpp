// Shows the decision-rule editor on the table of "Apartment" in the example
// model, with some rules cleared so that derived intervals appear next to
// the entered (bold) results, a rule with an interval result current, and
// then the weights dialog of that table with its current-weight markers.
// Saves one screenshot of each:
//   ruleedit_demo <output folder>
// -> rule-editor.png, weights-dialog.png
#include <memory>
#include <string>

#include "desktop/tests/FunctTestKit.h"  // the in-memory services of the tests
#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoFunction.h"
#include "model/MivoModel.h"
#include "platform/Help.h"
#include "reports/Report.h"
#include "reports/ReportViewer.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "desktop/FunctForm.h"
#include "desktop/demos/TitleBar.h"
#include "desktop/WeightForm.h"
#include "desktop/WeightSlider.h"
#include "platform/ScriptedPrompts.h"

namespace {

// The window's screenshot with a plain title bar (Xvfb draws none).
QPixmap WithTitleBar(QWidget& window) { return mivo::WithTitleBar(window.grab(), window.windowTitle()); }

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    mivo::TMivoModel model;
    mivo::LoadFromFile(model, std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo");
    mivo::TMivoAttribute* apartment = model.FindByName("Apartment");
    if (!apartment || !apartment->Funct()) return 1;

    mivo::testkit::TMemoryClipboard clipboard;
    mivo::TScriptedPrompts prompts;
    mivo::testkit::TKeepingViewer viewer;
    mivo::testkit::THelpRecorder help;
    const mivo::TFunctServices services{clipboard, prompts, viewer, help};
    mivo::TFunctForm editor(model, services);
    editor.LoadAttribute(*apartment);
    editor.resize(620, 640);
    editor.move(40, 40);
    editor.show();
    Settle();

    // Clear a few rules: they are derived again from the entered ones,
    // some as intervals.
    for (int rule : {4, 10, 13, 16, 22}) {
        editor.SelectRule(rule);
        editor.FncDelBtn()->click();
    }
    int interval = 0;
    for (int r = 0; r < editor.Funct()->RuleCount(); ++r)
        if (editor.Funct()->RuleLow(r) != editor.Funct()->RuleHigh(r)) {
            interval = r;
            break;
        }
    editor.SelectRule(interval);
    Settle();
    WithTitleBar(editor).save(out + "/rule-editor.png");

    // The weights dialog: markers at the weights the rules give, the
    // required weights moved away from them.
    mivo::TWeiForm* weights = editor.WeiForm();
    if (!weights) return 1;
    weights->FormShow();
    weights->Row(0)->AttTrack()->setValue(50);
    weights->Row(1)->AttTrack()->setValue(30);
    weights->Row(2)->AttTrack()->setValue(20);
    weights->move(100, 100);
    weights->show();
    Settle();
    WithTitleBar(*weights).save(out + "/weights-dialog.png");
    weights->hide();
    editor.hide();
    return 0;
}
