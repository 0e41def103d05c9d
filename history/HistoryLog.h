#pragma once

#include "history/AlarmRecord.h"

#include <QJsonObject>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

// history.log in the application folder.
QString historyLogPath();

// Appends one JSON object as one line, in one write to a file opened for
// appending (created 0600). A last line torn by a crash is ended first, so it
// spoils only itself. False when the line could not be written whole; what
// was written of it is taken back.
bool appendHistoryLine(const QString& path, const QJsonObject& line);

// What the file holds, oldest first. The later lines of an alarm (its results
// and its upload) are merged into its record; damaged lines, and later lines
// whose record is lost, are skipped and counted.
struct HistoryContents {
    std::vector<AlarmRecord> alarms;
    QSet<QString> removedFiles;  // as written in the records
    int damagedLines = 0;
};
HistoryContents readHistory(const QString& path);

// The newest alarm record with its later lines, read from the end of the file.
std::optional<AlarmRecord> readLatestAlarm(const QString& path);

// A path as the records keep it: relative to the application folder inside it.
QString historyPathOf(const QString& path);
// The absolute path of a path as the records keep it.
QString absoluteHistoryPath(const QString& path);
