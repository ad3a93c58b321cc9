// The titles the windows show: each reads as the program gives it, with no
// program name appended by the toolkit.
#include <functional>

#include <QTest>
#include <QTextBrowser>
#include <QWindow>

#include "desktop/AboutBox.h"
#include "desktop/FunctForm.h"
#include "desktop/Help.h"
#include "desktop/ScaleForm.h"
#include "desktop/WeightForm.h"
#include "desktop/tests/FunctTestKit.h"
#include "desktop/tests/ShellFixture.h"
#include "platform/QtApplication.h"
#include "reports/ui/PreviewForm.h"
#include "reports/ui/RptForm.h"
#include "reports/ui/SettingsForm.h"

namespace mivo::test {
namespace {

// The title a window hands the window system: its own title with the
// modified mark resolved.
std::string ShownTitle(QWidget& window) {
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    return window.windowHandle()->title().toStdString();
}

class WindowTitles : public ShellTest {};

TEST_F(WindowTitles, EveryWindowShowsItsTitleAsTheProgramGivesIt) {
    // The toolkit appends the application's display name to every title
    // when one is set. The program names itself without one, so the
    // display name only follows the application name.
    SetProgramName();
    EXPECT_EQ(QCoreApplication::applicationName(), ProgramName);
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    SetProgramName();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), ProgramName);

    Main->show();
    EXPECT_EQ(ShownTitle(*Main), "Mivo");
    TModelForm* form = Main->OpenModelWindow(ExampleModel());
    QCoreApplication::processEvents();
    TMivoModel& model = form->Model();
    THtmlHelp help;
    help.ShowContents();
    const TFunctServices services{Clipboard, Prompts, Viewer, Help};
    struct TCase {
        const char* Window;
        std::function<std::unique_ptr<QWidget>()> Make;  // null: the frame
        std::string Title;
    };
    const std::string caption = "Apartment [" + ExampleModel() + "]";
    const std::vector<TCase> cases{
        {"frame with a model window", nullptr, "Mivo - [" + caption + "]"},
        {"help", nullptr, "Mivo Help"},
        {"scale editor",
         [&]() -> std::unique_ptr<QWidget> {
             auto scale = std::make_unique<TScaleForm>(Prompts, Main.get());
             scale->LoadAttribute(*model.FindByName("Rent"), nullptr);
             return scale;
         },
         "Scale Rent"},
        {"rule editor",
         [&]() -> std::unique_ptr<QWidget> {
             auto rules = std::make_unique<TFunctForm>(model, services, Main.get());
             rules->LoadAttribute(*model.FindByName("Cost"));
             return rules;
         },
         "Cost Decision rules"},
        {"weights",
         [&]() -> std::unique_ptr<QWidget> {
             auto weights = std::make_unique<TWeiForm>(Main.get());
             TMivoAttribute& cost = *model.FindByName("Cost");
             weights->LoadFunction(cost, *cost.Funct(), [] {});
             return weights;
         },
         "Weights: Cost"},
        {"preview",
         [&]() -> std::unique_ptr<QWidget> {
             auto preview = std::make_unique<TPreviewForm>(Prompts, Clipboard, nullptr, Main.get());
             preview->setWindowState(Qt::WindowNoState);
             return preview;
         },
         "Preview"},
        {"settings", [&]() -> std::unique_ptr<QWidget> { return std::make_unique<TSettingsForm>(Prompts, Main.get()); },
         "Settings"},
        {"report dialog",
         [&]() -> std::unique_ptr<QWidget> { return std::make_unique<TRptForm>(Prompts, nullptr, Main.get()); },
         "Create report"},
        {"about box", [&]() -> std::unique_ptr<QWidget> { return std::make_unique<TAboutBox>(Main.get()); },
         "About Mivo"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Window);
        if (c.Make) {
            std::unique_ptr<QWidget> window = c.Make();
            EXPECT_EQ(ShownTitle(*window), c.Title);
        } else {
            QWidget* window = std::string(c.Window) == "help" ? static_cast<QWidget*>(help.Browser()) : Main.get();
            EXPECT_EQ(ShownTitle(*window), c.Title);
        }
    }
    help.CloseAll();
}

}  // namespace
}  // namespace mivo::test
