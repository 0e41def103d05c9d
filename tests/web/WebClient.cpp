#include "tests/web/WebClient.h"

#include <curl/curl.h>

namespace {

struct Transfer {
    const WebCall& call;
    WebReply& reply;
};

size_t onBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    transfer->reply.body.append(data, qsizetype(size * count));
    if (transfer->call.keepReading && !transfer->call.keepReading(transfer->reply.body))
        return 0;
    return size * count;
}

size_t onHeader(char* data, size_t size, size_t count, void* user)
{
    auto* reply = static_cast<WebReply*>(user);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    if (line.startsWith("HTTP/"))
        reply->headers.clear();  // a new response after a 401
    else if (!line.isEmpty())
        reply->headers << line;
    return size * count;
}

}  // namespace

QList<QByteArray> WebReply::headersNamed(const QByteArray& name) const
{
    QList<QByteArray> values;
    for (const QByteArray& line : headers)
        if (line.toLower().startsWith(name.toLower() + ':'))
            values << line.mid(name.size() + 1).trimmed();
    return values;
}

WebReply webCall(const WebCall& call)
{
    WebReply reply;
    Transfer transfer{call, reply};
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, call.url.constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 15000L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    // Paths go as written: the server must refuse what a careless client would send.
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    if (call.auth != 0) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, call.auth);
        curl_easy_setopt(curl, CURLOPT_USERNAME, call.user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, call.password.constData());
    }
    if (!call.caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, call.caFile.toLocal8Bit().constData());
    if (!call.source.isEmpty())
        curl_easy_setopt(curl, CURLOPT_INTERFACE, ("host!" + call.source).constData());
    curl_slist* headers = nullptr;
    for (const QByteArray& header : call.headers)
        headers = curl_slist_append(headers, header.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    if (call.post) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, call.post->constData());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(call.post->size()));
    }
    curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return reply;
}

std::vector<QByteArray> multipartParts(const QByteArray& body)
{
    std::vector<QByteArray> parts;
    for (qsizetype at = body.indexOf("Content-Length: "); at >= 0; at = body.indexOf("Content-Length: ", at)) {
        const qsizetype lineEnd = body.indexOf("\r\n", at);
        const qsizetype start = body.indexOf("\r\n\r\n", at) + 4;
        const qsizetype length = body.mid(at + 16, lineEnd - at - 16).toLongLong();
        if (lineEnd < 0 || start < 4 || start + length > body.size())
            break;
        parts.push_back(body.mid(start, length));
        at = start + length;
    }
    return parts;
}
