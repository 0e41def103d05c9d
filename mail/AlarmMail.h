#pragma once

#include "settings/StatusText.h"

#include <QImage>

#include <functional>

// Mails every destination in use, each with a snapshot of the alarm frame.
// Once `stopped` says so (the window is closing) no further mail is started.
void sStartMailSend(const QImage& alarmFrame, const StatusText& showStatus,
                    const std::function<bool()>& stopped = [] { return false; });
