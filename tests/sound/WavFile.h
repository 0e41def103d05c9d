#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// Writes a PCM WAVE file of silence holding the given number of sample frames.
inline bool writeWav(const QString& path, int frames, quint32 rate = 22050, quint16 channels = 1,
                     quint16 bits = 16) {
    const quint16 blockAlign = channels * bits / 8;
    const quint32 dataSize = quint32(frames) * blockAlign;
    QByteArray bytes;
    auto put32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); bytes.append(b, 4); };
    auto put16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); bytes.append(b, 2); };
    bytes.append("RIFF");
    put32(36 + dataSize);
    bytes.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(channels);
    put32(rate);
    put32(rate * blockAlign);
    put16(blockAlign);
    put16(bits);
    bytes.append("data");
    put32(dataSize);
    bytes.append(QByteArray(dataSize, '\0'));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
