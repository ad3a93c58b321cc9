// The help service of the desktop program: the bundled HTML pages
// (desktop/help/, compiled in as resources) shown in one help window.
//
// Every menu item, tool bar and dialog that has a help context carries it
// as the Qt property "helpContext" (SetHelpContext). F1 pressed while a
// menu is open asks for the context of the menu's highlighted item; F1 in a
// modal window asks for its context, or for the contents when it has none;
// elsewhere F1 is the frame's "Help..." command (the contents).
//
// The help window opens above the window it was asked from and, asked
// from a modal window, takes input while that window stays open; Escape
// closes it alone, and closing it returns to that window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QObject>

#include "platform/Help.h"

class QAction;
class QTextBrowser;
class QWidget;

namespace mivo {

// Help contexts of the commands and menus.
inline constexpr int HelpToolBar = 121;
inline constexpr int HelpChartMenu = 125;
inline constexpr int HelpFileNew = 1211;
inline constexpr int HelpFileOpen = 1212;
inline constexpr int HelpFileClose = 1213;
inline constexpr int HelpFileSave = 1214;
inline constexpr int HelpFileReport = 1215;
inline constexpr int HelpFileExit = 1216;
inline constexpr int HelpRuleEditor = 1229;
inline constexpr int HelpFourOptions = 1253;
inline constexpr int HelpCopyChart = 1254;
inline constexpr int HelpWindowMenu = 1261;
inline constexpr int HelpPreview = 1271;

// Sets the object's help context (HelpContextProperty, platform/Help.h).
void SetHelpContext(QObject& object, int context);
// The object's help context; 0 for none (or no object).
int HelpContextOf(const QObject* object);

// The resource path of the page that shows a context: a page of its own
// where there is one, else the contents page.
std::string HelpPageFor(int context);
// Every help context that has a page of its own.
std::vector<int> HelpContexts();
// The resource paths of the contents and the index.
inline constexpr const char* HelpContentsPage = "qrc:/help/contents.html";
inline constexpr const char* HelpIndexPage = "qrc:/help/index.html";

class THtmlHelp final : public THelp {
public:
    THtmlHelp();
    ~THtmlHelp() override;

    void ShowContext(int context) override;
    void ShowContents() override;
    void ShowIndex(const std::string& keyword) override;
    void CloseAll() override;

    // The help window, made on the first request; null before. For tests.
    QTextBrowser* Browser() const { return browser_.get(); }

private:
    void ShowPage(const std::string& url);

    std::unique_ptr<QTextBrowser> browser_;
};

// Routes F1 to the context of an open menu's item or of a modal window
// (the contents for a modal window without one); installed on the
// application by the main window.
class THelpKeyFilter final : public QObject {
    Q_OBJECT
public:
    explicit THelpKeyFilter(THelp& help, QObject* parent = nullptr) : QObject(parent), help_(help) {}

    // The context F1 asks for now: the highlighted item of the open menu,
    // else the active modal window's; 0 when neither has one.
    static int CurrentHelpContext();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    THelp& help_;
};

}  // namespace mivo
