#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

// The alarms of the history file as JSON, newest first: each record as the
// history keeps it, with the web paths of its snapshots and clip while those
// files are there. Only `day`'s alarms when given; at most kMostAlarms.
inline constexpr int kMostAlarms = 1000;
QByteArray alarmsJson(const QString& historyPath, const QString& appFolder, std::optional<QDate> day);
