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

#include "desktop/ScaleForm.h"
#include "model/Locale.h"
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

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    mivo::InitLocaleFromEnvironment();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    const std::string example = std::string(MIVO_SOURCE_DIR) + "/examples/apartment.mvo";
    ShootScaleEditor(out, example);
    return 0;
}
