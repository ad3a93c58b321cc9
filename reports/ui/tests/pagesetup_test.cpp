// The page-setup dialog component over scripted prompts: units, options,
// paper and orientation, and the paper going to a printer.
#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "platform/QtPrinter.h"
#include "platform/ScriptedPrompts.h"
#include "reports/ui/PageSetup.h"
#include "reports/ui/tests/PreviewTestKit.h"

namespace mivo {
namespace {

class PageSetupTest : public testing::TGuiTest {
protected:
    TScriptedPrompts prompts;
    TPageSetupDialog dialog{prompts};
};

TEST_F(PageSetupTest, MarginsTravelInTheDialogsUnitAndComeBackInIt) {
    dialog.Measurements = TPSMeasurements::pmMillimeters;
    dialog.Margin = {2000, 1500, 1000, 1000};
    dialog.MinMargin = {300, 300, 300, 300};
    prompts.ExpectPageSetup([](TPageSetupRequest& r) {
        EXPECT_FALSE(r.InchUnits);
        EXPECT_EQ(r.MarginLeft, 20000);
        EXPECT_EQ(r.MarginTop, 15000);
        EXPECT_EQ(r.MarginRight, 10000);
        EXPECT_EQ(r.MinMarginBottom, 3000);
        EXPECT_EQ(r.PaperWidth, 210000);
        EXPECT_EQ(r.PaperHeight, 297000);
        r.MarginLeft = 12345;  // 12.345 mm: hundredths round to the even neighbour
        r.MarginTop = 7000;
        r.Landscape = true;
        r.PaperWidth = 297000;
        r.PaperHeight = 210000;
        return true;
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Margin, (TRect{1234, 700, 1000, 1000}));
    EXPECT_TRUE(dialog.Landscape);
    EXPECT_EQ(dialog.PaperSize, (TPoint{29700, 21000}));

    // Thousandths of an inch are the request's own unit.
    dialog.Measurements = TPSMeasurements::pmInches;
    dialog.Margin = {1000, 750, 500, 500};
    dialog.PaperSize = {};
    dialog.Landscape = false;
    prompts.ExpectPageSetup([](TPageSetupRequest& r) {
        EXPECT_TRUE(r.InchUnits);
        EXPECT_EQ(r.MarginTop, 750);
        EXPECT_EQ(r.PaperWidth, 8268);
        r.MarginTop = 1250;
        return true;
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Margin.Top, 1250);

    // Cancel leaves every field as it was.
    const TRect before = dialog.Margin;
    prompts.ExpectPageSetup([](TPageSetupRequest& r) {
        r.MarginTop = 1;
        r.Landscape = true;
        return false;
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Margin, before);
    EXPECT_FALSE(dialog.Landscape);
}

TEST_F(PageSetupTest, OptionsDisableWhatThePlatformsDialogCanDisable) {
    for (auto [options, margins, orientation, paper] :
         std::initializer_list<std::tuple<TPageSetupOptions, bool, bool, bool>>{
             {poDefaultMinMargins | poShowHelp, false, false, false},
             {poDisableMargins, true, false, false},
             {poDisableOrientation | poNoWarning, false, true, false},
             {poDisablePaper | poDisablePrinter | poDisablePagePainting, false, false, true}}) {
        dialog.Options = options;
        TPageSetupRequest r = dialog.MakeRequest();
        EXPECT_EQ(r.DisableMargins, margins) << options;
        EXPECT_EQ(r.DisableOrientation, orientation) << options;
        EXPECT_EQ(r.DisablePaper, paper) << options;
    }
    // A landscape sheet is given lying down.
    dialog.Landscape = true;
    dialog.PaperSize = {11000, 8500};
    TPageSetupRequest r = dialog.MakeRequest();
    EXPECT_EQ(r.PaperWidth, 11000);
    EXPECT_EQ(r.PaperHeight, 8500);
    EXPECT_TRUE(r.Landscape);
}

TEST_F(PageSetupTest, TheChosenPaperGoesToThePrinter) {
    testing::TScratchDir dir;
    TQtPrinter printer(dir.File("unused.pdf"), 300);
    dialog.Measurements = TPSMeasurements::pmMillimeters;
    dialog.Printer = &printer;
    dialog.PaperSize = {10000, 10000};  // the printer's paper wins
    prompts.ExpectPageSetup([](TPageSetupRequest& r) {
        EXPECT_EQ(r.PaperWidth, 210000);
        EXPECT_EQ(r.PaperHeight, 297000);
        r.PaperWidth = 215900;  // US Letter
        r.PaperHeight = 279400;
        return true;
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(printer.Device().pageLayout().pageSize().id(), QPageSize::Letter);

    // Not with the paper disabled.
    dialog.Options |= poDisablePaper;
    prompts.ExpectPageSetup([](TPageSetupRequest& r) {
        r.PaperWidth = 210000;
        r.PaperHeight = 297000;
        return true;
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(printer.Device().pageLayout().pageSize().id(), QPageSize::Letter);
}

}  // namespace
}  // namespace mivo
