#include "app/SystemInfo.h"

#include <QStandardPaths>

QStringList systemInfoPrograms()
{
    return {QStringLiteral("hardinfo2"),          QStringLiteral("hardinfo"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("ksysguard"),
            QStringLiteral("plasma-systemmonitor"), QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager"),   QStringLiteral("lxtask")};
}

QString findSystemInfoProgram(const QStringList& programs)
{
    for (const QString& program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}
