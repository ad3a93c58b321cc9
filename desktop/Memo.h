// The multi-line text box of the program: a plain-text edit whose paste
// and drop take only data that carries at least one format.
//
// Qt 6.4's multi-line text control reads the first format of the data it
// is handed without checking that there is one. A clipboard that holds
// nothing (nothing copied yet on this display, or its owner has exited)
// hands over such data, and Ctrl+V or Shift+Insert then crashes the
// program. Here pasting nothing does nothing; text pastes as before.
// Every editable multi-line text box of the program is a TMemo.
#pragma once

#include <QPlainTextEdit>

class QMimeData;

namespace mivo {

// Data that a text box can take: present, with at least one format.
bool HasFormats(const QMimeData* data);

class TMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace mivo
