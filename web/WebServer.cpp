#include "web/WebServer.h"

#include "web/StopSignal.h"
#include "web/WebAuth.h"
#include "web/IpAddress.h"
#include "web/WebResponses.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Enough for any header a browser sends; MHD answers larger requests itself.
constexpr size_t kConnectionMemory = 32 * 1024;
constexpr char kTlsVersions[] = "NORMAL:-VERS-ALL:+VERS-TLS1.3:+VERS-TLS1.2";

// One request between its first line and its end.
struct PendingRequest {
    QByteArray uri;  // as sent: Digest credentials name it
    QByteArray body;
    bool headersSeen = false;
    bool admitted = false;
    bool tooLarge = false;  // the rest of its body is read and dropped
};

QByteArray clientAddress(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr)
        return {};
    return peerAddressText(info->client_addr);
}

bool challenge(MHD_Connection* connection, WebAuth& auth, bool stale)
{
    MHD_Response* response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
    for (const QByteArray& value : auth.challenges(stale))
        MHD_add_response_header(response, MHD_HTTP_HEADER_WWW_AUTHENTICATE, value.constData());
    return queueResponse(connection, MHD_HTTP_UNAUTHORIZED, response);
}

bool lockedOut(MHD_Connection* connection)
{
    const QByteArray text("Too many failed logins from this address; try again in 10 minutes.\n");
    MHD_Response* response =
        MHD_create_response_from_buffer(size_t(text.size()), const_cast<char*>(text.constData()), MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, "Retry-After", "600");
    return queueResponse(connection, MHD_HTTP_TOO_MANY_REQUESTS, response);
}

}  // namespace

struct WebServer::Callbacks {
    static MHD_Result request(void* server, MHD_Connection* connection, const char* url, const char* method,
                              const char*, const char* uploadData, size_t* uploadSize, void** context)
    {
        return static_cast<WebServer*>(server)->handle(connection, url, method, uploadData, uploadSize, context)
                   ? MHD_YES
                   : MHD_NO;
    }
    static void* begun(void*, const char* uri, MHD_Connection*)
    {
        auto* pending = new PendingRequest;
        pending->uri = uri;
        return pending;
    }
    static void ended(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode)
    {
        delete static_cast<PendingRequest*>(*context);
        *context = nullptr;
    }
    static void log(void* server, const char* format, va_list arguments)
    {
        auto* self = static_cast<WebServer*>(server);
        const std::lock_guard lock(self->logMutex_);
        // Only a failing start is told; afterwards the library's notes are about single connections.
        if (!self->starting_)
            return;
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        self->lastError_ = QString::fromUtf8(text).trimmed();
    }
};

QByteArray WebRequest::header(const char* name) const
{
    return QByteArray(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name));
}

std::optional<QByteArray> WebRequest::argument(const char* name) const
{
    const char* value = MHD_lookup_connection_value(connection, MHD_GET_ARGUMENT_KIND, name);
    return value == nullptr ? std::nullopt : std::optional<QByteArray>(QByteArray(value));
}

WebServer::WebServer(WebAuth& auth, WebRoutes routes, StopSignal& stop, Tell tell)
    : auth_(auth), routes_(std::move(routes)), stop_(stop), tell_(std::move(tell))
{
}

WebServer::~WebServer()
{
    stop();
}

QString WebServer::start(const WebListen& listen)
{
    const std::optional<IpAddress> address = parseIpAddress(listen.address);
    if (!address)
        return QStringLiteral("%1 is no IP address").arg(listen.address);
    sockaddr_in ipv4{};
    sockaddr_in6 ipv6{};
    const bool isIpv6 = address->family == AF_INET6;
    if (isIpv6) {
        ipv6.sin6_family = AF_INET6;
        ipv6.sin6_port = htons(listen.port);
        std::memcpy(&ipv6.sin6_addr, address->bytes, sizeof ipv6.sin6_addr);
    } else {
        ipv4.sin_family = AF_INET;
        ipv4.sin_port = htons(listen.port);
        std::memcpy(&ipv4.sin_addr, address->bytes, sizeof ipv4.sin_addr);
    }
    unsigned flags = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_POLL | MHD_USE_ERROR_LOG;
    if (isIpv6)
        flags |= MHD_USE_IPv6;
    std::vector<MHD_OptionItem> options{
        {MHD_OPTION_SOCK_ADDR, 0, isIpv6 ? static_cast<void*>(&ipv6) : static_cast<void*>(&ipv4)},
        {MHD_OPTION_CONNECTION_LIMIT, kMostConnections, nullptr},
        {MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds, nullptr},
        {MHD_OPTION_CONNECTION_MEMORY_LIMIT, intptr_t(kConnectionMemory), nullptr},
        {MHD_OPTION_LISTENING_ADDRESS_REUSE, 1, nullptr},
        {MHD_OPTION_URI_LOG_CALLBACK, intptr_t(&Callbacks::begun), this},
        {MHD_OPTION_NOTIFY_COMPLETED, intptr_t(&Callbacks::ended), this},
        {MHD_OPTION_EXTERNAL_LOGGER, intptr_t(&Callbacks::log), this},
    };
    if (listen.tls) {
        flags |= MHD_USE_TLS;
        options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(listen.tls->certificatePem.constData())});
        options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(listen.tls->keyPem.constData())});
        options.push_back({MHD_OPTION_HTTPS_PRIORITIES, 0, const_cast<char*>(kTlsVersions)});
    }
    options.push_back({MHD_OPTION_END, 0, nullptr});
    {
        const std::lock_guard lock(logMutex_);
        starting_ = true;
        lastError_.clear();
    }
    stop_.reset();
    daemon_ = MHD_start_daemon(flags, listen.port, nullptr, nullptr, &Callbacks::request, this, MHD_OPTION_ARRAY,
                               options.data(), MHD_OPTION_END);
    const std::lock_guard lock(logMutex_);
    starting_ = false;
    if (daemon_ != nullptr)
        return {};
    return lastError_.isEmpty() ? QStringLiteral("the server could not start") : lastError_;
}

void WebServer::stop()
{
    if (daemon_ == nullptr)
        return;
    stop_.stop();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}

uint16_t WebServer::port() const
{
    const MHD_DaemonInfo* info = daemon_ == nullptr ? nullptr : MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    return info == nullptr ? 0 : info->port;
}

bool WebServer::handle(MHD_Connection* connection, const char* url, const char* method, const char* uploadData,
                       size_t* uploadSize, void** context)
{
    auto* pending = static_cast<PendingRequest*>(*context);
    const QByteArray methodName(method);
    // A response queued in the first call makes the library close the connection after
    // it, so a Digest answer would come on a second connection while the first still counts.
    if (methodName != "POST" && !std::exchange(pending->headersSeen, true))
        return true;
    if (!pending->admitted) {
        if (methodName != "GET" && methodName != "HEAD" && methodName != "POST")
            return queueText(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "Only GET, HEAD and POST are served.");
        const QByteArray address = clientAddress(connection);
        const AuthRequest request{.address = address,
                                  .method = methodName,
                                  .uri = pending->uri,
                                  .authorization = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                                               MHD_HTTP_HEADER_AUTHORIZATION)};
        switch (auth_.check(request)) {
        case WebAuth::Verdict::LockedNow:
            tell_(QStringLiteral("web view: %1 locked out for 10 minutes after 5 failed logins")
                      .arg(QString::fromLatin1(address)));
            return lockedOut(connection);
        case WebAuth::Verdict::LockedOut:
            return lockedOut(connection);
        case WebAuth::Verdict::Challenge:
            return challenge(connection, auth_, false);
        case WebAuth::Verdict::Stale:
            return challenge(connection, auth_, true);
        case WebAuth::Verdict::Pass:
            break;
        }
        pending->admitted = true;
        const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        if (length != nullptr && QByteArray(length).toLongLong() > kLongestBody)
            return queueText(connection, MHD_HTTP_CONTENT_TOO_LARGE, "The request body is too large.");
        // A body comes in the calls that follow.
        if (methodName == "POST")
            return true;
    }
    if (*uploadSize > 0) {
        // The library takes a response only once the whole request is in.
        pending->tooLarge = pending->tooLarge || pending->body.size() + qsizetype(*uploadSize) > kLongestBody;
        if (!pending->tooLarge)
            pending->body.append(uploadData, qsizetype(*uploadSize));
        *uploadSize = 0;
        return true;
    }
    if (pending->tooLarge)
        return queueText(connection, MHD_HTTP_CONTENT_TOO_LARGE, "The request body is too large.");
    return routes_(WebRequest{.connection = connection, .method = methodName, .path = url, .body = pending->body});
}
