#pragma once

#include "mail/MailLog.h"
#include "mail/MailTimeouts.h"
#include "mail/TransferControl.h"

#include <curl/curl.h>

#include <QDeadlineTimer>
#include <QString>

#include <memory>

// Certificates are verified against the system's store, or against the file
// named by HOUNDLY_CA_FILE when it is set (a private mail server's own CA).
inline constexpr const char* kCaFileVariable = "HOUNDLY_CA_FILE";

// One libcurl transfer to a mail server: TLS whenever the server offers it,
// certificates verified, bounded by the mail's deadline, every command and
// reply recorded in the exchange log.
class MailConnection {
public:
    MailConnection(const QString& url, MailExchangeLog& log, const QDeadlineTimer& deadline);
    ~MailConnection();
    MailConnection(const MailConnection&) = delete;
    MailConnection& operator=(const MailConnection&) = delete;

    // Null once performed.
    CURL* handle() const { return easy_.get(); }
    // Runs the transfer and the goodbye to the server on a worker thread, to
    // their end, the deadline or a cancel. The window stays alive meanwhile
    // (see runTransfer). Returns "" on success, else the error.
    QString perform();

private:
    struct EasyDeleter {
        void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
    };
    std::unique_ptr<CURL, EasyDeleter> easy_;
    MailExchangeLog& log_;
    QDeadlineTimer deadline_;
    TransferControl control_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

// The scheme://host:port/ URL for a server; implicit TLS for the given port.
QString mailServerUrl(const QString& plainScheme, const QString& tlsScheme, int implicitTlsPort,
                      const QString& host, int port);
