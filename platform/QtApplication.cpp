#include "platform/QtApplication.h"

#include <QApplication>

namespace mivo {

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "mivo";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own objects may still refer to it while the
    // process ends.
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

void SetProgramName() { QCoreApplication::setApplicationName(QString::fromLatin1(ProgramName)); }

}  // namespace mivo

// The font configuration library keeps a cache it never frees; under the
// leak checker of sanitizer builds that is reported as a leak at exit. It
// is not ours to free, so the checker is told to leave it alone (this
// function is read only by the leak checker).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
