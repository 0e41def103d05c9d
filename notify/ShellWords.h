#pragma once

#include <QString>
#include <QStringList>

// Splits a command line into a program and its arguments the way a POSIX
// shell splits words: blanks separate, '...' keeps everything, "..." keeps
// everything but \" \\ \$ \` (the backslash goes), an unquoted backslash
// keeps the next character. Nothing else of a shell applies: no variables,
// no ~, no globs, no ; | & < > or $(...), which stay plain characters of
// their word. An empty line gives no words. An unclosed quote or a trailing
// backslash gives no words and sets `error`.
QStringList splitShellWords(const QString& line, QString* error);
