#include "web/WebResponses.h"

#include <microhttpd.h>

namespace {

// Scripts and styles of the page itself, pictures from here only; nothing loads from elsewhere.
constexpr char kContentPolicy[] =
    "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; img-src 'self'; "
    "connect-src 'self'; media-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'";

}  // namespace

bool queueResponse(MHD_Connection* connection, unsigned status, MHD_Response* response)
{
    if (response == nullptr)
        return false;
    MHD_add_response_header(response, "Content-Security-Policy", kContentPolicy);
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, "X-Frame-Options", "DENY");
    MHD_add_response_header(response, "Referrer-Policy", "no-referrer");
    if (MHD_get_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL) == nullptr)
        MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    const bool queued = MHD_queue_response(connection, status, response) == MHD_YES;
    MHD_destroy_response(response);
    return queued;
}

bool queueBytes(MHD_Connection* connection, unsigned status, const QByteArray& body, const char* contentType)
{
    MHD_Response* response = MHD_create_response_from_buffer(size_t(body.size()), const_cast<char*>(body.constData()),
                                                             MHD_RESPMEM_MUST_COPY);
    if (response != nullptr)
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
    return queueResponse(connection, status, response);
}

bool queueText(MHD_Connection* connection, unsigned status, const QByteArray& text)
{
    return queueBytes(connection, status, text + '\n', "text/plain; charset=utf-8");
}

bool queueJson(MHD_Connection* connection, const QByteArray& json)
{
    return queueBytes(connection, MHD_HTTP_OK, json, "application/json");
}
