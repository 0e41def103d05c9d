#include "sound/WavDuration.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

struct ChunkHeader {
    QByteArray id;
    qint64 size = 0;
};

std::optional<ChunkHeader> readChunkHeader(QFile& file) {
    const QByteArray raw = file.read(8);
    if (raw.size() != 8) return std::nullopt;
    return ChunkHeader{raw.left(4), qFromLittleEndian<quint32>(raw.constData() + 4)};
}

}  // namespace

std::optional<std::chrono::milliseconds> wavDuration(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray riff = file.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return std::nullopt;

    quint32 byteRate = 0;
    while (const auto chunk = readChunkHeader(file)) {
        const qint64 bodyStart = file.pos();
        if (chunk->id == "fmt ") {
            const QByteArray format = file.read(12);
            if (format.size() != 12) return std::nullopt;
            byteRate = qFromLittleEndian<quint32>(format.constData() + 8);
        } else if (chunk->id == "data") {
            if (byteRate == 0) return std::nullopt;
            // A header written by a recorder that never finished may claim more
            // than the file holds; only what is there can be played.
            const qint64 bytes = std::min(chunk->size, file.size() - bodyStart);
            return std::chrono::milliseconds(bytes * 1000 / byteRate);
        }
        // Chunk bodies are padded to an even length.
        if (!file.seek(bodyStart + chunk->size + (chunk->size & 1))) return std::nullopt;
    }
    return std::nullopt;
}
