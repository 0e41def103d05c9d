#pragma once

#include <QString>
#include <QStringList>

// The record of one exchange with a mail server, appended to the mail log
// when it ends. Secrets never reach the file: the only lines that carry them
// are commands (the arguments of AUTH, PASS and APOP, and every answer to a
// server's challenge), and those are masked where the secret stands. The
// password goes to the library apart from the URL, and neither the library's
// remarks nor its errors quote it.
class MailExchangeLog {
public:
    MailExchangeLog(QString logPath, const QString& protocol, const QString& server);

    void note(const QString& text);       // a remark of the program or the library
    void serverSaid(const QString& text);  // reply lines as received
    void clientSaid(const QString& text);  // command lines as sent
    void messageSent(qsizetype bytes);     // counted, never copied
    void encrypted();                      // TLS protects the rest of the exchange
    // Writes the record with its result line; returns false when the log
    // could not be written (the mail itself is not affected).
    bool finish(const QString& result);
    // The last reply line, as logged.
    QString lastServerLine() const { return lastServerLine_; }
    // The last reply line that refused (4xx or 5xx in SMTP, "-ERR" in POP3): why
    // the server would not; "" when none did.
    QString lastServerRefusal() const { return lastServerRefusal_; }

    // The line as it may be logged, given whether the server's last reply
    // was a challenge ("334 " in SMTP, "+ " in POP3).
    static QString maskedCommand(const QString& line, bool answersChallenge);

private:
    QString path_;
    QStringList lines_;
    QString lastServerLine_;
    QString lastServerRefusal_;
    qsizetype messageBytes_ = 0;
    bool lastReplyWasChallenge_ = false;
    bool encrypted_ = false;
    bool warnedOfClearPassword_ = false;
};

// Appends text to the log file, created readable by the user alone.
bool appendToMailLog(const QString& logPath, const QByteArray& text);
