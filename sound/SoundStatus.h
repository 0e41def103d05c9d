#pragma once

#include <QString>

// The text of the status bar's sound panel for the alarm sound file name
// (Settings.COM.SOUND): "警告音: " and the name, or "警告音: なし" for none.
QString soundStatusText(const QString& sound);
