#pragma once

#include "settings/ReadProblem.h"

#include <QString>

class QWidget;

// Tells on standard error and in a message box which settings file could not
// be read and why; the program then ends without touching the file.
void reportUnreadableSettings(QWidget* parent, const QString& title, const QString& path, ReadProblem problem);
