#include "upload/FtpClient.h"

#include "upload/SecureFtp.h"

#include <curl/curl.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <mutex>

namespace {

constexpr long kConnectTimeoutSeconds = 30;
// A transfer that moves nothing for this long is given up.
constexpr long kStallSeconds = 60;

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// The remote working folder, changed by CD steps as the server would.
class RemoteFolder {
public:
    void change(const QString& path)
    {
        if (path.startsWith(QLatin1Char('/'))) {
            absolute_ = true;
            segments_.clear();
        }
        for (const QString& segment : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            if (segment == QLatin1String("..")) {
                if (!segments_.isEmpty())
                    segments_.removeLast();
            } else if (segment != QLatin1String("."))
                segments_ << segment;
        }
    }

    // The URL path of a file in this folder; "%2F" makes curl start at the
    // root of an FTP server, an SFTP path is the server's own, "~/" its home.
    QByteArray urlPath(const QString& fileName, FtpMode mode) const
    {
        const bool sftp = mode == FtpMode::Sftp;
        QByteArray path = absolute_ ? QByteArray(sftp ? "" : "%2F") : QByteArray(sftp ? "~/" : "");
        for (const QString& segment : segments_)
            path += encoded(segment) + '/';
        return path + encoded(fileName);
    }

private:
    static QByteArray encoded(const QString& text)
    {
        return QByteArray(text.toUtf8()).toPercentEncoding();
    }

    bool absolute_ = false;
    QStringList segments_;
};

int serverPort(const FtpScript& script, FtpMode mode)
{
    return !script.portGiven && mode == FtpMode::Sftp ? 22 : script.port;
}

QByteArray serverUrl(const QByteArray& scheme, const FtpScript& script, FtpMode mode)
{
    const QString host = script.host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(script.host) : script.host;
    return scheme + QStringLiteral("%1:%2/").arg(host).arg(serverPort(script, mode)).toUtf8();
}

QString curlReason(CURLcode code, const char* detail)
{
    const QString text = detail[0] != '\0' ? QString::fromUtf8(detail) : QString::fromUtf8(curl_easy_strerror(code));
    return text.trimmed();
}

CurlHandle openSession(const FtpScript& script, const QByteArray& user, const QByteArray& password, char* errorBuffer)
{
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    CurlHandle curl(curl_easy_init());
    if (!curl)
        return curl;
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(handle, CURLOPT_FTP_USE_EPSV, 1L);  // passive mode
    // An empty user logs in as anonymous, as curl does by default.
    if (!script.user.isEmpty()) {
        curl_easy_setopt(handle, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(handle, CURLOPT_PASSWORD, password.constData());
    }
    return curl;
}

FtpRunResult put(CURL* handle, const QByteArray& url, const FtpStep& step, bool asciiMode, const char* errorBuffer,
                 const HostKeyCheck& check)
{
    const QFileInfo local(step.localPath);
    FileHandle file(local.isFile() ? std::fopen(QFile::encodeName(step.localPath).constData(), "rb") : nullptr);
    if (!file)
        return {false, QStringLiteral("cannot read local file \"%1\"").arg(step.localPath)};

    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READDATA, file.get());
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(local.size()));
    curl_easy_setopt(handle, CURLOPT_TRANSFERTEXT, asciiMode ? 1L : 0L);
    const CURLcode code = curl_easy_perform(handle);
    if (code != CURLE_OK)
        return {false, QStringLiteral("PUT \"%1\" %2 failed: %3")
                           .arg(step.localPath, step.remoteName,
                                sessionFailure(code, curlReason(code, errorBuffer), check))};
    return {true, {}};
}

// Without any upload the log-in and folder changes are still checked.
FtpRunResult checkFolder(CURL* handle, const QByteArray& url, const char* errorBuffer, const HostKeyCheck& check)
{
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    const CURLcode code = curl_easy_perform(handle);
    if (code != CURLE_OK)
        return {false, sessionFailure(code, curlReason(code, errorBuffer), check)};
    return {true, {}};
}

}  // namespace

FtpRunResult runFtpScript(const FtpScript& script, FtpMode mode, const std::function<void(const FtpStep&)>& stored)
{
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray user = script.user.toUtf8();
    const QByteArray password = script.password.toUtf8();
    const CurlHandle curl = openSession(script, user, password, errorBuffer);
    if (!curl)
        return {false, QStringLiteral("cannot start the transfer library")};

    HostKeyCheck check;
    const QByteArray server =
        serverUrl(prepareSession(curl.get(), mode, script, serverPort(script, mode), check), script, mode);
    RemoteFolder folder;
    bool asciiMode = true;  // the FTP default until "binary"
    bool uploaded = false;
    for (const FtpStep& step : script.steps) {
        switch (step.kind) {
        case FtpStep::Kind::ChangeFolder:
            folder.change(step.folder);
            break;
        case FtpStep::Kind::Binary:
            asciiMode = false;
            break;
        case FtpStep::Kind::Ascii:
            asciiMode = true;
            break;
        case FtpStep::Kind::Put: {
            FtpRunResult result =
                put(curl.get(), server + folder.urlPath(step.remoteName, mode), step, asciiMode, errorBuffer, check);
            if (!result.ok)
                return result;
            stored(step);
            uploaded = true;
            break;
        }
        }
    }
    if (!uploaded)
        return checkFolder(curl.get(), server + folder.urlPath(QString(), mode), errorBuffer, check);
    return {true, {}};
}
