#include "settings/PasswordShift.h"

#include <QList>

namespace {

std::optional<char32_t> shiftCodePoint(char32_t code, int delta)
{
    const qint64 shifted = qint64(code) + delta;
    const auto isCharacter = [](qint64 c) {
        return c >= 0 && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    };
    if (!isCharacter(code) || !isCharacter(shifted)) {
        return std::nullopt;
    }
    return char32_t(shifted);
}

// Not QString::toUcs4 or fromUcs4: they drop a U+FEFF at the start as a byte order
// mark, and a password may hold one. A lone surrogate comes out as itself.
QList<char32_t> codePoints(const QString& text)
{
    QList<char32_t> codes;
    codes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codes += QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else {
            codes += text[i].unicode();
        }
    }
    return codes;
}

std::optional<QString> shiftUnicode(const QString& text, int delta)
{
    QString result;
    for (const char32_t code : codePoints(text)) {
        const std::optional<char32_t> shifted = shiftCodePoint(code, delta);
        if (!shifted) {
            return std::nullopt;
        }
        result += QChar::fromUcs4(*shifted);
    }
    return result;
}

// The code of one character in code page 932: its byte, or its two bytes as one value.
std::optional<int> shiftJisCode(const QString& character)
{
    const std::optional<QByteArray> bytes = encodeText(character, FileEncoding::ShiftJis);
    if (!bytes || bytes->isEmpty() || bytes->size() > 2) {
        return std::nullopt;
    }
    int code = 0;
    for (const char byte : *bytes) {
        code = code << 8 | quint8(byte);
    }
    return code;
}

std::optional<QString> shiftJisCharacter(int code)
{
    if (code < 0 || code > 0xFFFF) {
        return std::nullopt;
    }
    QByteArray bytes;
    if (code > 0xFF) {
        bytes += char(code >> 8);
    }
    bytes += char(code & 0xFF);
    // A code that decodes only with a fallback, or to a character whose code
    // differs, has no character of its own.
    const std::optional<QString> character = decodeTextExactly(bytes, FileEncoding::ShiftJis);
    if (!character || shiftJisCode(*character) != code) {
        return std::nullopt;
    }
    return character;
}

std::optional<QString> shiftShiftJis(const QString& text, int delta)
{
    QString result;
    for (const char32_t codePoint : codePoints(text)) {
        const std::optional<int> code = shiftJisCode(QStringView(QChar::fromUcs4(codePoint)).toString());
        const std::optional<QString> shifted = code ? shiftJisCharacter(*code + delta) : std::nullopt;
        if (!shifted) {
            return std::nullopt;
        }
        result += *shifted;
    }
    return result;
}

std::optional<QString> shift(const QString& text, int delta, FileEncoding encoding)
{
    return encoding == FileEncoding::Utf8 ? shiftUnicode(text, delta) : shiftShiftJis(text, delta);
}

}  // namespace

std::optional<QString> shiftPassword(const QString& clear, FileEncoding encoding)
{
    return shift(clear, -1, encoding);
}

std::optional<QString> unshiftPassword(const QString& shifted, FileEncoding encoding)
{
    return shift(shifted, +1, encoding);
}
