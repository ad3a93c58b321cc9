#include "desktop/Memo.h"

#include <QMimeData>

namespace mivo {

bool HasFormats(const QMimeData* data) { return data != nullptr && !data->formats().isEmpty(); }

bool TMemo::canInsertFromMimeData(const QMimeData* source) const {
    return HasFormats(source) && QPlainTextEdit::canInsertFromMimeData(source);
}

void TMemo::insertFromMimeData(const QMimeData* source) {
    if (HasFormats(source)) QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace mivo
