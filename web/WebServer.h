#pragma once

#include "web/WebCertificate.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

class StopSignal;
class WebAuth;
struct MHD_Connection;
struct MHD_Daemon;

// A request that was let in, as the routes see it.
struct WebRequest {
    MHD_Connection* connection = nullptr;
    QByteArray method;  // GET, HEAD or POST
    QByteArray path;    // decoded, without the query
    QByteArray body;    // POST only, bounded
    QByteArray header(const char* name) const;
    std::optional<QByteArray> argument(const char* name) const;
};

// Answers the requests that were let in; true when a response was queued.
// Called on the server's threads.
using WebRoutes = std::function<bool(const WebRequest&)>;

struct WebListen {
    QString address;  // an IPv4 or IPv6 address
    uint16_t port = 0;
    std::optional<WebCertificate> tls;  // none: plain HTTP
};

// The HTTP server (libmicrohttpd): one thread per connection, at most
// kMostConnections, bounded requests, and every request through WebAuth
// before the routes see it.
class WebServer {
public:
    static constexpr unsigned kMostConnections = 8;
    static constexpr qsizetype kLongestBody = 1024;
    static constexpr unsigned kIdleSeconds = 30;
    using Tell = std::function<void(const QString& line)>;

    // `stop` is signalled before the connections are ended, for whatever waits in a response.
    WebServer(WebAuth& auth, WebRoutes routes, StopSignal& stop, Tell tell);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // "" when it listens, otherwise why not.
    QString start(const WebListen& listen);
    // Ends every connection and joins the server's threads.
    void stop();
    uint16_t port() const;

    struct Callbacks;

private:
    bool handle(MHD_Connection* connection, const char* url, const char* method, const char* uploadData,
                size_t* uploadSize, void** context);

    WebAuth& auth_;
    WebRoutes routes_;
    StopSignal& stop_;
    Tell tell_;
    MHD_Daemon* daemon_ = nullptr;
    std::mutex logMutex_;
    QString lastError_;  // what the library said while starting
    bool starting_ = false;
};
