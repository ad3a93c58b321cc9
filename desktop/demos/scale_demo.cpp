// Screenshots of the scale editor and of the Model page:
//   scale_demo <output folder>
// scale-editor.png: the editor on the example model's "Apartment" scale,
// with bad, neutral and good rows; model-page.png: the Model page on the
// example model, with its node images and the three boxes.
#include <string>

#include "model/MivoAttribute.h"
#include "model/MivoFile.h"
#include "model/MivoModel.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>

#include "desktop/Help.h"
#include "desktop/MainForm.h"
#include "desktop/ModelForm.h"
#include "desktop/ScaleForm.h"
#include "desktop/TreePage.h"
#include "model/Locale.h"
#include "platform/QtClipboard.h"
#include "platform/QtPrompts.h"

namespace {

void ShootScaleEditor(const QString& out, const std::string& example) {
    mivo::TQtPrompts prompts;
    mivo::TMivoModel model;
    mivo::LoadFromFile(model, example);
    mivo::TScaleForm form(prompts);
    form.LoadAttribute(*model.FindByName("Apartment"), model.Selected());
    form.move(20, 20);
    form.resize(600, 380);
    form.show();
    form.ValueList()->setCurrentItem(form.ValueList()->topLevelItem(1));
    QApplication::processEvents();
    form.grab().save(out + QStringLiteral("/scale-editor.png"));
}

// The main window with the example model's window maximised, the Model
// page current and "Cost" selected, so all three boxes show.
void ShootModelPage(const QString& out, const std::string& example) {
    mivo::TQtPrompts prompts;
    mivo::THtmlHelp help;
    mivo::TQtClipboard clipboard;
    mivo::TMainForm main(prompts, help, clipboard);
    prompts.SetParent(&main);
    main.move(0, 0);
    main.resize(1100, 640);
    main.show();
    mivo::TModelForm* form = main.OpenModelWindow(example);
    auto& page = dynamic_cast<mivo::TTreePage&>(form->Page(mivo::TModelPage::Model));
    page.SelectNode(form->Model().FindByName("Cost"));
    form->UpdateControls();
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    main.grab().save(out + QStringLiteral("/model-page.png"));
    form->Model().Modified = false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    mivo::InitLocaleFromEnvironment();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    const std::string example = std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo";
    ShootScaleEditor(out, example);
    ShootModelPage(out, example);
    return 0;
}
