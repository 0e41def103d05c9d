#pragma once

#include "mail/TransferControl.h"

#include <curl/curl.h>

#include <QDeadlineTimer>
#include <QString>

#include <chrono>

struct TransferResult {
    CURLcode code = CURLE_OK;
    bool cutShort = false;  // cancelled before the transfer ended, not in its goodbye
};

// Runs the transfer of `easy` on a worker thread and cleans the handle up
// there, which says goodbye (QUIT) to the server; `easy` is gone afterwards.
// The calling thread waits, serving nothing: mail is sent off the window's
// thread (the alarm's on its own, the window's through sendWhileTheWindowLives).
// At the deadline the transfer is cancelled with `lateReason`; a goodbye that
// takes longer than `goodbye` is cut short.
TransferResult runTransfer(CURL* easy, TransferControl& control, const QDeadlineTimer& deadline,
                           const QString& lateReason, std::chrono::milliseconds goodbye);
