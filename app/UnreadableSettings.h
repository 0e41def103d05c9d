#pragma once

#include "settings/ReadProblem.h"

#include <QString>

// Tells on standard error which settings file could not be read and why, and
// returns the message the user sees; the program then ends without touching the file.
QString reportUnreadableSettings(const QString& path, ReadProblem problem);
