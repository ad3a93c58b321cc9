// A ready frame for a model-window page: the page's widget holds a tool bar
// above the page's content, and the page has a page menu (and, if it asks,
// a popup menu). On the Model page the tool bar and the menu already hold
// Undo and Redo of the model history; on the Options and Evaluation pages
// those of the option history.
//
// A page adds its own commands with AddButton / AddItem, each bound to a
// command id so that UpdateControls enables it; the tool buttons and the
// menu items of one command are separate actions (an undo button hides
// while undo is off, its menu item stays).
#pragma once

#include <cstdint>
#include <functional>

#include <QKeySequence>
#include <QPointer>
#include <QString>

#include "desktop/Commands.h"
#include "desktop/ModelWindowState.h"
#include "desktop/Page.h"

class QVBoxLayout;

namespace mivo {

// The history a page's Undo and Redo work on.
enum class TUndoKind : std::uint8_t { None, Model, Options };

class TFramePage : public TPage {
public:
    TFramePage(TModelForm& form, TModelPage page, const QString& menuTitle, TUndoKind undo,
               int menuGroup = DefaultPageMenuGroup);
    ~TFramePage() override;

    TModelPage PageId() const { return page_; }

    QWidget* Widget() override;
    QMenu* PageMenu() override { return menu_; }
    int MenuGroup() const override { return menu_group_; }
    QToolBar* ToolBar() override { return tool_bar_; }
    QMenu* Popup() override { return popup_; }
    QList<QAction*> Actions() const override;

    // Puts the widget below the tool bar, filling the page (the page takes
    // it over as a Qt child).
    void SetContent(QWidget* content);

    // A tool button / a page-menu item / a popup item that runs the handler
    // (inside the error display) and is bound to the command id. The hint
    // is "Short|Long" (tooltip and status tip).
    QAction* AddButton(TCommandId id, const QString& caption, const QString& hint,
                       const std::function<void()>& handler);
    QAction* AddItem(TCommandId id, const QString& caption, const QString& hint, const QKeySequence& key,
                     const std::function<void()>& handler);
    QAction* AddPopupItem(TCommandId id, const QString& caption, const QString& hint,
                          const std::function<void()>& handler);
    // The page menu, tool bar and popup made on demand.
    QMenu* Menu() const { return menu_; }
    QMenu* EnsurePopup();

    // Undo and Redo of the page (null for TUndoKind::None).
    QAction* UndoButton() const { return undo_button_; }
    QAction* RedoButton() const { return redo_button_; }
    QAction* UndoItem() const { return undo_item_; }
    QAction* RedoItem() const { return redo_item_; }

private:
    QAction* MakeAction(TCommandId id, const QString& caption, const QString& hint,
                        const std::function<void()>& handler, bool toolButton);
    void AddUndoCommands(TUndoKind undo);

    TModelPage page_;
    int menu_group_;
    QPointer<QWidget> widget_;
    QVBoxLayout* layout_ = nullptr;
    QToolBar* tool_bar_ = nullptr;
    QMenu* menu_ = nullptr;
    QMenu* popup_ = nullptr;
    QWidget* content_ = nullptr;
    QAction* undo_button_ = nullptr;
    QAction* redo_button_ = nullptr;
    QAction* undo_item_ = nullptr;
    QAction* redo_item_ = nullptr;
};

}  // namespace mivo
