#pragma once

#include "settings/StatusText.h"
#include "settings/WatchEvent.h"

#include <QImage>

#include <functional>

// Mails every destination in use, each with a snapshot of the alarm frame.
// Each snapshot and mail is told to `tell`. Once `stopped` says so (the
// program is closing) no further mail is started.
void sStartMailSend(const QImage& alarmFrame, const StatusText& showStatus, const WatchTeller& tell,
                    const std::function<bool()>& stopped = [] { return false; });

// Every alarm keeps its picture: when the automatic mail will write none (no
// complete account as last checked, or no destination in use asks for one),
// the alarm frame is written to img/ as a 640 x 480 snapshot of its own.
void sKeepAlarmSnapshot(const QImage& alarmFrame, const WatchTeller& tell);
