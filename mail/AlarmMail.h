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
