// The pages of the model window.
//
// A model window (TModelForm) holds four pages in a tab widget, in this
// order: "&Model" (the attribute tree), "&Options", "Eva&luation" and
// "Cha&rts". Each page is a TPage: it gives the window its widget, and may
// give a page menu (merged into the main menu by merge group while the page
// is current), a tool bar, a popup menu and the actions whose shortcuts are
// live while it is current.
//
// The window calls the page at fixed points:
//   - Fill()          when the page becomes the current one;
//   - Refresh()       from UpdateControls, for every page in tab order, with
//                     the window's Updating flag set (so control changes
//                     made here do not feed back into the model);
//   - PreviewKey()    with every key pressed inside the window while the
//                     page is current, before the focused control sees it;
//   - ClearTree(), ModelReplaced(), OptionsReplaced() when the model or its
//                     option data are replaced as a whole (open, undo, redo,
//                     import), for every page.
//
// Commands: a page binds each of its tool buttons and menu items to a
// command id with TModelForm::BindCommand; UpdateControls then sets their
// enabled, visible (tool buttons only) and checked states from the one
// enabling function (desktop/Commands.h). TFramePage (FramePage.h) is a
// ready page frame: a tool bar above the page's content and a page menu,
// both already holding Undo and Redo.
//
// Ownership: the window owns its pages; a page's widget, menus and tool bar
// are Qt children of the page widget (or of the window), so they live as
// long as the window does. A page is destroyed before the window's widgets.
//
// Each page is made by one factory function (PageFactory.h), each in a
// file of its own, so that a page's author replaces only that file.
#pragma once

#include <QList>

#include "desktop/ModelWindowEvents.h"
#include "reports/ReportHost.h"

class QAction;
class QKeyEvent;
class QMenu;
class QToolBar;
class QWidget;

namespace mivo {

class TModelForm;

// Merge groups of the main menu: File first, then the page menus, then
// Window and Help.
inline constexpr int FileMenuGroup = 0;
inline constexpr int DefaultPageMenuGroup = 10;
inline constexpr int WindowMenuGroup = 40;
inline constexpr int HelpMenuGroup = 50;

class TPage {
public:
    explicit TPage(TModelForm& form) : form_(form) {}
    virtual ~TPage() = default;
    TPage(const TPage&) = delete;
    TPage& operator=(const TPage&) = delete;

    TModelForm& Form() const { return form_; }

    // The page's widget, shown in its tab. Made once; the window parents it.
    virtual QWidget* Widget() = 0;

    // The page menu merged into the main menu while the page is current
    // (null: none), and its merge group.
    virtual QMenu* PageMenu() { return nullptr; }
    virtual int MenuGroup() const { return DefaultPageMenuGroup; }
    // The page's tool bar and popup menu (null: none).
    virtual QToolBar* ToolBar() { return nullptr; }
    virtual QMenu* Popup() { return nullptr; }

    // The actions whose shortcuts are live while the page is current. A
    // main-window action with the same key yields to them.
    virtual QList<QAction*> Actions() const { return {}; }

    // The page became the current one.
    virtual void Fill() {}
    // The page's step of UpdateControls (Updating is set).
    virtual void Refresh() {}
    // A key pressed in the window while the page is current, before the
    // focused control sees it; true when the page used it.
    virtual bool PreviewKey(QKeyEvent& event) {
        (void)event;
        return false;
    }

    // The model's attributes are about to be freed (the model is
    // replaced): let go of every reference to them (tree nodes, lists).
    virtual void ClearTree() {}
    // The model was replaced or read anew (the window's tree is refilled
    // already): refill what the page shows of it.
    virtual void ModelReplaced() {}
    // The option data changed as a whole (undo, redo, import): refill and
    // make the given cells current where the page's grid allows.
    virtual void OptionsReplaced(const TGridCells& cells) { (void)cells; }
    // Adds the current cells of the page's grid (only the options and the
    // evaluation page have one).
    virtual void CurrentCells(TGridCells& cells) const { (void)cells; }
    // Commits an edit of option data entered and not yet left as an option
    // undo point of its own; true when one was taken.
    virtual bool CommitPendingOptionEdit() { return false; }

    // A chart panel of the page, for the reports (only the charts page has
    // them); null when there is none.
    virtual TChartPanel* ChartPanel(TChartId id) const {
        (void)id;
        return nullptr;
    }

private:
    TModelForm& form_;
};

}  // namespace mivo
