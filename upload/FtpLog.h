#pragma once

#include <QString>

// The upload log "ftp.log.txt" in the application folder, kept in the mail
// log's record style: a "----" line with the time, "FTP" and the host, "*"
// lines for what was asked, and a "=" line with the result.
inline const QString kFtpLogName = QStringLiteral("ftp.log.txt");

// One upload as the log keeps it.
struct FtpUploadRecord {
    QString host;          // as the script's open line names it: host, then port
    QString remoteFolder;  // "" for none
    QString remoteName;
    QString localPath;
    bool uploaded = false;
    QString reason;        // why not, in one or more lines
};

// Appends the record to the log (created 0600). A line break in any field is
// written as "\n" or "\r", so one record never reads as two. No field holds the
// password: the reasons are the client's, which never quotes it. False when not
// written.
bool appendFtpLog(const QString& logPath, const FtpUploadRecord& record);
