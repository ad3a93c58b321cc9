#include "platform/QtPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/QtApplication.h"
#include "platform/QtColour.h"
#include "platform/QtPrinter.h"

namespace mivo {
namespace {

std::vector<std::string> SplitPatterns(const std::string& patterns) {
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        const auto first = part.find_first_not_of(' ');
        const auto last = part.find_last_not_of(' ');
        if (first != std::string::npos) parts.push_back(part.substr(first, last - first + 1));
        part.clear();
    };
    for (char c : patterns) {
        if (c == ';')
            flush();
        else
            part += c;
    }
    flush();
    return parts;
}

// The caption without a trailing "(...)" that repeats the patterns.
QString CaptionWithoutPatterns(const std::string& caption) {
    QString text = QString::fromStdString(caption).trimmed();
    if (text.endsWith(')')) {
        const auto open = text.lastIndexOf('(');
        if (open >= 0) text = text.left(open).trimmed();
    }
    return text;
}

// Exactly what the platform's dialogs answer for each way out of a box.
TMsgAnswer AnswerOf(QMessageBox::StandardButton button, TMsgButtons buttons) {
    switch (button) {
        case QMessageBox::Ok: return TMsgAnswer::Ok;
        case QMessageBox::Yes: return TMsgAnswer::Yes;
        case QMessageBox::No: return TMsgAnswer::No;
        case QMessageBox::Cancel: return TMsgAnswer::Cancel;
        default: break;
    }
    // Closed without a button.
    switch (buttons) {
        case TMsgButtons::Ok: return TMsgAnswer::Ok;
        case TMsgButtons::YesNo: return TMsgAnswer::No;
        case TMsgButtons::YesNoCancel: return TMsgAnswer::Cancel;
    }
    return TMsgAnswer::Cancel;
}

QMessageBox::Icon IconOf(TMsgKind kind) {
    switch (kind) {
        case TMsgKind::Warning: return QMessageBox::Warning;
        case TMsgKind::Error: return QMessageBox::Critical;
        case TMsgKind::Information: return QMessageBox::Information;
        case TMsgKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Qt speaks in units of a millimetre or an inch; the requests in thousandths.
double FromThousandths(std::int32_t value) { return value / 1000.0; }
std::int32_t ToThousandths(double value) { return static_cast<std::int32_t>(std::lround(value * 1000.0)); }

// Disables the named children of a dialog (a part of it the caller locks).
void DisableChildren(QWidget& dialog, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (auto* child = dialog.findChild<QWidget*>(QString::fromLatin1(name))) child->setEnabled(false);
}

}  // namespace

QString QtNameFilter(const TFileFilter& filter) {
    QStringList patterns;
    for (const auto& pattern : SplitPatterns(filter.Patterns))
        patterns << (pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern));
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    QString caption = CaptionWithoutPatterns(filter.Caption);
    if (caption.isEmpty()) return patterns.join(' ');
    return caption + QStringLiteral(" (") + patterns.join(' ') + QStringLiteral(")");
}

QStringList QtNameFilters(const std::vector<TFileFilter>& filters) {
    QStringList list;
    for (const auto& filter : filters) list << QtNameFilter(filter);
    return list;
}

std::string FilterExtension(const TFileFilter* filter, const std::string& defaultExt) {
    if (filter) {
        const auto patterns = SplitPatterns(filter->Patterns);
        if (!patterns.empty()) {
            const std::string& first = patterns.front();
            if (first.size() > 2 && first.compare(0, 2, "*.") == 0) {
                const std::string ext = first.substr(2);
                if (ext.find_first_of("*?[]") == std::string::npos) return ext;
            }
        }
    }
    return defaultExt;
}

std::string CompleteSaveName(const std::string& name, const TFileFilter* filter, const std::string& defaultExt) {
    if (name.empty()) return name;
    const auto slash = name.find_last_of('/');
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    if (last.empty() || last.find('.') != std::string::npos) return name;
    std::string ext = FilterExtension(filter, defaultExt);
    if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
    return ext.empty() ? name : name + "." + ext;
}

QString MessageText(const std::string& text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace('\r', '\n');
    return result;
}

TQtPrompts::TQtPrompts(QWidget* parent) : parent_(parent) { EnsureGuiApplication(); }

QString TQtPrompts::Title() const {
    if (!title_.empty()) return QString::fromStdString(title_);
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Mivo") : name;
}

TMsgAnswer TQtPrompts::Message(TMsgKind kind, const std::string& text, TMsgButtons buttons) {
    QMessageBox box(IconOf(kind), Title(), MessageText(text), QMessageBox::NoButton, parent_);
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
        case TMsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case TMsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case TMsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    box.exec();
    auto* clicked = box.clickedButton();
    return AnswerOf(clicked ? box.standardButton(clicked) : QMessageBox::NoButton, buttons);
}

std::optional<TFileAnswer> TQtPrompts::RunFileDialog(const TFileRequest& request, bool save) {
    QFileDialog dialog(parent_, QString::fromStdString(request.Title), QString::fromStdString(request.InitialDir));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks about overwriting itself, about the name it writes.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = QtNameFilters(request.Filters);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = std::clamp(request.FilterIndex, 1, static_cast<int>(filters.size()));
        dialog.selectNameFilter(filters[index - 1]);
    }
    if (!request.FileName.empty()) {
        // A name with a folder of its own is relative to the working
        // folder, as the program read or wrote it; the dialog would take
        // only its last part into its own folder and offer another file.
        QString name = QString::fromStdString(request.FileName);
        if (name.contains(QLatin1Char('/'))) name = QFileInfo(name).absoluteFilePath();
        dialog.selectFile(name);
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;

    TFileAnswer answer;
    answer.FilterIndex = request.FilterIndex;
    const auto chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0) answer.FilterIndex = static_cast<int>(chosen) + 1;
    answer.FileName = files.front().toStdString();
    if (save) {
        const TFileFilter* filter = nullptr;
        if (answer.FilterIndex >= 1 && answer.FilterIndex <= static_cast<int>(request.Filters.size()))
            filter = &request.Filters[answer.FilterIndex - 1];
        answer.FileName = CompleteSaveName(answer.FileName, filter, request.DefaultExt);
    }
    return answer;
}

std::optional<TFileAnswer> TQtPrompts::OpenFile(const TFileRequest& request) { return RunFileDialog(request, false); }

std::optional<TFileAnswer> TQtPrompts::SaveFile(const TFileRequest& request) { return RunFileDialog(request, true); }

bool TQtPrompts::Print(TPrintRequest& request) {
    std::unique_ptr<QPrinter> scratch;
    QPrinter* printer = nullptr;
    if (auto* qtPrinter = dynamic_cast<TQtPrinter*>(request.Printer))
        printer = &qtPrinter->Device();
    else
        printer = (scratch = std::make_unique<QPrinter>(QPrinter::HighResolution)).get();

    // What the dialog is loaded with goes into the printer; a cancelled
    // dialog puts the printer's own settings back.
    const int oldCopies = printer->copyCount();
    const bool oldCollate = printer->collateCopies();
    const auto oldRange = printer->printRange();
    const int oldFrom = printer->fromPage();
    const int oldTo = printer->toPage();
    const QString oldOutputFile = printer->outputFileName();

    const int minPage = std::max(1, request.MinPage);
    const int maxPage = std::max(minPage, request.MaxPage);
    const int from = std::clamp(request.FromPage, minPage, maxPage);
    const int to = std::clamp(request.ToPage, from, maxPage);
    printer->setCopyCount(std::max(1, request.Copies));
    printer->setCollateCopies(request.Collate);
    // A printer writing a file shows the offered file as its destination.
    if (printer->outputFormat() == QPrinter::PdfFormat && !request.OutputFileName.empty())
        printer->setOutputFileName(QFile::decodeName(QByteArray::fromStdString(request.OutputFileName)));

    QPrintDialog dialog(printer, parent_);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(minPage, maxPage);
    dialog.setFromTo(from, to);
    dialog.setPrintRange(request.PageRange ? QAbstractPrintDialog::PageRange : QAbstractPrintDialog::AllPages);
    if (dialog.exec() != QDialog::Accepted) {
        printer->setCopyCount(oldCopies);
        printer->setCollateCopies(oldCollate);
        printer->setPrintRange(oldRange);
        printer->setFromTo(oldFrom, oldTo);
        // (An empty name would turn the printer back into a device printer.)
        if (!oldOutputFile.isEmpty()) printer->setOutputFileName(oldOutputFile);
        return false;
    }
    request.PageRange = dialog.printRange() == QAbstractPrintDialog::PageRange;
    if (request.PageRange) {
        request.FromPage = std::clamp(dialog.fromPage(), minPage, maxPage);
        request.ToPage = std::clamp(dialog.toPage(), request.FromPage, maxPage);
    } else {
        request.FromPage = minPage;
        request.ToPage = maxPage;
    }
    request.Copies = std::max(1, printer->copyCount());
    request.Collate = printer->collateCopies();
    request.OutputFileName = printer->outputFormat() == QPrinter::PdfFormat
                                 ? QFile::encodeName(printer->outputFileName()).toStdString()
                                 : std::string();
    return true;
}

QFont DialogFont(const TCanvasFont& font) {
    QFont q(QString::fromStdString(font.Name));
    q.setPointSize(std::max(1, font.Size()));
    q.setBold((font.Style & fsBold) != 0);
    q.setItalic((font.Style & fsItalic) != 0);
    q.setUnderline((font.Style & fsUnderline) != 0);
    q.setStrikeOut((font.Style & TCanvasFont::StrikeOut) != 0);
    return q;
}

void TakeDialogFont(const QFont& chosen, TCanvasFont& font) {
    font.Name = chosen.family().toStdString();
    const double points = chosen.pointSizeF() > 0 ? chosen.pointSizeF()
                                                  : chosen.pixelSize() * 72.0 / std::max(1, font.PixelsPerInch);
    font.SetSize(std::max(1, static_cast<std::int32_t>(std::lround(points))));
    TFontStyles style = 0;
    if (chosen.bold()) style |= fsBold;
    if (chosen.italic()) style |= fsItalic;
    if (chosen.underline()) style |= fsUnderline;
    if (chosen.strikeOut()) style |= TCanvasFont::StrikeOut;
    font.Style = style;
}

bool TQtPrompts::Font(TCanvasFont& font) {
    QFontDialog dialog(DialogFont(font), parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    TakeDialogFont(dialog.selectedFont(), font);
    return true;
}

bool TQtPrompts::Colour(TColor& colour) {
    QColorDialog dialog(ToQColor(colour), parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    colour = FromQColor(dialog.selectedColor());
    return true;
}

bool TQtPrompts::PageSetup(TPageSetupRequest& request) {
    const QPageLayout::Unit unit = request.InchUnits ? QPageLayout::Inch : QPageLayout::Millimeter;
    const QPageSize::Unit sizeUnit = request.InchUnits ? QPageSize::Inch : QPageSize::Millimeter;

    QPrinter scratch(QPrinter::HighResolution);
    // The paper as a sheet standing upright; the orientation lays it down.
    const double a = FromThousandths(request.PaperWidth);
    const double b = FromThousandths(request.PaperHeight);
    if (a > 0 && b > 0)
        scratch.setPageSize(QPageSize(QSizeF(std::min(a, b), std::max(a, b)), sizeUnit, QString(),
                                      QPageSize::FuzzyMatch));
    scratch.setPageOrientation(request.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QMarginsF margins(FromThousandths(request.MarginLeft), FromThousandths(request.MarginTop),
                            FromThousandths(request.MarginRight), FromThousandths(request.MarginBottom));
    scratch.setPageMargins(margins, unit);

    QPageSetupDialog dialog(&scratch, parent_);
    if (request.DisablePaper) DisableChildren(dialog, {"pageSizeCombo", "pageWidth", "pageHeight", "paperSource"});
    if (request.DisableOrientation)
        DisableChildren(dialog, {"portrait", "landscape", "reverseLandscape", "reversePortrait"});
    if (request.DisableMargins) DisableChildren(dialog, {"topMargin", "leftMargin", "rightMargin", "bottomMargin"});
    if (dialog.exec() != QDialog::Accepted) return false;

    QPageLayout layout = scratch.pageLayout();
    layout.setUnits(unit);
    request.Landscape = layout.orientation() == QPageLayout::Landscape;
    const QRectF sheet = layout.fullRect();  // in the chosen orientation
    request.PaperWidth = ToThousandths(sheet.width());
    request.PaperHeight = ToThousandths(sheet.height());
    if (!request.DisableMargins) {
        const QMarginsF chosen = layout.margins();
        request.MarginLeft = ToThousandths(chosen.left());
        request.MarginTop = ToThousandths(chosen.top());
        request.MarginRight = ToThousandths(chosen.right());
        request.MarginBottom = ToThousandths(chosen.bottom());
    }
    const QMarginsF minimum = layout.minimumMargins();
    request.MinMarginLeft = ToThousandths(minimum.left());
    request.MinMarginTop = ToThousandths(minimum.top());
    request.MinMarginRight = ToThousandths(minimum.right());
    request.MinMarginBottom = ToThousandths(minimum.bottom());
    return true;
}

int TQtPrompts::Exec(QDialog& dialog, const std::string& name) {
    (void)name;
    const int result = dialog.exec();
    // Qt's reject() ends with 0; callers count Cancel as 2.
    return result == QDialog::Rejected ? 2 : result;
}

}  // namespace mivo
