#pragma once

#include "settings/ProfileFile.h"
#include "settings/ProfileValue.h"

#include <QString>

#include <cstdint>

// The platform id of a Unicode platform: the wide-character path is the one taken.
int GetPlatformId();

// Reads a key as the Windows profile function does: the value without one
// pair of enclosing quotes, at most size - 1 characters (the default text
// when the key is absent or empty). Returns the count placed in the buffer.
int ReadIniString(const QString& section, const QString& key, const QString& defaultText, QString& buffer,
                  int size, const QString& fileName);
// Writes one key into the file; false when the file could not be written.
bool WriteIniString(const QString& section, const QString& key, const QString& text, const QString& fileName);

// Reads one key of a loaded file into a field, at most maxLength characters of
// it. An absent or empty key leaves the field untouched. False when the text is
// not a value of the field's type (a 16-bit integer outside -32768..32767 or not
// a number).
bool GetIniValue(const ProfileFile& file, const QString& section, const QString& key, QString& target,
                 qsizetype maxLength = kProfileValueMaxLength);
bool GetIniValue(const ProfileFile& file, const QString& section, const QString& key, int16_t& target);

// Writes one field as text (integers in decimal). False when the text has
// no form in the file's encoding; the key then keeps its old line.
bool WriteIniValue(ProfileFile& file, const QString& section, const QString& key, const QString& value);
bool WriteIniValue(ProfileFile& file, const QString& section, const QString& key, int16_t value);
