#include "desktop/FramePage.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>

#include "desktop/Hint.h"
#include "desktop/ModelForm.h"
#include "platform/ErrorDisplay.h"

namespace mivo {

TFramePage::TFramePage(TModelForm& form, TModelPage page, const QString& menuTitle, TUndoKind undo, int menuGroup)
    : TPage(form), page_(page), menu_group_(menuGroup) {
    widget_ = new QWidget;
    layout_ = new QVBoxLayout(widget_);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    tool_bar_ = new QToolBar(widget_);
    tool_bar_->setIconSize(QSize(16, 16));
    tool_bar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout_->addWidget(tool_bar_);
    menu_ = new QMenu(menuTitle, widget_);
    AddUndoCommands(undo);
}

TFramePage::~TFramePage() {
    // A page never put into a window still owns its widget.
    if (widget_ && widget_->parent() == nullptr) delete widget_.data();
}

QWidget* TFramePage::Widget() { return widget_; }

QList<QAction*> TFramePage::Actions() const {
    QList<QAction*> actions;
    if (popup_ != nullptr) actions += popup_->actions();
    return actions;
}

void TFramePage::SetContent(QWidget* content) {
    if (content_ != nullptr) layout_->removeWidget(content_);
    content_ = content;
    if (content_ != nullptr) layout_->addWidget(content_, 1);
}

QAction* TFramePage::MakeAction(TCommandId id, const QString& caption, const QString& hint,
                                const std::function<void()>& handler, bool toolButton) {
    auto* action = new QAction(caption, widget_);
    SetHint(*action, hint);
    QObject::connect(action, &QAction::triggered, widget_, [handler] { Guarded(handler); });
    Form().BindCommand(id, action, toolButton);
    return action;
}

QAction* TFramePage::AddButton(TCommandId id, const QString& caption, const QString& hint,
                               const std::function<void()>& handler) {
    QAction* action = MakeAction(id, caption, hint, handler, true);
    tool_bar_->addAction(action);
    return action;
}

QAction* TFramePage::AddItem(TCommandId id, const QString& caption, const QString& hint, const QKeySequence& key,
                             const std::function<void()>& handler) {
    QAction* action = MakeAction(id, caption, hint, handler, false);
    action->setShortcut(key);
    menu_->addAction(action);
    return action;
}

QMenu* TFramePage::EnsurePopup() {
    if (popup_ == nullptr) popup_ = new QMenu(widget_);
    return popup_;
}

QAction* TFramePage::AddPopupItem(TCommandId id, const QString& caption, const QString& hint,
                                  const std::function<void()>& handler) {
    QAction* action = MakeAction(id, caption, hint, handler, false);
    EnsurePopup()->addAction(action);
    return action;
}

void TFramePage::AddUndoCommands(TUndoKind undo) {
    if (undo == TUndoKind::None) return;
    const bool model = undo == TUndoKind::Model;
    const TCommandId undoId = model ? TCommandId::ModUndo : TCommandId::OptUndo;
    const TCommandId redoId = model ? TCommandId::ModRedo : TCommandId::OptRedo;
    TModelForm& form = Form();
    const auto undoHandler = [&form, model] { model ? form.ModUndoClick() : form.EvalUndoClick(); };
    const auto redoHandler = [&form, model] { model ? form.ModRedoClick() : form.EvalRedoClick(); };
    undo_button_ = AddButton(undoId, QStringLiteral("Undo"), QStringLiteral("Undo|Undo the last change"), undoHandler);
    redo_button_ = AddButton(redoId, QStringLiteral("Redo"), QStringLiteral("Redo|Redo the change undone"), redoHandler);
    undo_item_ = AddItem(undoId, QStringLiteral("&Undo"), QStringLiteral("Undo|Undo the last change"), {}, undoHandler);
    redo_item_ = AddItem(redoId, QStringLiteral("&Redo"), QStringLiteral("Redo|Redo the change undone"), {}, redoHandler);
    menu_->addSeparator();
}

}  // namespace mivo
