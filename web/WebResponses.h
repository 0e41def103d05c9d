#pragma once

#include <QByteArray>

struct MHD_Connection;
struct MHD_Response;

// Responses of the web view. Each queue function takes the response over and
// returns whether it was queued; every response carries the same security
// headers (nothing from elsewhere, no framing, no sniffing, no referrer).

bool queueResponse(MHD_Connection* connection, unsigned status, MHD_Response* response);
// A copy of `body`.
bool queueBytes(MHD_Connection* connection, unsigned status, const QByteArray& body, const char* contentType);
// A short plain-text answer, mostly for errors.
bool queueText(MHD_Connection* connection, unsigned status, const QByteArray& text);
bool queueJson(MHD_Connection* connection, const QByteArray& json);
