// The Qt prompt layer: the naming rules of its file dialogs, and each kind
// of box and dialog shown for real (offscreen) and answered from a timer.
#include <gtest/gtest.h>

#ifdef MIVO_HAVE_QT_PLATFORM

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "platform/QtApplication.h"
#include "platform/QtColour.h"
#include "platform/QtPrinter.h"
#include "platform/QtPrompts.h"

namespace mivo {
namespace {

// Waits (inside the modal loop that the prompt starts) for a modal widget
// of type T and hands it to `act`, which must end it. A dialog that never
// shows, or one that `act` leaves open, is closed after a few seconds so
// that a fault fails the test instead of hanging it.
template <class T>
void WhenModal(std::function<void(T&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act, tries = 0]() mutable {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < 500) return;
        poll->stop();
        poll->deleteLater();
        if (dialog)
            act(*dialog);
        else
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " appeared";
    });
    poll->start();
    QTimer::singleShot(8000, [] {
        if (auto* left = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a modal " << left->metaObject()->className() << " stayed open";
            if (auto* dialog = qobject_cast<QDialog*>(left)) dialog->reject();
        }
    });
}

// Types the file's name into the dialog's name box, as a user does.
// selectFile on a name that exists races with the dialog's listing of the
// folder, which may select the item and leave the box empty.
void TypeFileName(QFileDialog& dialog, const std::filesystem::path& file) {
    if (auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit")) {
        dialog.setDirectory(QString::fromStdString(file.parent_path().string()));
        edit->setText(QString::fromStdString(file.filename().string()));
    } else {
        dialog.selectFile(QString::fromStdString(file.string()));
    }
}

std::filesystem::path TempDir(const char* name) {
    auto dir = std::filesystem::temp_directory_path() /
               (std::string("mivo_prompts_") + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

class QtPromptsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApplication(); }
    TQtPrompts prompts;
};

TEST(QtPromptNames, SaveNameGetsTheChosenFiltersExtension) {
    const TFileFilter text{"Text File (*.txt)", "*.txt"};
    const TFileFilter models{"Models", "*.mvo;*.xml"};
    const TFileFilter all{"All files", "*.*"};
    const TFileFilter star{"Anything", "*"};
    const TFileFilter wild{"Backups", "*.b?k"};
    struct Case {
        std::string name;
        const TFileFilter* filter;
        std::string defaultExt;
        std::string expected;
    };
    const Case cases[] = {
        {"/tmp/r", &text, "mvo", "/tmp/r.txt"},
        {"/tmp/r.txt", &text, "mvo", "/tmp/r.txt"},
        {"/tmp/r.tab", &text, "mvo", "/tmp/r.tab"},           // an extension typed stays
        {"/tmp/dir.d/r", &text, "", "/tmp/dir.d/r.txt"},      // a dot in a folder is no extension
        {"/tmp/r", &models, "", "/tmp/r.mvo"},                // the first pattern
        {"/tmp/r", &all, "mvo", "/tmp/r.mvo"},                // all files: the default
        {"/tmp/r", &all, "", "/tmp/r"},
        {"/tmp/r", &star, ".mvo", "/tmp/r.mvo"},
        {"/tmp/r", &wild, "bak", "/tmp/r.bak"},               // a wildcard extension names none
        {"/tmp/r", nullptr, "mvo", "/tmp/r.mvo"},
        {"", &text, "mvo", ""},
        {"/tmp/", &text, "mvo", "/tmp/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompleteSaveName(c.name, c.filter, c.defaultExt), c.expected) << c.name << " / " << c.defaultExt;
}

TEST(QtPromptNames, FiltersShowTheirPatternsAndAllFilesAsStar) {
    EXPECT_EQ(QtNameFilter({"Text File (*.txt)", "*.txt"}), "Text File (*.txt)");
    EXPECT_EQ(QtNameFilter({"Models", "*.mvo;*.xml"}), "Models (*.mvo *.xml)");
    EXPECT_EQ(QtNameFilter({"All files (*.*)", "*.*"}), "All files (*)");
    EXPECT_EQ(QtNameFilter({"", "*.mvo"}), "*.mvo");
    const auto parsed = QtNameFilters(ParseFileFilters("Mivo (*.mvo)|*.mvo|All files|*.*"));
    ASSERT_EQ(parsed.size(), 2);
    EXPECT_EQ(parsed[1], "All files (*)");
}

TEST(QtPromptNames, CarriageReturnsBreakTheLine) {
    EXPECT_EQ(MessageText("one\rtwo"), "one\ntwo");
    EXPECT_EQ(MessageText("one\r\ntwo\r"), "one\ntwo\n");
    EXPECT_EQ(MessageText("Č <b>"), QString::fromUtf8("Č <b>"));
}

TEST(QtColour, ConvertsRedLowByteBothWays) {
    EXPECT_EQ(ToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(FromQColor(QColor(0x56, 0x34, 0x12)), 0x00123456u);
    EXPECT_EQ(ToQColor(0xFF0000FFu), QColor(255, 0, 0));  // the top byte carries no colour
    EXPECT_EQ(FromQColor(QColor::fromHsv(120, 255, 128)), FromQColor(ToQColor(FromQColor(QColor::fromHsv(120, 255, 128)))));
}

TEST_F(QtPromptsTest, MessageBoxesAnswerTheirButtonsAndClosing) {
    struct Case {
        TMsgButtons buttons;
        QMessageBox::StandardButton press;  // NoButton: the box is closed
        TMsgAnswer expected;
    };
    const Case cases[] = {
        {TMsgButtons::Ok, QMessageBox::NoButton, TMsgAnswer::Ok},
        {TMsgButtons::YesNo, QMessageBox::NoButton, TMsgAnswer::No},
        {TMsgButtons::YesNoCancel, QMessageBox::NoButton, TMsgAnswer::Cancel},
        {TMsgButtons::YesNo, QMessageBox::Yes, TMsgAnswer::Yes},
        {TMsgButtons::YesNoCancel, QMessageBox::No, TMsgAnswer::No},
    };
    for (const auto& c : cases) {
        QString shown;
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            shown = box.text();
            if (c.press == QMessageBox::NoButton)
                box.close();
            else
                box.button(c.press)->click();
        });
        EXPECT_EQ(prompts.Message(TMsgKind::Confirmation, "Save?\rReally", c.buttons), c.expected);
        EXPECT_EQ(shown, "Save?\nReally");
    }
}

TEST_F(QtPromptsTest, SaveDialogAppendsTheChosenFiltersExtensionAndNeverAsksAboutOverwriting) {
    const auto dir = TempDir("save");
    std::ofstream(dir / "r.tab") << "old";
    TFileRequest request;
    request.Title = "Save to File";
    request.Filters = ParseFileFilters("Text File (*.txt)|*.txt|Tab-delimited File (*.tab)|*.tab");
    request.InitialDir = dir.string();
    for (const char* typed : {"r", "r.tab"}) {
        WhenModal<QFileDialog>([&](QFileDialog& dialog) {
            dialog.selectNameFilter(dialog.nameFilters()[1]);
            TypeFileName(dialog, dir / typed);
            static_cast<QDialog&>(dialog).accept();
        });
        const auto answer = prompts.SaveFile(request);
        ASSERT_TRUE(answer) << typed;
        EXPECT_EQ(answer->FileName, (dir / "r.tab").string());
        EXPECT_EQ(answer->FilterIndex, 2);
    }
    WhenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(prompts.SaveFile(request));
    std::filesystem::remove_all(dir);
}

// A model opened as "sub/m.mvo" from the working folder: Save As offers
// that very file, not "m.mvo" in the working folder.
TEST_F(QtPromptsTest, SaveDialogOffersARelativeNameInItsOwnFolder) {
    const auto dir = TempDir("relative");
    std::filesystem::create_directories(dir / "sub");
    std::ofstream(dir / "sub" / "m.mvo") << "x";
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    TFileRequest request;
    request.Filters = ParseFileFilters("Mivo files (*.mvo)|*.mvo");
    request.DefaultExt = "mvo";
    request.FileName = "sub/m.mvo";
    QString shownFolder;
    WhenModal<QFileDialog>([&](QFileDialog& dialog) {
        shownFolder = dialog.directory().absolutePath();
        static_cast<QDialog&>(dialog).accept();
    });
    const auto answer = prompts.SaveFile(request);
    std::filesystem::current_path(before);
    ASSERT_TRUE(answer);
    EXPECT_EQ(std::filesystem::path(answer->FileName), dir / "sub" / "m.mvo");
    EXPECT_EQ(shownFolder.toStdString(), (dir / "sub").string());
    std::filesystem::remove_all(dir);
}

TEST_F(QtPromptsTest, OpenDialogReturnsTheFileAsChosen) {
    const auto dir = TempDir("open");
    std::ofstream(dir / "m") << "x";
    TFileRequest request;
    request.Filters = ParseFileFilters("Mivo files (*.mvo)|*.mvo|All files|*.*");
    request.FilterIndex = 2;
    request.DefaultExt = "mvo";
    request.InitialDir = dir.string();
    QStringList shownFilters;
    WhenModal<QFileDialog>([&](QFileDialog& dialog) {
        shownFilters = dialog.nameFilters();
        TypeFileName(dialog, dir / "m");
        static_cast<QDialog&>(dialog).accept();
    });
    const auto answer = prompts.OpenFile(request);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->FileName, (dir / "m").string());  // opening appends nothing
    EXPECT_EQ(answer->FilterIndex, 2);
    EXPECT_EQ(shownFilters, (QStringList{"Mivo files (*.mvo)", "All files (*)"}));
    std::filesystem::remove_all(dir);
}

TEST_F(QtPromptsTest, PrintDialogRunsOnTheQtPrintersDeviceAndReturnsRangeCopiesAndCollation) {
    const auto dir = TempDir("print");
    TQtPrinter printer((dir / "out.pdf").string(), 300);
    TPrintRequest request;
    request.Printer = &printer;
    request.MinPage = 1;
    request.MaxPage = 5;
    request.FromPage = 1;
    request.ToPage = 5;
    QPrinter* shownOn = nullptr;
    WhenModal<QPrintDialog>([&](QPrintDialog& dialog) {
        shownOn = dialog.printer();
        dialog.findChild<QRadioButton*>("printRange")->setChecked(true);
        dialog.findChild<QSpinBox*>("from")->setValue(2);
        dialog.findChild<QSpinBox*>("to")->setValue(3);
        dialog.findChild<QSpinBox*>("copies")->setValue(2);
        dialog.findChild<QCheckBox*>("collate")->setChecked(true);
        dialog.accept();
    });
    ASSERT_TRUE(prompts.Print(request));
    EXPECT_EQ(shownOn, &printer.Device());
    EXPECT_TRUE(request.PageRange);
    EXPECT_EQ(request.FromPage, 2);
    EXPECT_EQ(request.ToPage, 3);
    EXPECT_EQ(request.Copies, 2);
    EXPECT_TRUE(request.Collate);

    // A cancelled dialog leaves the request and the printer's copies alone.
    printer.SetCopies(1);
    TPrintRequest untouched = request;
    untouched.Copies = 3;
    WhenModal<QPrintDialog>([](QPrintDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(prompts.Print(untouched));
    EXPECT_EQ(untouched.Copies, 3);
    EXPECT_EQ(printer.Copies(), 1);
    std::filesystem::remove_all(dir);
}

TEST_F(QtPromptsTest, PrintDialogOfThePdfPrinterShowsTheOfferedFileAndReturnsTheChosenOne) {
    const auto dir = TempDir("print_file");
    TQtPrinter printer(std::string(), 300);  // the PDF printer as start-up makes it: no file yet
    TPrintRequest request;
    request.Printer = &printer;
    request.OutputFileName = (dir / "model.pdf").string();
    QString shownFile, shownPrinter;
    WhenModal<QPrintDialog>([&](QPrintDialog& dialog) {
        shownFile = dialog.findChild<QLineEdit*>("filename")->text();
        shownPrinter = dialog.findChild<QComboBox*>("printers")->currentText();
        dialog.findChild<QLineEdit*>("filename")->setText(QString::fromStdString((dir / "chosen.pdf").string()));
        dialog.accept();
    });
    ASSERT_TRUE(prompts.Print(request));
    EXPECT_EQ(shownFile.toStdString(), (dir / "model.pdf").string());
    EXPECT_TRUE(shownPrinter.contains("PDF")) << shownPrinter.toStdString();
    EXPECT_EQ(request.OutputFileName, (dir / "chosen.pdf").string());
    EXPECT_EQ(printer.OutputFileName(), (dir / "chosen.pdf").string());
    // The dialog only chooses: nothing is written, nothing asked.
    EXPECT_TRUE(std::filesystem::is_empty(dir));

    // Cancel keeps the file chosen before.
    TPrintRequest again = request;
    again.OutputFileName = (dir / "other.pdf").string();
    WhenModal<QPrintDialog>([](QPrintDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(prompts.Print(again));
    EXPECT_EQ(printer.OutputFileName(), (dir / "chosen.pdf").string());
    std::filesystem::remove_all(dir);
}

TEST_F(QtPromptsTest, PrintDialogWithoutAPrinterUsesAScratchOneAndClampsTheRange) {
    TPrintRequest request;  // no printer; a range outside the pages
    request.MinPage = 1;
    request.MaxPage = 4;
    request.FromPage = 0;
    request.ToPage = 9;
    int shownFrom = 0, shownTo = 0;
    WhenModal<QPrintDialog>([&](QPrintDialog& dialog) {
        shownFrom = dialog.fromPage();
        shownTo = dialog.toPage();
        dialog.accept();
    });
    ASSERT_TRUE(prompts.Print(request));
    EXPECT_EQ(shownFrom, 1);
    EXPECT_EQ(shownTo, 4);
    EXPECT_FALSE(request.PageRange);
    EXPECT_EQ(request.FromPage, 1);
    EXPECT_EQ(request.ToPage, 4);
    EXPECT_EQ(request.Copies, 1);
}

TEST_F(QtPromptsTest, FontDialogChangesNameSizeAndStyleAndKeepsTheColour) {
    QString family = QFontDatabase::families().value(0);
    for (const QString& candidate : QFontDatabase::families())
        if (QFontDatabase::styles(candidate).contains("Bold")) {
            family = candidate;
            break;
        }
    TCanvasFont font;
    font.PixelsPerInch = 300;
    font.SetSize(10);
    font.Color = 0x00336699;
    WhenModal<QFontDialog>([&](QFontDialog& dialog) {
        QFont chosen(family, 14);
        chosen.setBold(true);
        chosen.setUnderline(true);
        dialog.setCurrentFont(chosen);
        dialog.accept();
    });
    ASSERT_TRUE(prompts.Font(font));
    EXPECT_EQ(QString::fromStdString(font.Name), family);
    EXPECT_EQ(font.Size(), 14);
    EXPECT_EQ(font.PixelsPerInch, 300);
    EXPECT_EQ(font.Style, fsBold | fsUnderline);
    EXPECT_EQ(font.Color, 0x00336699u);

    const TCanvasFont before = font;
    WhenModal<QFontDialog>([](QFontDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(prompts.Font(font));
    EXPECT_EQ(font, before);
}

TEST(QtPromptFonts, DialogFontRoundTripsAtAnyResolution) {
    EnsureGuiApplication();
    for (std::int32_t ppi : {96, 300, 600}) {
        TCanvasFont font;
        font.Name = "Arial";
        font.PixelsPerInch = ppi;
        font.SetSize(11);
        font.Style = fsItalic | TCanvasFont::StrikeOut;
        TCanvasFont back = font;
        back.Style = 0;
        back.Height = -1;
        TakeDialogFont(DialogFont(font), back);
        EXPECT_EQ(back.Size(), 11) << ppi;
        EXPECT_EQ(back.Height, font.Height) << ppi;
        EXPECT_EQ(back.Style, font.Style) << ppi;
    }
}

TEST_F(QtPromptsTest, ColourDialogReturnsTheChosenColourRedLowAndCancelKeepsTheExactValue) {
    TColor colour = 0x01FF0000;  // a value with bits outside the colour
    WhenModal<QColorDialog>([](QColorDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(prompts.Colour(colour));
    EXPECT_EQ(colour, 0x01FF0000u);
    QColor shown;
    WhenModal<QColorDialog>([&](QColorDialog& dialog) {
        shown = dialog.currentColor();
        dialog.setCurrentColor(QColor(1, 2, 3));
        dialog.accept();
    });
    ASSERT_TRUE(prompts.Colour(colour));
    EXPECT_EQ(shown, QColor(0, 0, 255));
    EXPECT_EQ(colour, 0x00030201u);
}

TEST_F(QtPromptsTest, PageSetupHandsBackPaperOrientationAndMarginsInTheRequestsUnits) {
    TPageSetupRequest request;  // A4 portrait, millimetres
    request.MarginLeft = 20000;
    request.MarginTop = 15000;
    request.MarginRight = 10000;
    request.MarginBottom = 10000;
    WhenModal<QPageSetupDialog>([](QPageSetupDialog& dialog) { dialog.accept(); });
    ASSERT_TRUE(prompts.PageSetup(request));
    EXPECT_FALSE(request.Landscape);
    EXPECT_EQ(request.PaperWidth, 210000);
    EXPECT_EQ(request.PaperHeight, 297000);
    EXPECT_NEAR(request.MarginLeft, 20000, 10);
    EXPECT_NEAR(request.MarginTop, 15000, 10);
    EXPECT_NEAR(request.MarginRight, 10000, 10);
    EXPECT_NEAR(request.MarginBottom, 10000, 10);

    WhenModal<QPageSetupDialog>([](QPageSetupDialog& dialog) {
        dialog.findChild<QRadioButton*>("landscape")->click();
        dialog.accept();
    });
    ASSERT_TRUE(prompts.PageSetup(request));
    EXPECT_TRUE(request.Landscape);
    EXPECT_EQ(request.PaperWidth, 297000);  // the sheet as laid down
    EXPECT_EQ(request.PaperHeight, 210000);

    const TPageSetupRequest before = request;
    WhenModal<QPageSetupDialog>([](QPageSetupDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(prompts.PageSetup(request));
    EXPECT_EQ(request.PaperWidth, before.PaperWidth);
    EXPECT_EQ(request.MarginLeft, before.MarginLeft);
    EXPECT_TRUE(request.Landscape);
}

TEST_F(QtPromptsTest, PageSetupInInchesAndWithLockedParts) {
    TPageSetupRequest request;
    request.InchUnits = true;
    request.PaperWidth = 8500;
    request.PaperHeight = 11000;
    request.MarginLeft = request.MarginTop = request.MarginRight = request.MarginBottom = 1000;
    request.DisableMargins = true;
    request.DisableOrientation = true;
    bool marginsLocked = false, orientationLocked = false;
    WhenModal<QPageSetupDialog>([&](QPageSetupDialog& dialog) {
        marginsLocked = !dialog.findChild<QWidget*>("leftMargin")->isEnabled();
        orientationLocked = !dialog.findChild<QWidget*>("landscape")->isEnabled();
        dialog.accept();
    });
    ASSERT_TRUE(prompts.PageSetup(request));
    EXPECT_TRUE(marginsLocked);
    EXPECT_TRUE(orientationLocked);
    EXPECT_EQ(request.PaperWidth, 8500);
    EXPECT_EQ(request.PaperHeight, 11000);
    EXPECT_EQ(request.MarginLeft, 1000);
}

TEST_F(QtPromptsTest, ExecGivesOkCancelAndTheDialogsOwnCodes) {
    struct Case {
        std::function<void(QDialog&)> end;
        int expected;
    };
    const Case cases[] = {
        {[](QDialog& d) { d.accept(); }, 1},
        {[](QDialog& d) { d.reject(); }, 2},
        {[](QDialog& d) { d.done(7); }, 7},
    };
    for (const auto& c : cases) {
        QDialog dialog;
        WhenModal<QDialog>(c.end);
        EXPECT_EQ(prompts.Exec(dialog, "Test"), c.expected);
    }
}

}  // namespace
}  // namespace mivo

#endif  // MIVO_HAVE_QT_PLATFORM
