#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// How houndly-ftp reaches the server: plain FTP as the classic client did,
// FTP with explicit TLS, or SFTP over SSH.
enum class FtpMode { Plain, Ftps, Sftp };

// One step of an FTP command script after the log-in.
struct FtpStep {
    enum class Kind { ChangeFolder, Binary, Ascii, Put };
    Kind kind = Kind::Binary;
    QString folder;      // ChangeFolder
    QString localPath;   // Put
    QString remoteName;  // Put
};

// A script for houndly-ftp: "open host [port]", the user and password answer
// lines, then CD, binary/ascii, PUT "local" remote and quit.
struct FtpScript {
    QString host;
    int port = 21;
    bool portGiven = false;  // else the protocol's own (22 for SFTP)
    QString user;
    QString password;
    std::vector<FtpStep> steps;
};

// The script, or the reason (with its line number) why it cannot be run.
struct FtpScriptParse {
    std::optional<FtpScript> script;
    QString error;
};

FtpScriptParse parseFtpScript(const QString& text);

// Splits a command line into words; double quotes group a word with spaces.
QStringList splitFtpCommand(const QString& line);
