// The decision-rule editor, driven without a main window: a model built in
// the test, scripted prompts, an in-memory clipboard, a viewer that keeps
// the report and a help recorder.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "desktop/tests/FunctTestKit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "desktop/FncEntForm.h"
#include "desktop/FncGrid.h"
#include "desktop/FunctForm.h"
#include "desktop/FunctTableModel.h"
#include "desktop/WeightForm.h"
#include "desktop/WeightSlider.h"
#include "model/RuleText.h"
#include "platform/ErrorDisplay.h"
#include "platform/QtApplication.h"
#include "platform/ScriptedPrompts.h"
#include "reports/MivoRpt.h"
#include "reports/TextFormatter.h"

namespace mivo {
namespace {

using testkit::RulesOf;

std::string AsText(TReport& report) {
    TTextFormatter formatter(report, {0, 0}, {120, 0});
    formatter.Run();
    return formatter.ToText();
}

class FunctForm : public ::testing::Test {
public:
    void SetUp() override {
        EnsureGuiApplication();
        previous_ = SetErrorPrompts(&prompts);
    }
    void TearDown() override {
        SetErrorPrompts(previous_);
        EXPECT_TRUE(prompts.Failures().empty()) << prompts.Failures().front();
    }

    TFunctForm& Open(TMivoAttribute* attribute, TClipboard* clip = nullptr) {
        services = std::make_unique<TFunctServices>(
            TFunctServices{clip ? *clip : clipboard, prompts, viewer, help});
        form = std::make_unique<TFunctForm>(fixture.model, *services);
        form->LoadAttribute(*attribute);
        return *form;
    }
    TMivoFunction& Funct() { return *form->Funct(); }
    // Makes rule r current and chooses list entry i, as the user does.
    void Choose(int rule, int entry) {
        form->SelectRule(rule);
        Q_EMIT form->ValueEdit()->activated(entry);
    }
    void Key(const QString& text, Qt::Key key = Qt::Key_unknown) {
        QTest::keyClick(form->FncGrid(), key == Qt::Key_unknown ? Qt::Key(text.at(0).unicode()) : key);
    }
    int Low(int r) { return Funct().RuleLow(r); }
    int High(int r) { return Funct().RuleHigh(r); }

    testkit::TTestModel fixture;
    testkit::TMemoryClipboard clipboard;
    TScriptedPrompts prompts;
    testkit::TKeepingViewer viewer;
    testkit::THelpRecorder help;
    std::unique_ptr<TFunctServices> services;
    std::unique_ptr<TFunctForm> form;

private:
    TPrompts* previous_ = nullptr;
};

// --- loading and the grid ------------------------------------------------------

TEST_F(FunctForm, LoadsTheTableIntoTheGrid) {
    TFunctForm& f = Open(fixture.car);
    EXPECT_EQ(f.windowTitle(), "Car Decision rules");
    EXPECT_GE(f.minimumWidth(), 300);
    EXPECT_GE(f.minimumHeight(), 300);
    EXPECT_NE(f.Funct(), fixture.car->Funct());
    EXPECT_FALSE(f.ValueEdit()->isEditable());
    ASSERT_EQ(f.ValueEdit()->count(), 4);
    EXPECT_EQ(f.ValueEdit()->itemText(3), "*");

    // 12 rules show 13 rows; column 0 is as wide as "12" plus 4 pixels.
    TFunctTableModel& grid = *f.GridModel();
    EXPECT_EQ(grid.rowCount(), 13);
    EXPECT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(f.FncGrid()->columnWidth(0), QFontMetrics(f.FncGrid()->font()).horizontalAdvance("12") + 4);
    EXPECT_EQ(grid.CellText(0, 1), "Price");
    EXPECT_EQ(grid.CellText(0, 4), "Car");
    EXPECT_EQ(grid.CellText(12, 0), "12");
    EXPECT_EQ(grid.CellText(12, 1), "low");
    EXPECT_EQ(grid.CellText(1, 4), "*");

    // Row 1's result cell is current; only result cells can be.
    EXPECT_EQ(f.CurrentRule(), 0);
    EXPECT_TRUE(grid.flags(grid.index(3, 4)) & Qt::ItemIsSelectable);
    EXPECT_FALSE(grid.flags(grid.index(3, 2)) & Qt::ItemIsSelectable);
    EXPECT_FALSE(grid.flags(grid.index(0, 4)) & Qt::ItemIsSelectable);

    // Bad input values red, good ones green; the result header bold.
    EXPECT_EQ(grid.data(grid.index(1, 1), Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_EQ(grid.data(grid.index(12, 1), Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 128, 0));
    EXPECT_FALSE(grid.data(grid.index(5, 1), Qt::ForegroundRole).isValid());  // "medium"
    EXPECT_TRUE(grid.data(grid.index(0, 4), Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(f.StatusText().toStdString(), Funct().StatusText());

    // The menu: one item per value, "&*", then the two commands.
    ASSERT_EQ(f.ValueItems().size(), 4u);
    EXPECT_EQ(f.ValueItems()[0]->text(), "&1 &bad");
    EXPECT_EQ(f.ValueItems()[3]->text(), "&*");
    EXPECT_TRUE(f.AutItem()->isCheckable());
    EXPECT_TRUE(f.AutItem()->isChecked());
    EXPECT_EQ(FncItemCaption(1, "R&D"), "&2 &R&&D");
}

TEST_F(FunctForm, RuleValueTexts) {
    auto scale = testkit::MakeScale({"a", "b", "c", "d"});
    struct Case {
        int low, high;
        const char* text;
    };
    const Case cases[] = {{1, 1, "b"}, {0, 3, "*"}, {0, 2, "<=c"}, {1, 3, ">=b"}, {1, 2, "b:c"}};
    for (const Case& c : cases) EXPECT_EQ(RuleValueText(*scale, c.low, c.high), c.text);
}

TEST_F(FunctForm, ReloadingStartsAfresh) {
    TFunctForm& f = Open(fixture.car);
    Choose(0, 2);
    f.LoadAttribute(*fixture.paint);
    EXPECT_EQ(f.GridModel()->rowCount(), 7);
    EXPECT_EQ(f.History().Count(), 1);
    EXPECT_EQ(f.WeiForm(), nullptr);
    EXPECT_EQ(f.IntervalHigh(), 2);
    EXPECT_EQ(RulesOf(Funct()), RulesOf(*fixture.paint->Funct()));
}

// --- editing -------------------------------------------------------------------

TEST_F(FunctForm, EachWayOfSettingARule) {
    struct Case {
        const char* name;
        std::function<void(FunctForm&)> act;
        int low, high;
        bool entered;
    };
    const Case cases[] = {
        {"list entry", [](FunctForm& t) { Q_EMIT t.form->ValueEdit()->activated(1); }, 1, 1, true},
        {"list's last entry", [](FunctForm& t) { Q_EMIT t.form->ValueEdit()->activated(3); }, 0, 2, true},
        {"menu item", [](FunctForm& t) { t.form->ValueItems()[2]->trigger(); }, 2, 2, true},
        {"menu item *", [](FunctForm& t) { t.form->ValueItems()[3]->trigger(); }, 0, 2, true},
        {"key", [](FunctForm& t) { t.Key("2"); }, 1, 1, true},
        {"key 3", [](FunctForm& t) { t.Key("3"); }, 2, 2, true},
        {"Delete after a key",
         [](FunctForm& t) {
             t.Key("3");
             t.Key("", Qt::Key_Delete);
         },
         0, 2, false},
        {"Delete button after a key",
         [](FunctForm& t) {
             t.Key("1");
             t.form->FncDelBtn()->click();
         },
         0, 2, false},
        {"Escape", [](FunctForm& t) { t.Key("", Qt::Key_Escape); }, 0, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFunctForm& f = Open(fixture.car);
        f.SelectRule(4);
        c.act(*this);
        EXPECT_EQ(Low(4), c.low);
        EXPECT_EQ(High(4), c.high);
        EXPECT_EQ(Funct().RuleEntered(4), c.entered);
        const QModelIndex cell = f.GridModel()->index(5, 4);
        EXPECT_EQ(f.GridModel()->data(cell, Qt::FontRole).value<QFont>().bold(), c.entered);
        EXPECT_EQ(f.FncDelBtn()->isEnabled(), c.entered);
        EXPECT_EQ(f.StatusText().toStdString(), Funct().StatusText());
        // The stored function is never touched.
        EXPECT_EQ(fixture.car->Funct()->EnteredCount(), 0);
    }
}

TEST_F(FunctForm, StarItemSetsTheWholeScaleAfterAnIntervalWasShown) {
    TFunctForm& f = Open(fixture.car);
    Choose(0, 1);  // rule 1 "fair": every rule above it becomes ">=fair"
    f.SelectRule(5);
    ASSERT_EQ(Low(5), 1);
    ASSERT_EQ(High(5), 2);
    EXPECT_EQ(f.ValueEdit()->itemText(3), ">=fair");
    EXPECT_EQ(f.IntervalLow(), 1);

    // The list's last entry applies the interval it shows ...
    f.SelectRule(7);
    Q_EMIT f.ValueEdit()->activated(3);
    EXPECT_EQ(Low(7), 1);
    EXPECT_EQ(High(7), 2);
    EXPECT_TRUE(Funct().RuleEntered(7));
    // ... and Escape gives it as a rule not entered ...
    f.SelectRule(9);
    Key("", Qt::Key_Escape);
    EXPECT_FALSE(Funct().RuleEntered(9));
    EXPECT_EQ(Low(9), 1);
    // ... while the item labelled "*" gives the whole scale.
    f.SelectRule(11);
    f.ValueItems()[3]->trigger();
    EXPECT_EQ(Low(11), 0);
    EXPECT_EQ(High(11), 2);
    EXPECT_TRUE(Funct().RuleEntered(11));
}

TEST_F(FunctForm, ValuesOutsideTheScaleChangeNothing) {
    TFunctForm& f = Open(fixture.car);
    Choose(2, 1);
    const std::string before = RulesOf(Funct());
    const int states = f.History().Count();
    f.SelectRule(3);
    Q_EMIT f.ValueEdit()->activated(-1);
    Q_EMIT f.ValueEdit()->activated(4);
    Q_EMIT f.ValueEdit()->activated(250);
    for (const char* key : {"4", "9", "0", ":"}) Key(key);
    EXPECT_EQ(RulesOf(Funct()), before);
    EXPECT_EQ(f.History().Count(), states);

    // Keys outside "1".."3" go on to the control: the value list takes
    // them as it would without the editor.
    QKeyEvent four(QEvent::KeyPress, Qt::Key_4, Qt::NoModifier, "4");
    four.ignore();
    QCoreApplication::sendEvent(f.ValueEdit(), &four);
    EXPECT_EQ(RulesOf(Funct()), before);
}

TEST_F(FunctForm, ValueKeysTakeTheKeypadAndShiftButNotCtrlAltOrMeta) {
    // "Ten" has ten values over one input: the tenth value's key is ":".
    std::vector<std::string> ten;
    for (int v = 1; v <= 10; ++v) ten.push_back("v" + std::to_string(v));
    TMivoAttribute* tenValues = testkit::AddAttribute(*fixture.model.Root(), "Ten", ten);
    testkit::AddAttribute(*tenValues, "Input", {"a", "b"});
    tenValues->CreateFunction();
    struct Case {
        TMivoAttribute* Attribute;
        Qt::Key Key;
        const char* Text;
        Qt::KeyboardModifiers Modifiers;
        int Value;  // the rule's value afterwards; -1: unchanged
    };
    const std::vector<Case> cases{
        {fixture.car, Qt::Key_2, "2", Qt::NoModifier, 1},
        {fixture.car, Qt::Key_2, "2", Qt::KeypadModifier, 1},
        {fixture.car, Qt::Key_3, "3", Qt::KeypadModifier | Qt::ShiftModifier, 2},
        {tenValues, Qt::Key_Colon, ":", Qt::ShiftModifier, 9},
        {tenValues, Qt::Key_9, "9", Qt::KeypadModifier, 8},
        {fixture.car, Qt::Key_2, "2", Qt::ControlModifier, -1},
        {fixture.car, Qt::Key_2, "2", Qt::AltModifier, -1},
        {fixture.car, Qt::Key_2, "2", Qt::MetaModifier, -1},
        {tenValues, Qt::Key_Colon, ":", Qt::ShiftModifier | Qt::ControlModifier, -1},
    };
    for (const Case& c : cases) {
        TFunctForm& f = Open(c.Attribute);
        f.SelectRule(0);
        const std::string before = RulesOf(Funct());
        QKeyEvent press(QEvent::KeyPress, c.Key, c.Modifiers, QString::fromLatin1(c.Text));
        QCoreApplication::sendEvent(f.FncGrid(), &press);
        if (c.Value < 0) {
            EXPECT_EQ(RulesOf(Funct()), before) << c.Text << " " << c.Modifiers;
        } else {
            EXPECT_EQ(Low(0), c.Value) << c.Text << " " << c.Modifiers;
            EXPECT_EQ(High(0), c.Value) << c.Text << " " << c.Modifiers;
            EXPECT_TRUE(Funct().RuleEntered(0));
        }
    }
}

TEST_F(FunctForm, KeysEscapeEnterAndHelp) {
    TFunctForm& f = Open(fixture.car);
    QSignalSpy rejected(&f, &QDialog::rejected);
    QSignalSpy accepted(&f, &QDialog::accepted);
    Key("", Qt::Key_Escape);
    QTest::keyClick(f.ValueEdit(), Qt::Key_Escape);
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 0);
    QTest::keyClick(f.FncGrid(), Qt::Key_F1);
    EXPECT_EQ(help.contexts, std::vector<int>{1229});
    QTest::keyClick(f.FncGrid(), Qt::Key_Return);
    EXPECT_EQ(accepted.count(), 1);
}

TEST_F(FunctForm, RightClickMakesItsRowCurrent) {
    TFunctForm& f = Open(fixture.car);
    f.show();
    QTableView* grid = f.FncGrid();
    const QRect cell = grid->visualRect(f.GridModel()->index(4, 2));
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_EQ(f.CurrentRule(), 3);
    f.FncEditMenu()->hide();
    // A left click on an input cell or a header moves nothing.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(f.GridModel()->index(6, 1)).center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(f.GridModel()->index(0, 4)).center());
    EXPECT_EQ(f.CurrentRule(), 3);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(f.GridModel()->index(6, 4)).center());
    EXPECT_EQ(f.CurrentRule(), 5);
    f.hide();
}

// Inputs with names of 70 characters: each column is as wide as its values
// and at most the heading cap, so the current result cell shows its value
// inside the window instead of the blank end of a column wider than it.
TEST_F(FunctForm, LongInputNamesDoNotWidenTheColumnsBeyondTheHeadingCap) {
    const std::string longName = "Přesná ocenění façade déjà Größe naïve Ångström jalapeño smörgåsbord ok";
    TMivoAttribute* top = testkit::AddAttribute(*fixture.model.Root(), longName + " top", {"bad", "good"});
    for (int i = 0; i < 3; ++i) testkit::AddAttribute(*top, longName + std::to_string(i), {"low", "high"});
    top->CreateFunction();
    // Loaded while the window is small (the single instance keeps its last
    // size), then shown larger: the headings and the current cell show.
    TFunctForm& f = Open(top);
    f.resize(200, 150);
    f.show();
    QCoreApplication::processEvents();
    f.hide();
    f.LoadAttribute(*top);
    f.resize(700, 400);
    f.show();
    QCoreApplication::processEvents();
    QTableView* grid = f.FncGrid();
    EXPECT_EQ(grid->rowAt(0), 0) << "the heading row is in view";
    const QFontMetrics metrics(grid->font());
    const int cap = TFncGrid::HeadingCapCharacters * metrics.averageCharWidth();
    for (int column = 1; column < f.GridModel()->columnCount(); ++column) {
        EXPECT_LE(grid->columnWidth(column), cap + 12) << column;
        EXPECT_GE(grid->columnWidth(column), metrics.horizontalAdvance("high")) << column;
    }
    const QRect current = grid->visualRect(grid->currentIndex());
    EXPECT_GE(current.left(), 0);
    EXPECT_LE(current.right(), grid->viewport()->width());
    f.hide();
}

TEST_F(FunctForm, ColumnsResizeByTheirBorderInRowZero) {
    TFunctForm& f = Open(fixture.car);
    f.show();
    QTableView* grid = f.FncGrid();
    const int width = grid->columnWidth(1);
    const QRect header = grid->visualRect(f.GridModel()->index(0, 1));
    const QPoint border(header.right() + 1, header.center().y());
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid->viewport(), border + QPoint(30, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
    EXPECT_EQ(grid->columnWidth(1), width + 30);
    EXPECT_EQ(f.CurrentRule(), 0);
    f.hide();
}

// --- enabling ------------------------------------------------------------------

TEST_F(FunctForm, EnterValuesOnceEveryRuleIsEntered) {
    TFunctForm& f = Open(fixture.car);
    Choose(0, 0);
    Choose(11, 2);
    EXPECT_TRUE(f.EntItem()->isEnabled());
    const std::string before = RulesOf(Funct());
    const int states = f.History().Count();

    // Cancel changes nothing and adds no state.
    prompts.ExpectExec([](QDialog& dialog) {
        static_cast<TFncEntForm&>(dialog).SetWholeTable(true);
        return int(QDialog::Rejected);
    });
    f.EntItem()->trigger();
    EXPECT_EQ(RulesOf(Funct()), before);
    EXPECT_EQ(f.History().Count(), states);

    prompts.ExpectExec([](QDialog& dialog) {
        auto& ent = static_cast<TFncEntForm&>(dialog);
        ent.SetWholeTable(true);
        ent.EnterBtn()->click();
        return dialog.result();
    });
    f.EntItem()->trigger();
    EXPECT_EQ(Funct().EnteredCount(), 12);
    EXPECT_FALSE(f.EntItem()->isEnabled());
    EXPECT_EQ(f.History().Count(), states + 1);
}

TEST_F(FunctForm, UndoAndRedoHiddenWithTheModelsUndoOff) {
    fixture.model.Settings.Undoing = false;
    TFunctForm& f = Open(fixture.car);
    Choose(0, 1);
    EXPECT_TRUE(f.UndoBtn()->isHidden());
    EXPECT_TRUE(f.RedoBtn()->isHidden());
    EXPECT_EQ(f.History().Count(), 0);
    fixture.model.Settings.Undoing = true;
    Open(fixture.car);
    EXPECT_FALSE(form->UndoBtn()->isHidden());
    EXPECT_FALSE(form->UndoBtn()->isEnabled());
}

TEST_F(FunctForm, BoxesAfterAnInconsistentEditAndItsUndo) {
    TFunctForm& f = Open(fixture.car);
    Choose(0, 1);
    EXPECT_TRUE(f.FncCstChk()->isEnabled());
    EXPECT_TRUE(f.FncCstChk()->isChecked());
    Choose(11, 0);  // the best inputs give a worse value than the worst
    EXPECT_EQ(Funct().ConsistState, -1);
    EXPECT_FALSE(f.FncCstChk()->isChecked());
    EXPECT_FALSE(f.FncCstChk()->isEnabled());

    f.UndoBtn()->click();
    EXPECT_FALSE(Funct().RuleEntered(11));
    EXPECT_EQ(Funct().ConsistState, 1);
    EXPECT_TRUE(Funct().Consist);
    EXPECT_TRUE(f.FncCstChk()->isChecked());
    EXPECT_TRUE(f.FncCstChk()->isEnabled());
    EXPECT_TRUE(f.FncWeiChk()->isEnabled());
    // The rules not entered are derived again as in that state.
    EXPECT_EQ(Low(11), 1);
    EXPECT_EQ(High(11), 2);

    f.RedoBtn()->click();
    EXPECT_EQ(Funct().ConsistState, -1);
    EXPECT_FALSE(f.FncCstChk()->isEnabled());
}

TEST_F(FunctForm, BoxesAfterAFailedFitAndItsUndo) {
    TFunctForm& f = Open(fixture.car);
    f.FncWeiChk()->click();  // no entered rule: the fit fails
    EXPECT_EQ(Funct().ModelState, -1);
    EXPECT_FALSE(Funct().UseWeights);
    EXPECT_FALSE(f.FncWeiChk()->isChecked());
    EXPECT_FALSE(f.FncWeiChk()->isEnabled());

    f.UndoBtn()->click();
    EXPECT_EQ(Funct().ModelState, 0);
    EXPECT_FALSE(f.FncWeiChk()->isChecked());
    EXPECT_TRUE(f.FncWeiChk()->isEnabled());
}

TEST_F(FunctForm, AutomaticSetupOffDerivesNothing) {
    TFunctForm& f = Open(fixture.car);
    f.AutItem()->trigger();
    EXPECT_TRUE(f.NoAutomatic());
    EXPECT_FALSE(f.FncCstChk()->isEnabled());
    EXPECT_FALSE(f.FncWeiChk()->isEnabled());
    Choose(0, 1);
    EXPECT_EQ(Low(5), 0);  // not derived to ">=fair"
    f.AutItem()->trigger();
    EXPECT_EQ(Low(5), 1);
}

TEST_F(FunctForm, UnorderedInputShowsNoOrderControlsAndDerivesNothing) {
    TFunctForm& f = Open(fixture.paint);
    EXPECT_TRUE(f.FncWeiBtn()->isHidden());
    EXPECT_TRUE(f.FncWeiChk()->isHidden());
    EXPECT_TRUE(f.FncCstChk()->isHidden());
    EXPECT_FALSE(f.AutItem()->isVisible());
    EXPECT_TRUE(f.NoAutomatic());
    EXPECT_EQ(f.WeiForm(), nullptr);
    Choose(0, 2);
    Choose(5, 2);
    for (int r = 1; r < 5; ++r) {
        EXPECT_EQ(Low(r), 0) << r;
        EXPECT_EQ(High(r), 2) << r;
    }
}

// --- history -------------------------------------------------------------------

TEST_F(FunctForm, HistoryHoldsAtMostTwentyStates) {
    TFunctForm& f = Open(fixture.car);
    for (int i = 0; i < 25; ++i) Choose(i % 12, i % 3);
    EXPECT_EQ(f.History().Count(), 20);
    const std::string last = RulesOf(Funct());
    int undos = 0;
    while (f.UndoBtn()->isEnabled()) {
        f.UndoBtn()->click();
        ++undos;
    }
    EXPECT_EQ(undos, 19);
    // The oldest states are gone: the first kept one has six rules set.
    EXPECT_EQ(Funct().EnteredCount(), 6);
    while (f.RedoBtn()->isEnabled()) f.RedoBtn()->click();
    EXPECT_EQ(RulesOf(Funct()), last);

    // A change after an undo drops the states after it.
    f.UndoBtn()->click();
    Choose(0, 0);
    EXPECT_FALSE(f.RedoBtn()->isEnabled());
    EXPECT_EQ(f.History().Count(), 20);
}

TEST_F(FunctForm, UndoRestoresTheRowAndTheWholeFunction) {
    TFunctForm& f = Open(fixture.car);
    Choose(0, 0);
    Choose(11, 2);
    Choose(6, 1);
    const TMivoFunction& w = Funct();
    const double k = w.K;
    const auto actual = w.ActualWeights;
    f.SelectRule(2);
    f.UndoBtn()->click();
    EXPECT_EQ(f.CurrentRule(), 11);
    EXPECT_FALSE(w.RuleEntered(6));
    f.RedoBtn()->click();
    EXPECT_EQ(f.CurrentRule(), 6);
    EXPECT_TRUE(w.RuleEntered(6));
    EXPECT_EQ(w.K, k);
    EXPECT_EQ(w.ActualWeights, actual);
}

TEST_F(FunctForm, UndoAcrossTheWeightsDialog) {
    TFunctForm& f = Open(fixture.car);
    Choose(0, 0);
    Choose(11, 2);
    Choose(3, 1);
    const int states = f.History().Count();
    prompts.ExpectExec([](QDialog& dialog) {
        auto& weights = static_cast<TWeiForm&>(dialog);
        weights.Row(0)->AttTrack()->setValue(80);
        weights.RoundButton(2)->setChecked(true);
        weights.OKBtn()->click();
        return dialog.result();
    });
    f.FncWeiBtn()->click();
    EXPECT_TRUE(Funct().UseWeights);
    EXPECT_EQ(Funct().ModelState, 1);
    EXPECT_EQ(Funct().RequiredWeights[0], 80);
    EXPECT_EQ(Funct().Rounding, 1);
    EXPECT_TRUE(f.FncWeiChk()->isChecked());
    EXPECT_EQ(f.History().Count(), states + 1);
    // The weights filled the open rules with single values.
    for (int r = 0; r < 12; ++r) EXPECT_EQ(Low(r), High(r)) << r;

    f.UndoBtn()->click();
    EXPECT_FALSE(Funct().UseWeights);
    EXPECT_NEAR(Funct().RequiredWeights[0], 100.0 / 3, 1e-9);
    EXPECT_EQ(Funct().Rounding, 0);
    EXPECT_FALSE(f.FncWeiChk()->isChecked());

    // The dialog shows the function's rounding again, not the one of its
    // last showing.
    prompts.ExpectExec([](QDialog& dialog) {
        EXPECT_TRUE(static_cast<TWeiForm&>(dialog).RoundButton(1)->isChecked());
        return int(QDialog::Rejected);
    });
    f.FncWeiBtn()->click();
}

TEST_F(FunctForm, WeightsOkWithoutEnteredRulesLeavesUseWeightsOff) {
    TFunctForm& f = Open(fixture.car);
    prompts.ExpectExec([](QDialog& dialog) {
        static_cast<TWeiForm&>(dialog).OKBtn()->click();
        return dialog.result();
    });
    f.FncWeiBtn()->click();
    EXPECT_FALSE(Funct().UseWeights);
    EXPECT_FALSE(f.FncWeiChk()->isChecked());
    EXPECT_FALSE(f.FncWeiChk()->isEnabled());
}

// --- copy and paste ------------------------------------------------------------

TEST_F(FunctForm, PastingItsOwnCopyChangesNothing) {
    TFunctForm& f = Open(fixture.car);
    Choose(0, 0);
    Choose(11, 2);
    f.FncCopyBtn()->click();
    EXPECT_EQ(clipboard.text, RulesClipboardText(Funct(), fixture.model.Settings));
    const std::string before = RulesOf(Funct());
    const int states = f.History().Count();
    prompts.ExpectMessage(TMsgAnswer::Ok);
    f.FncPasteBtn()->click();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Paste function: imported rules: 12; changed values: 0"});
    EXPECT_EQ(RulesOf(Funct()), before);
    EXPECT_EQ(f.History().Count(), states + 1);
}

TEST_F(FunctForm, PasteSkipsBadLinesAndCountsTheRest) {
    TFunctForm& f = Open(fixture.car);
    // Values from 1 (the default form): rule 2 := good, rule 12 := fair;
    // a rule number outside the table, a value outside the scale and a
    // line whose inputs name another rule are skipped.
    clipboard.text =
        "\tPrice\tSafety\tComfort\tCar\r\n"
        "2\t1\t1\t2\t3\t+\r\n"
        "12\t3\t2\t2\t2\r\n"
        "13\t1\t1\t1\t1\r\n"
        "4\t1\t2\t2\t7\r\n"
        "5\t3\t1\t1\t1\r\n";
    prompts.ExpectMessage(TMsgAnswer::Ok);
    f.FncPasteBtn()->click();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Paste function: imported rules: 2; changed values: 2"});
    EXPECT_EQ(Low(1), 2);
    EXPECT_TRUE(Funct().RuleEntered(1));
    EXPECT_EQ(Low(11), 1);
    EXPECT_TRUE(Funct().RuleEntered(11));
    EXPECT_FALSE(Funct().RuleEntered(3));
    EXPECT_EQ(Funct().ConsistState, -1);  // refreshed after the paste
}

TEST_F(FunctForm, PasteFromAFailingClipboardChangesNothing) {
    testkit::TFailingClipboard failing;
    TFunctForm& f = Open(fixture.car, &failing);
    Choose(0, 1);
    const std::string before = RulesOf(Funct());
    const int states = f.History().Count();
    const int index = f.History().Index();
    prompts.ExpectMessage(TMsgAnswer::Ok);
    f.FncPasteBtn()->click();
    ASSERT_EQ(prompts.Log().size(), 1u);
    EXPECT_EQ(prompts.Log()[0].MsgKind, TMsgKind::Error);
    EXPECT_EQ(prompts.Log()[0].Text, "The clipboard cannot be opened");
    EXPECT_EQ(RulesOf(Funct()), before);
    EXPECT_EQ(f.History().Count(), states);
    EXPECT_EQ(f.History().Index(), index);
    // Copying to it fails the same way, through the error display.
    prompts.ExpectMessage(TMsgAnswer::Ok);
    f.FncCopyBtn()->click();
    EXPECT_EQ(prompts.Log().size(), 2u);
}

// --- the rules report ----------------------------------------------------------

TEST_F(FunctForm, RulesReportShowsTheWorkingCopy) {
    TFunctForm& f = Open(fixture.car);
    Choose(4, 2);
    f.FncRptBtn()->click();
    ASSERT_EQ(viewer.shows, 1);
    ASSERT_NE(viewer.report, nullptr);
    EXPECT_FALSE(viewer.busyWhenShown);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    const std::string shown = AsText(*viewer.report);
    auto working = BuildFunctionRulesReport(&fixture.model, &Funct(), fixture.car, TPen{}, viewer.ReportFont());
    auto stored = BuildFunctionRulesReport(&fixture.model, fixture.car->Funct(), fixture.car, TPen{},
                                           viewer.ReportFont());
    EXPECT_EQ(shown, AsText(*working));
    EXPECT_NE(shown, AsText(*stored));
    EXPECT_NE(shown.find("good"), std::string::npos);
}

// --- endings -------------------------------------------------------------------

TEST_F(FunctForm, EndingsHandTheCopyOverOnlyOnOk) {
    enum Ending { Ok, CancelButton, CloseBox, Rejected };
    for (Ending ending : {Ok, CancelButton, CloseBox, Rejected}) {
        SCOPED_TRACE(ending);
        testkit::TTestModel local;
        fixture.model.Settings = local.model.Settings;
        services = std::make_unique<TFunctServices>(TFunctServices{clipboard, prompts, viewer, help});
        TFunctForm f(local.model, *services);
        f.LoadAttribute(*local.car);
        const std::string stored = RulesOf(*local.car->Funct());
        TMivoFunction* original = local.car->Funct();
        std::string edited;
        prompts.ExpectExec([&](QDialog& dialog) {
            auto& editor = static_cast<TFunctForm&>(dialog);
            editor.SelectRule(0);
            Q_EMIT editor.ValueEdit()->activated(0);
            editor.SelectRule(11);
            Q_EMIT editor.ValueEdit()->activated(2);
            editor.FncWeiBtn()->click();  // weights dialog, OK
            editor.UndoBtn()->click();    // undoes the weights
            edited = RulesOf(*editor.Funct());
            switch (ending) {
            case Ok: editor.OKBtn()->click(); break;
            case CancelButton: editor.CancelBtn()->click(); break;
            case CloseBox: editor.close(); break;
            case Rejected: break;
            }
            return dialog.result();
        });
        prompts.ExpectExec([](QDialog& dialog) {
            auto& weights = static_cast<TWeiForm&>(dialog);
            weights.Row(1)->AttTrack()->setValue(90);
            weights.OKBtn()->click();
            return dialog.result();
        });
        const int result = f.Run();
        EXPECT_EQ(f.WeiForm(), nullptr);
        EXPECT_EQ(f.History().Count(), 0);
        EXPECT_EQ(f.Attribute(), nullptr);
        EXPECT_EQ(local.car->Funct(), original);
        EXPECT_EQ(RulesOf(*local.car->Funct()), stored);
        std::unique_ptr<TMivoFunction> taken = f.TakeFunct();
        if (ending == Ok) {
            EXPECT_EQ(result, QDialog::Accepted);
            ASSERT_NE(taken, nullptr);
            EXPECT_EQ(RulesOf(*taken), edited);
            EXPECT_FALSE(taken->UseWeights);
            EXPECT_NEAR(taken->RequiredWeights[1], 100.0 / 3, 1e-9);
            EXPECT_EQ(taken->ConsistState, 1);
            EXPECT_EQ(f.TakeFunct(), nullptr);  // handed over once
            EXPECT_TRUE(local.car->SetFunct(std::move(taken)));
        } else {
            EXPECT_NE(result, QDialog::Accepted);
            EXPECT_EQ(taken, nullptr);
            EXPECT_EQ(f.Funct(), nullptr);
        }
    }
}

TEST_F(FunctForm, EditFunctionReturnsTheEditedTable) {
    services = std::make_unique<TFunctServices>(TFunctServices{clipboard, prompts, viewer, help});
    prompts.ExpectExec([](QDialog& dialog) {
        auto& editor = static_cast<TFunctForm&>(dialog);
        EXPECT_EQ(editor.CurrentRule(), 0);
        Q_EMIT editor.ValueEdit()->activated(1);
        editor.accept();
        return dialog.result();
    });
    auto edited = EditFunction(fixture.model, *fixture.car, *services);
    ASSERT_NE(edited, nullptr);
    EXPECT_EQ(edited->RuleLow(0), 1);
    EXPECT_EQ(edited->Attribute(), fixture.car);
    prompts.ExpectExec([](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_EQ(EditFunction(fixture.model, *fixture.car, *services), nullptr);
}

}  // namespace
}  // namespace mivo
