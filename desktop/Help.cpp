#include "desktop/Help.h"

#include <map>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QWindow>

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

namespace {

// The help window: a browser over the pages that, when it hides, gives
// the activation back to the window it was asked from.
class THelpWindow final : public QTextBrowser {
public:
    THelpWindow() {
        setWindowTitle(QStringLiteral("Mivo Help"));
        setOpenLinks(true);
        // Escape closes the help window, as it closes the program's dialogs;
        // the key goes to the help window alone.
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        escape->setContext(Qt::WindowShortcut);
        QObject::connect(escape, &QShortcut::activated, this, &QWidget::close);
        // Opens centred on the screen, no larger than its free area.
        const QRect area = AvailableArea();
        if (area.isValid()) {
            resize(HelpWindowSize.boundedTo(area.size() * 9 / 10));
            move(area.center() - rect().center());
        } else {
            resize(HelpWindowSize);
        }
    }

    // Asked from a modal window (a dialog, the preview), the help window
    // becomes that window's transient child: it stays above it and takes
    // input while the modal window stays open. Asked from elsewhere it is
    // a window of its own.
    void ShowOver(QWidget* asker) {
        asker_ = asker;
        winId();  // the native window, whose transient parent is set
        QWindow* parent = asker != nullptr ? asker->window()->windowHandle() : nullptr;
        if (windowHandle()->transientParent() != parent) {
            // A window's modal blocking is settled when it is shown.
            hide();
            windowHandle()->setTransientParent(parent);
        }
        show();
        raise();
        activateWindow();
    }

protected:
    void hideEvent(QHideEvent* event) override {
        QTextBrowser::hideEvent(event);
        if (asker_ != nullptr && asker_->isVisible()) asker_->activateWindow();
    }

private:
    QPointer<QWidget> asker_;
};

}  // namespace

void THtmlHelp::ShowPage(const std::string& url) {
    if (!browser_) browser_ = std::make_unique<THelpWindow>();
    browser_->setSource(QUrl(QString::fromStdString(url)));
    static_cast<THelpWindow&>(*browser_).ShowOver(QApplication::activeModalWidget());
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
    return HelpContextOf(QApplication::activeModalWidget());
}

bool THelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (key && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        const int context = CurrentHelpContext();
        // A modal window without a context of its own shows the contents,
        // which the frame's Help command would show were it not blocked.
        const bool modal = QApplication::activePopupWidget() == nullptr && QApplication::activeModalWidget() != nullptr;
        if (context != 0 || modal) {
            if (event->type() == QEvent::KeyPress) {
                if (context != 0)
                    help_.ShowContext(context);
                else
                    help_.ShowContents();
            }
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mivo
