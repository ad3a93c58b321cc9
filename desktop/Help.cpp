#include "desktop/Help.h"

#include <map>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include "reports/ui/PreviewForm.h"

// The help pages are compiled into the program's library; a static library
// registers its resources only when asked.
static void InitHelpResources() { Q_INIT_RESOURCE(Mivo); }

namespace mivo {

void SetHelpContext(QObject& object, int context) { object.setProperty(HelpContextProperty, context); }

int HelpContextOf(const QObject* object) {
    if (object == nullptr) return 0;
    const QVariant value = object->property(HelpContextProperty);
    return value.isValid() ? value.toInt() : 0;
}

// The preview window carries its topic itself.
static_assert(HelpPreview == TPreviewForm::HelpContext);

namespace {

// The page of each context, by its file name under help/.
const std::map<int, const char*>& ContextPages() {
    static const std::map<int, const char*> pages{
        {HelpToolBar, "toolbar"},      {HelpChartMenu, "charts"},   {HelpFileNew, "file"},
        {HelpFileOpen, "file"},        {HelpFileClose, "file"},     {HelpFileSave, "file"},
        {HelpFileReport, "report"},    {HelpFileExit, "file"},      {HelpRuleEditor, "ruleeditor"},
        {HelpFourOptions, "charts"},   {HelpCopyChart, "charts"},   {HelpWindowMenu, "window"},
        {HelpPreview, "preview"},
    };
    return pages;
}

// The help window's size: its wish, within the available area.
constexpr QSize HelpWindowSize(640, 520);

// The area the help window opens in: the available part of the screen of
// the active window, else of the primary screen.
QRect AvailableArea() {
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = active != nullptr ? active->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

}  // namespace

std::string HelpPageFor(int context) {
    const auto found = ContextPages().find(context);
    if (found == ContextPages().end()) return HelpContentsPage;
    return std::string("qrc:/help/") + found->second + ".html";
}

std::vector<int> HelpContexts() {
    std::vector<int> contexts;
    for (const auto& entry : ContextPages()) contexts.push_back(entry.first);
    return contexts;
}

THtmlHelp::THtmlHelp() { InitHelpResources(); }
THtmlHelp::~THtmlHelp() = default;

void THtmlHelp::ShowPage(const std::string& url) {
    if (!browser_) {
        browser_ = std::make_unique<QTextBrowser>();
        browser_->setWindowTitle(QStringLiteral("Mivo Help"));
        browser_->setOpenLinks(true);
        // Escape closes the help window, as it closes the program's dialogs.
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), browser_.get());
        escape->setContext(Qt::WindowShortcut);
        QObject::connect(escape, &QShortcut::activated, browser_.get(), &QWidget::close);
        // Opens centred on the screen, no larger than its free area.
        const QRect area = AvailableArea();
        if (area.isValid()) {
            browser_->resize(HelpWindowSize.boundedTo(area.size() * 9 / 10));
            browser_->move(area.center() - browser_->rect().center());
        } else {
            browser_->resize(HelpWindowSize);
        }
    }
    browser_->setSource(QUrl(QString::fromStdString(url)));
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
}

void THtmlHelp::ShowContext(int context) { ShowPage(HelpPageFor(context)); }

void THtmlHelp::ShowContents() { ShowPage(HelpContentsPage); }

void THtmlHelp::ShowIndex(const std::string& keyword) {
    ShowPage(HelpIndexPage);
    if (!keyword.empty()) {
        // Put the first mention of the keyword in view and select it.
        browser_->moveCursor(QTextCursor::Start);
        browser_->find(QString::fromStdString(keyword));
    }
}

void THtmlHelp::CloseAll() {
    if (browser_) browser_->close();
}

int THelpKeyFilter::CurrentHelpContext() {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        if (const int context = HelpContextOf(menu->activeAction())) return context;
        return HelpContextOf(menu);
    }
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) return HelpContextOf(dialog);
    return 0;
}

bool THelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (key && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        if (const int context = CurrentHelpContext()) {
            if (event->type() == QEvent::KeyPress) help_.ShowContext(context);
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mivo
