#include "settings/FileEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// Code page 932 as Windows has it (ICU's windows-31j), not plain Shift-JIS:
// files from the original platform hold its NEC and IBM extensions.
constexpr const char* kShiftJisName = "windows-31j";

QStringDecoder decoderFor(FileEncoding encoding)
{
    return encoding == FileEncoding::Utf8 ? QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
                                          : QStringDecoder(kShiftJisName, QStringDecoder::Flag::Stateless);
}

}  // namespace

FileEncoding detectEncoding(QByteArrayView bytes)
{
    return decodeTextExactly(bytes, FileEncoding::Utf8) ? FileEncoding::Utf8 : FileEncoding::ShiftJis;
}

QString decodeText(QByteArrayView bytes, FileEncoding encoding)
{
    if (encoding == FileEncoding::Utf8) {
        return QString::fromUtf8(bytes);
    }
    return decoderFor(encoding).decode(bytes);
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
    QStringEncoder encoder = encoding == FileEncoding::Utf8
        ? QStringEncoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless)
        : QStringEncoder(kShiftJisName, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return std::nullopt;
    }
    return bytes;
}
