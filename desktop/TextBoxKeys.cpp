#include "desktop/TextBoxKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace mivo {

namespace {

bool IsEditableTextBox(const QWidget* widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget)) return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget)) return !plain->isReadOnly();
    return false;
}

}  // namespace

bool TTextBoxKeys::IsTextBoxKey(const QWidget* widget, const QKeyEvent& key) {
    const bool ctrlDel = key.key() == Qt::Key_Delete && key.modifiers() == Qt::ControlModifier;
    return ctrlDel && IsEditableTextBox(widget);
}

bool TTextBoxKeys::eventFilter(QObject* watched, QEvent* event) {
    // Accepting the override hands the key to the box as a key press
    // instead of to a shortcut.
    if (event->type() == QEvent::ShortcutOverride &&
        IsTextBoxKey(qobject_cast<QWidget*>(watched), *static_cast<QKeyEvent*>(event)))
        event->accept();
    return QObject::eventFilter(watched, event);
}

}  // namespace mivo
