#pragma once

#include <QString>
#include <QStringView>

// How values stand in the profile file. Single-line values are stored as
// they are, as the Windows profile functions store them. A value with a line
// break, one whose blanks or enclosing quotes the reader would strip, or one
// that begins with the escape mark itself, is stored on one line
// as the mark followed by the value with \\ \n \r \t (and \s for a final space)
// escaped, so that it survives a save and a load.

// The most characters one read gives back: the format's 200-character buffer.
constexpr qsizetype kProfileValueMaxLength = 199;
// The keys beyond the classic ones hold longer values (a camera URL with a
// token), up to what a web server takes in one request line.
constexpr qsizetype kLongProfileValueMaxLength = 8192;

// Removes one matching pair of enclosing double or single quotes.
QString unquoteProfileValue(QStringView text);

// The first maxLength characters; a surrogate pair is never split.
QString cutProfileValue(const QString& text, qsizetype maxLength);

bool isEscapedProfileValue(QStringView stored);
QString toStoredValue(const QString& value);
// The value of a stored text already trimmed of blanks: escaped values decoded,
// others without one pair of enclosing quotes.
QString fromStoredValue(QStringView stored);

// Shifted passwords: a form that begins or ends with a blank, or is enclosed
// in matching quotes, is wrapped in double quotes so the reader's trimming and
// quote removal keep it whole; every other form is stored as it is.
QString toStoredPassword(const QString& shifted);
QString fromStoredPassword(QStringView stored);
