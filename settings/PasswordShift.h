#pragma once

#include "settings/FileEncoding.h"

#include <QString>

#include <optional>

// Passwords are stored with every character replaced by the one whose code,
// in the file's encoding, is one lower (Unicode code points in a UTF-8 file,
// code page 932 codes, double-byte characters as one 16-bit value, in a
// Shift-JIS file). Nothing when a character has no neighbour there.
std::optional<QString> shiftPassword(const QString& clear, FileEncoding encoding);
std::optional<QString> unshiftPassword(const QString& shifted, FileEncoding encoding);
