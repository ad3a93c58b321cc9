// Random input over the main window: a seeded driver presses keys (with
// and without modifiers), clicks and double-clicks the visible controls,
// and chooses the menu, tool-bar and popup commands of whatever the window
// shows, over a copy of the example model, offscreen. Every message box
// and dialog is answered by random prompts; a dialog of our own is shown,
// given a few random keys and clicks of its own, and closed with OK or
// Cancel. The driver knows no command by name, so every shortcut and menu
// item the program has is exercised.
//
// What counts as a fault: the program crashing (the sanitizer build also
// reports memory and undefined-behaviour faults), an internal assertion
// shown as an error, and a modal window that does not go through the
// prompt layer (it would block the program's user the same way).
//
// A few seeds run with the suite. MIVO_RANDOM_SEEDS=N runs seeds 1..N
// instead, MIVO_RANDOM_STEPS=N gives each seed N steps, and
// MIVO_RANDOM_TRACE=1 prints every step to standard error (to find the
// last one before a crash).
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "desktop/ModDocForm.h"
#include "desktop/Page.h"
#include "desktop/tests/ShellFixture.h"
#include "platform/ErrorDisplay.h"
#include "platform/QtFontSource.h"

namespace mivo::test {
namespace {

using TRandom = std::mt19937;

int Pick(TRandom& random, int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
bool Chance(TRandom& random, double p) { return std::bernoulli_distribution(p)(random); }

template <class T>
const T& PickOf(TRandom& random, const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(random, static_cast<int>(items.size())))];
}

// One key press as the driver sends it.
struct TKeyPress {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
};

std::string KeyName(const TKeyPress& press) {
    return QKeySequence(press.Key | press.Modifiers).toString().toStdString();
}

TKeyPress RandomKey(TRandom& random) {
    static const std::vector<Qt::Key> keys{
        Qt::Key_A,      Qt::Key_C,        Qt::Key_D,      Qt::Key_F,      Qt::Key_I,     Qt::Key_M,
        Qt::Key_N,      Qt::Key_O,        Qt::Key_P,      Qt::Key_S,      Qt::Key_V,     Qt::Key_X,
        Qt::Key_Z,      Qt::Key_0,        Qt::Key_1,      Qt::Key_2,      Qt::Key_3,     Qt::Key_4,
        Qt::Key_9,      Qt::Key_Asterisk, Qt::Key_Space,  Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Return,
        Qt::Key_Escape, Qt::Key_Up,       Qt::Key_Down,   Qt::Key_Left,   Qt::Key_Right, Qt::Key_Home,
        Qt::Key_End,    Qt::Key_PageUp,   Qt::Key_PageDown, Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Backspace,
        Qt::Key_F1,     Qt::Key_F2,       Qt::Key_F3,     Qt::Key_F4,     Qt::Key_F5,    Qt::Key_F9};
    static const std::vector<Qt::KeyboardModifiers> modifiers{
        Qt::NoModifier, Qt::NoModifier,    Qt::NoModifier, Qt::ControlModifier, Qt::ControlModifier,
        Qt::ShiftModifier, Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier};
    return {PickOf(random, keys), PickOf(random, modifiers)};
}

// Every action of the menu and its submenus.
void CollectMenu(const QMenu& menu, std::vector<QAction*>& actions) {
    for (QAction* action : menu.actions()) {
        if (QMenu* sub = action->menu()) {
            CollectMenu(*sub, actions);
        } else if (!action->isSeparator()) {
            actions.push_back(action);
        }
    }
}

// The visible, enabled controls of a window, the window included.
std::vector<QWidget*> VisibleControls(QWidget& window) {
    std::vector<QWidget*> controls{&window};
    for (QWidget* child : window.findChildren<QWidget*>())
        if (child->window() == &window && child->isVisible() && child->isEnabled() && child->width() > 0 &&
            child->height() > 0)
            controls.push_back(child);
    return controls;
}

// Prompts that answer every request at random, as a user in a hurry would.
// Our own dialogs are shown and poked by `PokeDialog`.
class TRandomPrompts final : public TPrompts {
public:
    TRandomPrompts(TRandom& random, std::filesystem::path folder) : random_(random), folder_(std::move(folder)) {}

    std::function<void(QDialog&)> PokeDialog;
    // Internal assertions shown as errors, modal windows outside the prompts.
    std::vector<std::string> Faults;
    std::vector<std::string> Log;

    TMsgAnswer Message(TMsgKind kind, const std::string& text, TMsgButtons buttons) override {
        (void)kind;
        Log.push_back("message: " + text);
        static const std::regex assertion(R"(\([^()]*\.(cpp|h), line [0-9]+\)$)");
        if (std::regex_search(text, assertion)) Faults.push_back("assertion: " + text);
        switch (buttons) {
            case TMsgButtons::Ok: return TMsgAnswer::Ok;
            case TMsgButtons::YesNo: return Chance(random_, 0.5) ? TMsgAnswer::Yes : TMsgAnswer::No;
            case TMsgButtons::YesNoCancel: {
                const TMsgAnswer answers[] = {TMsgAnswer::Yes, TMsgAnswer::No, TMsgAnswer::Cancel};
                return answers[Pick(random_, 3)];
            }
        }
        return TMsgAnswer::Ok;
    }

    std::optional<TFileAnswer> OpenFile(const TFileRequest& request) override {
        Log.push_back("open: " + request.Title);
        if (Chance(random_, 0.25)) return std::nullopt;
        std::vector<std::string> names{(folder_ / "missing.mvo").string()};
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().string());
        return TFileAnswer{PickOf(random_, names), 1 + Pick(random_, std::max<int>(1, request.Filters.size()))};
    }

    std::optional<TFileAnswer> SaveFile(const TFileRequest& request) override {
        Log.push_back("save: " + request.Title);
        if (Chance(random_, 0.3)) return std::nullopt;
        const int filter = 1 + Pick(random_, std::max<int>(1, request.Filters.size()));
        std::string extension = request.DefaultExt.empty() ? "dat" : request.DefaultExt;
        if (filter <= static_cast<int>(request.Filters.size())) {
            const std::string& patterns = request.Filters[static_cast<std::size_t>(filter - 1)].Patterns;
            if (patterns.starts_with("*.") && patterns != "*.*") extension = patterns.substr(2);
        }
        const std::string name = "out" + std::to_string(Pick(random_, 3)) + "." + extension;
        return TFileAnswer{(folder_ / name).string(), filter};
    }

    bool Print(TPrintRequest&) override { return false; }
    bool Font(TCanvasFont& font) override {
        if (Chance(random_, 0.5)) return false;
        font.Name = "Courier";
        font.Height = -16;
        return true;
    }
    bool Colour(TColor& colour) override {
        if (Chance(random_, 0.5)) return false;
        colour = static_cast<TColor>(random_() & 0xFFFFFF);
        return true;
    }
    bool PageSetup(TPageSetupRequest&) override { return false; }

    int Exec(QDialog& dialog, const std::string& name) override {
        Log.push_back("dialog: " + name);
        // A dialog opened from a dialog opened from a dialog is cancelled.
        if (depth_ >= 2) return DialogCancel;
        ++depth_;
        struct TLeave {
            int& depth;
            ~TLeave() { --depth; }
        } leave{depth_};
        dialog.show();
        dialog.activateWindow();
        QApplication::setActiveWindow(&dialog);
        QCoreApplication::processEvents();
        if (PokeDialog) PokeDialog(dialog);
        if (dialog.isVisible()) {
            if (Chance(random_, 0.5))
                dialog.accept();
            else
                dialog.reject();
        }
        if (dialog.isVisible()) dialog.reject();  // an OK it refused
        dialog.hide();
        const int result = dialog.result();
        return result == 0 ? DialogCancel : result;
    }

private:
    TRandom& random_;
    std::filesystem::path folder_;
    int depth_ = 0;
};

// The driver over one main window.
class TRandomDriver {
public:
    TRandomDriver(TRandom& random, TMainForm& main, TRandomPrompts& prompts, std::string model)
        : random_(random), main_(main), prompts_(prompts), model_(std::move(model)) {
        prompts_.PokeDialog = [this](QDialog& dialog) { Poke(dialog); };
        trace_ = std::getenv("MIVO_RANDOM_TRACE") != nullptr;
    }

    // Keys the next dialog gets instead of random ones.
    std::deque<TKeyPress> DialogKeys;

    // Presses the key on the focused control of the window in front.
    void PressKey(const TKeyPress& press) {
        Note("key " + KeyName(press));
        QTest::keyClick(KeyTarget(main_), press.Key, press.Modifiers);
        Settle();
    }

    // One random step.
    void Step() {
        KeepWindowOpen();
        const int kind = Pick(random_, 100);
        if (kind < 40)
            PressKey(RandomKey(random_));
        else if (kind < 65)
            ChooseCommand();
        else if (kind < 92)
            Click(main_);
        else if (kind < 96)
            SwitchPage();
        else
            SetClipboard();
    }

    const std::deque<std::string>& Recent() const { return recent_; }

private:
    void Note(const std::string& step) {
        if (trace_) std::cerr << "random input: " << step << std::endl;
        recent_.push_back(step);
        if (recent_.size() > 40) recent_.pop_front();
    }

    static void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The main window stays shown with a model window in it.
    void KeepWindowOpen() {
        if (!main_.isVisible()) {
            Note("show main window");
            main_.show();
            Settle();
        }
        if (main_.ModelForms().empty()) {
            Note("open the model");
            Guarded([&] { main_.OpenModelWindow(model_); });
            Settle();
        }
    }

    // The focused control of the window, a popup menu in front of it, or
    // the window itself.
    static QWidget* KeyTarget(QWidget& window) {
        if (QWidget* popup = QApplication::activePopupWidget()) return popup;
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && focus->window() == &window && focus->isVisible()) return focus;
        return &window;
    }

    // The commands the user can reach now: the menu bar's, the tool bars'
    // and those of an open popup menu.
    std::vector<QAction*> ReachableCommands() const {
        std::vector<QAction*> actions;
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            CollectMenu(*popup, actions);
            return actions;
        }
        for (QAction* top : main_.menuBar()->actions())
            if (QMenu* menu = top->menu()) CollectMenu(*menu, actions);
        for (QToolBar* bar : main_.findChildren<QToolBar*>())
            if (bar->isVisible())
                for (QAction* action : bar->actions())
                    if (!action->isSeparator() && action->isVisible()) actions.push_back(action);
        if (TModelForm* form = main_.CurrentModelForm())
            if (QMenu* popup = form->CurrentPage().Popup()) CollectMenu(*popup, actions);
        std::erase_if(actions, [](const QAction* a) { return !a->isEnabled(); });
        return actions;
    }

    void ChooseCommand() {
        const std::vector<QAction*> actions = ReachableCommands();
        if (actions.empty()) return;
        QAction* action = PickOf(random_, actions);
        Note("command " + action->text().toStdString());
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        action->trigger();
        Settle();
    }

    void Click(QWidget& window) {
        if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && Chance(random_, 0.5)) {
            Note("close popup");
            popup->close();
            Settle();
            return;
        }
        const std::vector<QWidget*> controls = VisibleControls(window);
        QWidget* control = PickOf(random_, controls);
        const QPoint at(Pick(random_, control->width()), Pick(random_, control->height()));
        const int how = Pick(random_, 10);
        const std::string what = control->metaObject()->className() + std::string(" ") +
                                 control->objectName().toStdString();
        if (how < 7) {
            Note("click " + what);
            QTest::mouseClick(control, Qt::LeftButton, {}, at);
        } else if (how < 9) {
            Note("right click " + what);
            QTest::mouseClick(control, Qt::RightButton, {}, at);
        } else {
            Note("double click " + what);
            QTest::mouseDClick(control, Qt::LeftButton, {}, at);
        }
        Settle();
    }

    void SwitchPage() {
        TModelForm* form = main_.CurrentModelForm();
        if (form == nullptr) return;
        const auto page = static_cast<TModelPage>(Pick(random_, 4));
        Note("page " + std::to_string(static_cast<int>(page)));
        form->SetCurrentPage(page);
        Settle();
    }

    // What a user leaves on the clipboard: nothing, some text, option data.
    void SetClipboard() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        switch (Pick(random_, 3)) {
            case 0: Note("clipboard empty"); clipboard->setMimeData(new QMimeData); break;
            case 1: Note("clipboard text"); clipboard->setText(QStringLiteral("2")); break;
            default:
                Note("clipboard option data");
                main_.Clipboard().SetText("Option\tA\tB\nRent\t1\t2\n");
                break;
        }
    }

    // A few keys and clicks in one of our dialogs.
    void Poke(QDialog& dialog) {
        if (!DialogKeys.empty()) {
            while (!DialogKeys.empty() && dialog.isVisible()) {
                const TKeyPress press = DialogKeys.front();
                DialogKeys.pop_front();
                Note("dialog key " + KeyName(press));
                QTest::keyClick(KeyTarget(dialog), press.Key, press.Modifiers);
                Settle();
            }
            return;
        }
        const int steps = Pick(random_, 8);
        for (int i = 0; i < steps && dialog.isVisible(); ++i) {
            if (Chance(random_, 0.6)) {
                const TKeyPress press = RandomKey(random_);
                Note("dialog key " + KeyName(press));
                QTest::keyClick(KeyTarget(dialog), press.Key, press.Modifiers);
                Settle();
            } else {
                Click(dialog);
            }
        }
    }

    TRandom& random_;
    TMainForm& main_;
    TRandomPrompts& prompts_;
    std::string model_;
    std::deque<std::string> recent_;
    bool trace_ = false;
};

int EnvNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    const int value = std::atoi(text);
    return value > 0 ? value : fallback;
}

std::vector<unsigned> SeedsToRun() {
    std::vector<unsigned> seeds;
    const int count = EnvNumber("MIVO_RANDOM_SEEDS", 3);
    for (int seed = 1; seed <= count; ++seed) seeds.push_back(static_cast<unsigned>(seed));
    return seeds;
}

// A main window over random prompts with a copy of the example model.
class RandomInput : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApplication();
        model_ = dir_.File("apartment.mvo");
        std::filesystem::copy_file(ExampleModel(), model_);
        // A clipboard that holds nothing, as on a display where nothing was
        // copied yet.
        QGuiApplication::clipboard()->setMimeData(new QMimeData);
    }
    void TearDown() override {
        if (main_) {
            for (TModelForm* form : main_->ModelForms()) form->Model().Modified = false;
            main_.reset();
        }
        QGuiApplication::clipboard()->clear();
    }

    void Start(unsigned seed) {
        random_.seed(seed);
        prompts_ = std::make_unique<TRandomPrompts>(random_, dir_.Path());
        main_ = std::make_unique<TMainForm>(*prompts_, help_, clipboard_);
        main_->SetReportViewer(&viewer_);
        main_->resize(900, 600);
        main_->show();
        QApplication::setActiveWindow(main_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
        driver_ = std::make_unique<TRandomDriver>(random_, *main_, *prompts_, model_);
        main_->OpenModelWindow(model_);
        // A modal window that did not come through the prompts would stop
        // the run: it is recorded and closed. A popup menu that stays open
        // for a second is closed as a user would close it (some, like a
        // tool bar's overflow menu, run a loop of their own until closed).
        watchdog_.setInterval(50);
        QObject::connect(&watchdog_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                prompts_->Faults.push_back(std::string("modal window outside the prompts: ") +
                                           modal->metaObject()->className());
                modal->close();
            }
            QWidget* popup = QApplication::activePopupWidget();
            popup_ticks_ = popup != nullptr && popup == last_popup_ ? popup_ticks_ + 1 : 0;
            last_popup_ = popup;
            if (popup != nullptr && popup_ticks_ >= 20) popup->close();
        });
        watchdog_.start();
    }

    void ExpectNoFaults() {
        std::string recent;
        for (const std::string& step : driver_->Recent()) recent += "\n  " + step;
        EXPECT_TRUE(prompts_->Faults.empty()) << prompts_->Faults.front() << "\nlast steps:" << recent;
    }

    TScratchDir dir_;
    std::string model_;
    TRandom random_;
    TRecordingHelp help_;
    TMemoryClipboard clipboard_;
    TRecordingViewer viewer_;
    std::unique_ptr<TRandomPrompts> prompts_;
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TRandomDriver> driver_;
    QTimer watchdog_;
    QPointer<QWidget> last_popup_;
    int popup_ticks_ = 0;
};

// The three keys that once ended the program: the model description, Tab
// into its description box, and a paste from a clipboard that holds
// nothing.
TEST_F(RandomInput, PastingNothingIntoTheModelDescriptionKeepsTheProgram) {
    Start(1);
    TModelForm* form = main_->CurrentModelForm();
    ASSERT_NE(form, nullptr);
    const std::string description = form->Model().GetDescription();
    std::string pasted;
    driver_->DialogKeys = {{Qt::Key_Tab, Qt::NoModifier},
                           {Qt::Key_V, Qt::ControlModifier},
                           {Qt::Key_Insert, Qt::ShiftModifier}};
    prompts_->PokeDialog = [&, poke = prompts_->PokeDialog](QDialog& dialog) {
        poke(dialog);
        pasted = FromQString(dynamic_cast<TDocForm&>(dialog).DescEdit->toPlainText());
        dialog.reject();
    };
    form->ModTreeView()->setFocus();
    driver_->PressKey({Qt::Key_M, Qt::ControlModifier});
    EXPECT_EQ(prompts_->Log, (std::vector<std::string>{"dialog: ModelDescription"}));
    std::string shown = description;
    for (std::size_t at = 0; (at = shown.find("\r\n", at)) != std::string::npos;) shown.erase(at, 1);
    EXPECT_EQ(pasted, shown);
    EXPECT_EQ(form->Model().GetDescription(), description);
    EXPECT_FALSE(form->Model().Modified);
    ExpectNoFaults();
}

class RandomInputSeeds : public RandomInput, public ::testing::WithParamInterface<unsigned> {};

TEST_P(RandomInputSeeds, NoCrashNoAssertionNoStrayModalWindow) {
    Start(GetParam());
    const int steps = EnvNumber("MIVO_RANDOM_STEPS", 400);
    for (int i = 0; i < steps; ++i) driver_->Step();
    ExpectNoFaults();
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomInputSeeds, ::testing::ValuesIn(SeedsToRun()),
                         [](const ::testing::TestParamInfo<unsigned>& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace mivo::test
