// The editing keys of a focused text box that are command keys elsewhere.
//
// A focused text box keeps its own Ctrl+C, X, V and Z; the toolkit's boxes
// claim those keys themselves. Ctrl+Del (delete the next word) they leave
// to the menus, where it deletes an attribute or an option: this filter,
// installed on the application by the main window, claims it for an
// editable text box that has the focus. On the tree, the grids and every
// other control the key stays the delete command.
#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace mivo {

class TTextBoxKeys final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // True when the key belongs to the widget as an editable text box.
    static bool IsTextBoxKey(const QWidget* widget, const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace mivo
