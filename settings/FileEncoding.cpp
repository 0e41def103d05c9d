#include "settings/FileEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// glibc's CP932 is Windows code page 932 itself: ASCII as it is, the NEC and
// IBM extensions, "～" as U+FF5E. (ICU's windows-31j swaps control characters.)
constexpr const char* kCodePage932 = "CP932";

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return quint8(byte) < 0x80; });
}

QString decodeCodePage932(iconv_t converter, QByteArrayView bytes, bool* invalid)
{
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    // Each byte gives at most three bytes of UTF-8, U+FFFD included.
    QByteArray utf8(bytes.size() * 3, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char* out = utf8.data();
    size_t outLeft = size_t(utf8.size());
    while (inLeft > 0 && ::iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        if (errno == E2BIG || outLeft < 3) {
            break;  // cannot happen with the room above; never write past it
        }
        // A byte that starts no character: mark it and go on after it.
        *invalid = true;
        out = std::copy_n("\xEF\xBF\xBD", 3, out);
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    utf8.truncate(out - utf8.data());
    return QString::fromUtf8(utf8);
}

// Nothing for a text that is not whole UTF-16 (a lone surrogate).
std::optional<QByteArray> encodeUtf8(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> encodeCodePage932(const QString& text)
{
    // Not text.toUtf8(): it makes a lone surrogate "?", which code page 932 would take.
    std::optional<QByteArray> utf8 = encodeUtf8(text);
    if (!utf8 || isAscii(*utf8)) {
        return utf8;  // code page 932 holds ASCII as it is
    }
    const iconv_t converter = ::iconv_open(kCodePage932, "UTF-8");
    if (converter == kNoConverter) {
        return std::nullopt;
    }
    // No character takes more bytes in code page 932 than in UTF-8.
    QByteArray bytes(utf8->size(), Qt::Uninitialized);
    char* in = utf8->data();
    size_t inLeft = size_t(utf8->size());
    char* out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    const bool converted = ::iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1)
                           && ::iconv(converter, nullptr, nullptr, &out, &outLeft) != size_t(-1);
    ::iconv_close(converter);
    if (!converted) {
        return std::nullopt;
    }
    bytes.truncate(out - bytes.data());
    // Some characters are written as another that reads back ("¢" as "￠"):
    // a text the file would not give back is refused like one it cannot hold.
    if (decodeTextExactly(bytes, FileEncoding::ShiftJis) != text) {
        return std::nullopt;
    }
    return bytes;
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

std::optional<QString> decodeTextExactly(QByteArrayView bytes, FileEncoding encoding)
{
    bool invalid = false;
    QString text;
    if (encoding == FileEncoding::Utf8) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder.decode(bytes);
        invalid = decoder.hasError();
    } else {
        text = LineDecoder(encoding).decode(bytes, &invalid);
    }
    if (invalid) {
        return std::nullopt;
    }
    return text;
}

std::optional<QByteArray> encodeText(const QString& text, FileEncoding encoding)
{
    return encoding == FileEncoding::ShiftJis ? encodeCodePage932(text) : encodeUtf8(text);
}

LineDecoder::LineDecoder(FileEncoding encoding) : m_encoding(encoding) {}

LineDecoder::~LineDecoder()
{
    if (m_converter != nullptr && m_converter != kNoConverter) {
        ::iconv_close(static_cast<iconv_t>(m_converter));
    }
}

QString LineDecoder::decode(QByteArrayView line, bool* invalid)
{
    bool ignored = false;
    bool* marked = invalid != nullptr ? invalid : &ignored;
    // Both encodings hold ASCII as it is; most lines are ASCII.
    if (isAscii(line)) {
        return QString::fromLatin1(line);
    }
    if (m_encoding == FileEncoding::Utf8) {
        return QString::fromUtf8(line);
    }
    // Opened for the first line that needs it: opening costs more than most files.
    if (m_converter == nullptr) {
        m_converter = ::iconv_open("UTF-8", kCodePage932);
    }
    if (m_converter == kNoConverter) {
        *marked = true;
        return QString(line.size(), QChar::ReplacementCharacter);
    }
    return decodeCodePage932(static_cast<iconv_t>(m_converter), line, marked);
}
