// The "Short|Long" hints of commands: the short part is the tooltip, the
// long part the status-line text; a hint without a bar is both.
#pragma once

#include <QString>

class QAction;
class QWidget;

namespace mivo {

QString ShortHint(const QString& hint);
QString LongHint(const QString& hint);
void SetHint(QAction& action, const QString& hint);
void SetHint(QWidget& widget, const QString& hint);

}  // namespace mivo
