#pragma once

#include "settings/StatusText.h"

#include <QImage>

// Mails every destination in use, each with a snapshot of the alarm frame.
void sStartMailSend(const QImage& alarmFrame, const StatusText& showStatus);
