#include "settings/FileEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

// Code page 932 as Windows has it (ICU's windows-31j), not plain Shift-JIS:
// files from the original platform hold its NEC and IBM extensions.
constexpr const char* kShiftJisName = "windows-31j";

QStringDecoder decoderFor(FileEncoding encoding)
{
    return encoding == FileEncoding::Utf8 ? QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
                                          : QStringDecoder(kShiftJisName, QStringDecoder::Flag::Stateless);
}

QStringEncoder encoderFor(FileEncoding encoding)
{
    return encoding == FileEncoding::Utf8 ? QStringEncoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless)
                                          : QStringEncoder(kShiftJisName, QStringEncoder::Flag::Stateless);
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return quint8(byte) < 0x80; });
}

}  // namespace

FileEncoding detectEncoding(QByteArrayView bytes)
{
    return decodeTextExactly(bytes, FileEncoding::Utf8) ? FileEncoding::Utf8 : FileEncoding::ShiftJis;
}

QString decodeText(QByteArrayView bytes, FileEncoding encoding)
{
    return LineDecoder(encoding).decode(bytes);
}

LineDecoder::LineDecoder(FileEncoding encoding) : m_decoder(decoderFor(encoding)) {}

QString LineDecoder::decode(QByteArrayView line)
{
    // Both encodings hold ASCII as it is; most lines are ASCII.
    if (isAscii(line)) {
        return QString::fromLatin1(line);
    }
    m_decoder.resetState();
    return m_decoder.decode(line);
}

std::optional<QString> decodeTextExactly(QByteArrayView bytes, FileEncoding encoding)
{
    QStringDecoder decoder = decoderFor(encoding);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

std::optional<QByteArray> encodeText(const QString& text, FileEncoding encoding)
{
    QStringEncoder encoder = encoderFor(encoding);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return std::nullopt;
    }
    return bytes;
}
