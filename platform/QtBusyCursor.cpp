#include "platform/QtBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace mivo {

TBusyCursor::TBusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

TBusyCursor::~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace mivo
