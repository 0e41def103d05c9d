#pragma once

#include <QString>

#include <cstdio>

// houndly --set-web-password USER: reads the password as one line from
// `input` (not echoed on a terminal), stores WEBUSER and WEBHASH in
// houndly.ini and returns the exit code: 0 when stored; 1 when the settings
// cannot be read or written; 2 for an unusable user or password. What went
// wrong goes to `errors`.
int setWebPassword(const QString& user, std::FILE* input, std::FILE* errors);
