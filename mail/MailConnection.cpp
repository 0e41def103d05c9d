#include "mail/MailConnection.h"

#include "mail/BackgroundTransfer.h"
#include "mail/MailTransport.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

MailTimeouts currentTimeouts;

// The transfers now running: the alarm's mail runs on a thread of its own,
// and closing cancels it from the watcher's.
std::mutex runningMutex;
std::vector<TransferControl*> runningTransfers;

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
    case CURLINFO_SSL_DATA_OUT: log.encrypted(); break;
    default: break;
    }
    return 0;
}

long wholeSecondsLeft(const QDeadlineTimer& deadline)
{
    return std::max<long>(1, static_cast<long>((deadline.remainingTime() + 999) / 1000));
}

}  // namespace

MailTimeouts mailTimeouts()
{
    return currentTimeouts;
}

void setMailTimeouts(const MailTimeouts& timeouts)
{
    currentTimeouts = timeouts;
}

QDeadlineTimer newMailDeadline()
{
    return QDeadlineTimer(std::chrono::seconds(currentTimeouts.wholeSeconds), Qt::PreciseTimer);
}

void cancelMailInProgress()
{
    const std::lock_guard lock(runningMutex);
    for (TransferControl* control : runningTransfers)
        control->cancel(QStringLiteral("cancelled: the program is closing"));
}

QString mailServerUrl(const QString& plainScheme, const QString& tlsScheme, int implicitTlsPort,
                      const QString& host, int port)
{
    const QString hostPart = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QStringLiteral("%1://%2:%3/")
        .arg(port == implicitTlsPort ? tlsScheme : plainScheme, hostPart)
        .arg(port);
}

MailConnection::MailConnection(const QString& url, MailExchangeLog& log, const QDeadlineTimer& deadline)
    : easy_(curl_easy_init()), log_(log), deadline_(deadline)
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
    // libcurl's own limits give the clearer message; the deadline stays the bound.
    const long secondsLeft = wholeSecondsLeft(deadline_);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, std::min(mailTimeouts().connectSeconds, secondsLeft));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, secondsLeft);
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, secondsLeft);
    // A name lookup still running when the transfer ends is left behind, not waited for.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(easy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy, CURLOPT_DEBUGFUNCTION, recordExchange);
    curl_easy_setopt(easy, CURLOPT_DEBUGDATA, &log_);
    control_.attach(easy);
}

MailConnection::~MailConnection() = default;

QString MailConnection::perform()
{
    if (!easy_)
        return QStringLiteral("libcurl could not be initialised");
    const QString lateReason =
        QStringLiteral("the mail took longer than %1 s").arg(mailTimeouts().wholeSeconds);
    {
        const std::lock_guard lock(runningMutex);
        runningTransfers.push_back(&control_);
    }
    const TransferResult result = runTransfer(easy_.release(), control_, deadline_, lateReason,
                                              std::chrono::seconds(mailTimeouts().goodbyeSeconds));
    {
        const std::lock_guard lock(runningMutex);
        std::erase(runningTransfers, &control_);
    }

    if (control_.cancelled() && !result.cutShort)
        log_.note(QStringLiteral("connection closed: ") + control_.reason());
    if (result.code == CURLE_OK)
        return {};
    if (result.cutShort)
        return control_.reason();
    const QString detail = QString::fromUtf8(errorBuffer_);
    return detail.isEmpty() ? QString::fromUtf8(curl_easy_strerror(result.code)) : detail;
}
