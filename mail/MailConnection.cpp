#include "mail/MailConnection.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {

MailTimeouts currentTimeouts;

constexpr int kPollMilliseconds = 50;

// Masks and records libcurl's view of the exchange; message data is counted,
// not copied.
int recordExchange(CURL*, curl_infotype type, char* data, size_t size, void* context)
{
    auto& log = *static_cast<MailExchangeLog*>(context);
    const auto text = [&] { return QString::fromUtf8(data, static_cast<qsizetype>(size)); };
    switch (type) {
    case CURLINFO_TEXT: log.note(text()); break;
    case CURLINFO_HEADER_IN: log.serverSaid(text()); break;
    case CURLINFO_HEADER_OUT: log.clientSaid(text()); break;
    case CURLINFO_DATA_OUT: log.messageSent(static_cast<qsizetype>(size)); break;
    default: break;
    }
    return 0;
}

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

}  // namespace

MailTimeouts mailTimeouts()
{
    return currentTimeouts;
}

void setMailTimeouts(const MailTimeouts& timeouts)
{
    currentTimeouts = timeouts;
}

QString mailServerUrl(const QString& plainScheme, const QString& tlsScheme, int implicitTlsPort,
                      const QString& host, int port)
{
    const QString hostPart = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QStringLiteral("%1://%2:%3/")
        .arg(port == implicitTlsPort ? tlsScheme : plainScheme, hostPart)
        .arg(port);
}

MailConnection::MailConnection(const QString& url, MailExchangeLog& log) : easy_(curl_easy_init()), log_(log)
{
    CURL* easy = easy_.get();
    if (!easy)
        return;
    curl_easy_setopt(easy, CURLOPT_URL, url.toUtf8().constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (const char* caFile = std::getenv(kCaFileVariable); caFile && *caFile)
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile);
    const MailTimeouts limits = mailTimeouts();
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, limits.wholeSeconds);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, recordExchange);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, &log_);
}

MailConnection::~MailConnection() = default;

QString MailConnection::perform()
{
    if (!easy_)
        return QStringLiteral("libcurl could not be initialised");
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy_.get()) != CURLM_OK)
        return QStringLiteral("libcurl could not be initialised");

    int running = 1;
    CURLMcode state = CURLM_OK;
    while (running > 0 && state == CURLM_OK) {
        state = curl_multi_perform(multi.get(), &running);
        if (running > 0 && state == CURLM_OK)
            state = curl_multi_poll(multi.get(), nullptr, 0, kPollMilliseconds, nullptr);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    CURLcode result = CURLE_OK;
    int queued = 0;
    if (state != CURLM_OK)
        result = CURLE_FAILED_INIT;
    else
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
            if (message->msg == CURLMSG_DONE)
                result = message->data.result;
    curl_multi_remove_handle(multi.get(), easy_.get());
    if (result == CURLE_OK)
        return {};
    const QString detail = QString::fromUtf8(errorBuffer_);
    return detail.isEmpty() ? QString::fromUtf8(curl_easy_strerror(result)) : detail;
}
