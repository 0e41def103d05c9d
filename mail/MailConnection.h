#pragma once

#include "mail/MailLog.h"

#include <curl/curl.h>

#include <QString>

#include <memory>

// Bounds of one exchange with a mail server, so that a dead or silent server
// never holds the program for long.
struct MailTimeouts {
    long connectSeconds = 30;
    long wholeSeconds = 120;
};
MailTimeouts mailTimeouts();
void setMailTimeouts(const MailTimeouts& timeouts);

// Certificates are verified against the system's store, or against the file
// named by HOUNDLY_CA_FILE when it is set (a private mail server's own CA).
inline constexpr const char* kCaFileVariable = "HOUNDLY_CA_FILE";

// One libcurl transfer to a mail server: TLS whenever the server offers it,
// certificates verified, time-outs set, every command and reply recorded in
// the exchange log.
class MailConnection {
public:
    MailConnection(const QString& url, MailExchangeLog& log);
    ~MailConnection();
    MailConnection(const MailConnection&) = delete;
    MailConnection& operator=(const MailConnection&) = delete;

    CURL* handle() const { return easy_.get(); }
    // Runs the transfer to its end or its time limit. Window events other than
    // user input are served meanwhile, so the screen stays painted and timers
    // run. Returns "" on success, else the error.
    QString perform();

private:
    struct EasyDeleter {
        void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
    };
    std::unique_ptr<CURL, EasyDeleter> easy_;
    MailExchangeLog& log_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

// The scheme://host:port/ URL for a server; implicit TLS for the given port.
QString mailServerUrl(const QString& plainScheme, const QString& tlsScheme, int implicitTlsPort,
                      const QString& host, int port);
