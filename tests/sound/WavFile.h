#pragma once

#include <QDataStream>
#include <QFile>
#include <QString>

// Writes a PCM WAVE file of silence holding the given number of sample frames.
inline bool writeWav(const QString& path, int frames, quint32 rate = 22050, quint16 channels = 1, quint16 bits = 16) {
    const quint16 blockAlign = channels * bits / 8;
    const quint32 dataSize = quint32(frames) * blockAlign;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataSize);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << channels << rate << quint32(rate * blockAlign) << blockAlign << bits;
    out.writeRawData("data", 4);
    out << dataSize;
    out.writeRawData(QByteArray(qsizetype(dataSize), '\0').constData(), int(dataSize));
    return out.status() == QDataStream::Ok;
}
