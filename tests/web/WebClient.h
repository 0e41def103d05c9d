#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// One HTTP request made by libcurl, a real client, to the web view on loopback.
struct WebCall {
    QByteArray url{};
    QByteArray user{};
    QByteArray password{};
    long auth = 0;  // CURLAUTH_DIGEST or CURLAUTH_BASIC; 0 sends no credentials
    QString caFile{};  // the certificate to trust for https
    QList<QByteArray> headers{};
    std::optional<QByteArray> post{};
    QByteArray source{};  // the local address to connect from
    // The body as it comes; false ends the transfer.
    std::function<bool(const QByteArray& bodySoFar)> keepReading{};
};

struct WebReply {
    long status = 0;
    QByteArray body;
    QList<QByteArray> headers;  // "Name: value" lines of the last response
    QList<QByteArray> headersNamed(const QByteArray& name) const;
};

WebReply webCall(const WebCall& call);

// The JPEGs of a multipart/x-mixed-replace body, each by its Content-Length.
std::vector<QByteArray> multipartParts(const QByteArray& body);
