#pragma once

#include <QString>
#include <QStringList>

// System information programs, in the order they are looked for on PATH.
QStringList systemInfoPrograms();

// The full path of the first of `programs` found on PATH; "" when none is there.
QString findSystemInfoProgram(const QStringList& programs = systemInfoPrograms());
