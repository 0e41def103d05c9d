#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The text encoding of a settings file: UTF-8 here, or Shift-JIS (code page
// 932) for a file brought from a Japanese Windows machine.
enum class FileEncoding { Utf8, ShiftJis };

// UTF-8 when every byte sequence is valid UTF-8, Shift-JIS otherwise.
FileEncoding detectEncoding(QByteArrayView bytes);

// Bytes that are not text of the encoding become U+FFFD.
QString decodeText(QByteArrayView bytes, FileEncoding encoding);
// Nothing when the bytes are not valid text of the encoding.
std::optional<QString> decodeTextExactly(QByteArrayView bytes, FileEncoding encoding);

// The bytes of the text, or nothing when a character has no form in the encoding.
std::optional<QByteArray> encodeText(const QString& text, FileEncoding encoding);

// Decodes the many lines of one file with one converter.
class LineDecoder {
public:
    explicit LineDecoder(FileEncoding encoding);
    ~LineDecoder();
    LineDecoder(const LineDecoder&) = delete;
    LineDecoder& operator=(const LineDecoder&) = delete;

    QString decode(QByteArrayView line, bool* invalid = nullptr);

private:
    FileEncoding m_encoding;
    void* m_converter = nullptr;  // iconv_t for code page 932
};
