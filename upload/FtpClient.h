#pragma once

#include "upload/FtpScript.h"

#include <QString>

#include <functional>

// What running a script came to; the reason never holds the password.
struct FtpRunResult {
    bool ok = false;
    QString reason;
};

// Logs in and carries out the script's steps over passive-mode FTP, FTPS or
// SFTP; `stored` hears of each PUT as soon as the server has confirmed it.
FtpRunResult runFtpScript(const FtpScript& script, FtpMode mode, const std::function<void(const FtpStep&)>& stored);
