#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

struct WebRequest;

// Which bytes of a file a Range header asks for: one range of bytes, or the
// whole file when there is none or it asks for several, or none of it.
struct ByteRange {
    enum class Kind { Whole, Part, Unsatisfiable };
    Kind kind = Kind::Whole;
    uint64_t first = 0;
    uint64_t length = 0;
};
ByteRange byteRange(QByteArrayView header, uint64_t size);

// The file at `path` (a regular file, not through a symbolic link) with the
// range the request asks for; 404 when there is none.
bool queueMediaFile(const WebRequest& request, const QString& path, const char* contentType);
