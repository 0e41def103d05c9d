#pragma once

#include <QString>

// Copies the user guide from `source` into `target`, replacing files that
// differ in size or are older; false when a file could not be copied.
bool installHelpFolder(const QString& source, const QString& target);

// The guide the program ships (beside it, or installed in share/houndly/help).
QString shippedHelpFolder();
