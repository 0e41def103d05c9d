// Saves the settings in a loop in $HOUNDLY_HOME until it is killed: the child
// of the kill-during-save test. Prints "saving" once the first save is done.
#include "settings/Settings.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    Settings.MAIL.PASS = QStringLiteral("kill-me-not");
    for (int n = 0;; ++n) {
        // A body of some size keeps the writes long enough to be hit.
        Settings.TRG[0].BODY = QStringLiteral("save %1 ").arg(n) + QString(20000, u'x');
        if (!sSaveSettings())
            return 1;
        if (n == 0) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}
