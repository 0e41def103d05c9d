#pragma once

#include <QString>
#include <QStringList>

// The languages the windows speak: the Japanese texts they were written in, or
// their English translation.
enum class UiLanguage { Japanese, English };

// [EXT] LANG "ja" or "en" wins; anything else follows the desktop: the first
// of its languages (most wanted first) that is Japanese or English, else English.
UiLanguage chooseUiLanguage(const QString& setting, const QStringList& desktopLanguages);

// [EXT] LANG of houndly.ini, read before the windows exist; "" when the file
// holds none or cannot be read (the start-up tells of such a file later).
QString storedUiLanguage();

// At start-up, once the application object exists: chooses the language from
// [EXT] LANG and the desktop and makes tr() speak it.
UiLanguage useStartUpLanguage();

// From now on tr() speaks `language`: installs the English translation, or
// removes it. False when the translation cannot be loaded (texts stay Japanese).
bool useUiLanguage(UiLanguage language);

