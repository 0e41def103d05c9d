#pragma once

#include "upload/FtpScript.h"

#include <QString>

// What running a script came to; the reason never holds the password.
struct FtpRunResult {
    bool ok = false;
    QString reason;
};

// Logs in and carries out the script's steps over passive-mode FTP.
FtpRunResult runFtpScript(const FtpScript& script);
