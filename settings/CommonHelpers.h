#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

class QProcess;

// How a wait for a process came to its end.
enum class ProcessWait {
    Ended,        // the process has ended (at once when it was not running)
    BoundPassed,  // it still runs after the bound
    Interrupted,  // it still runs: the program is closing (its event loops were told to quit)
};
// Waits for a started process to end, the event loop running meanwhile (timers,
// painting, input) without keeping a processor busy, at most boundMs milliseconds.
ProcessWait sWaitProcess(QProcess& process, int boundMs);

// The canonical absolute path of an existing file, "" for one that does not exist.
QString GetShortPath(const QString& path);

// The picture stretched to the given size; the same size gives an unscaled copy.
QImage sResizePicture(const QImage& source, int height, int width);

// "YYMMDDhhmmss_": the start of the names of snapshots and clips.
QString fileTimeStamp(const QDateTime& time);

// folder/YYMMDDhhmmss_<name>, or with "_2", "_3" ... before the name's extension
// when that file is there already: a second file of the same second (or of a
// clock set back) never replaces the first.
QString unusedTimeStampedPath(const QString& folder, const QDateTime& time, const QString& name);
