#include "web/MediaFiles.h"

#include "web/WebResponses.h"
#include "web/WebServer.h"

#include <QFile>

#include <microhttpd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<uint64_t> number(QByteArrayView text)
{
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok);
    return ok && !text.trimmed().startsWith('-') && !text.trimmed().startsWith('+') ? std::optional<uint64_t>(value)
                                                                                    : std::nullopt;
}

}  // namespace

ByteRange byteRange(QByteArrayView header, uint64_t size)
{
    const QByteArrayView asked = header.trimmed();
    const qsizetype dash = asked.indexOf('-');
    // Anything else than one range of bytes is served as the whole file, as HTTP allows.
    if (!asked.startsWith("bytes=") || asked.contains(',') || dash < 0)
        return {};
    const QByteArrayView from = asked.sliced(6, dash - 6);
    const QByteArrayView to = asked.sliced(dash + 1);
    if (from.trimmed().isEmpty()) {
        const std::optional<uint64_t> suffix = number(to);
        if (!suffix)
            return {};
        if (*suffix == 0 || size == 0)
            return {.kind = ByteRange::Kind::Unsatisfiable};
        const uint64_t length = std::min(*suffix, size);
        return {.kind = ByteRange::Kind::Part, .first = size - length, .length = length};
    }
    const std::optional<uint64_t> first = number(from);
    const std::optional<uint64_t> last = to.trimmed().isEmpty() ? std::optional<uint64_t>(UINT64_MAX) : number(to);
    if (!first || !last || *last < *first)
        return {};
    if (*first >= size)
        return {.kind = ByteRange::Kind::Unsatisfiable};
    return {.kind = ByteRange::Kind::Part, .first = *first, .length = std::min(*last, size - 1) - *first + 1};
}

bool queueMediaFile(const WebRequest& request, const QString& path, const char* contentType)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return queueText(request.connection, MHD_HTTP_NOT_FOUND, "No such file.");
    }
    const uint64_t size = uint64_t(status.st_size);
    const ByteRange range = byteRange(request.header(MHD_HTTP_HEADER_RANGE), size);
    if (range.kind == ByteRange::Kind::Unsatisfiable) {
        ::close(fd);
        MHD_Response* response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_RANGE, ("bytes */" + QByteArray::number(size)).constData());
        return queueResponse(request.connection, MHD_HTTP_RANGE_NOT_SATISFIABLE, response);
    }
    const bool part = range.kind == ByteRange::Kind::Part;
    // The response owns the descriptor from here on.
    MHD_Response* response =
        MHD_create_response_from_fd_at_offset64(part ? range.length : size, fd, part ? range.first : 0);
    if (response == nullptr) {
        ::close(fd);
        return false;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
    MHD_add_response_header(response, MHD_HTTP_HEADER_ACCEPT_RANGES, "bytes");
    if (part) {
        const QByteArray value = "bytes " + QByteArray::number(range.first) + '-' +
                                 QByteArray::number(range.first + range.length - 1) + '/' + QByteArray::number(size);
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_RANGE, value.constData());
    }
    return queueResponse(request.connection, part ? MHD_HTTP_PARTIAL_CONTENT : MHD_HTTP_OK, response);
}
