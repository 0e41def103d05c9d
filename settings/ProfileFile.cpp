#include "settings/ProfileFile.h"

#include "settings/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QByteArray kUtf8ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// Far beyond any settings file; a bigger one is not read into memory.
constexpr qint64 kMaxFileSize = qint64(64) << 20;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

}  // namespace

size_t ProfileNameHash::operator()(QStringView name) const noexcept
{
    // FNV-1a over the folded code units.
    size_t hash = 14695981039346656037ull;
    for (const QChar c : name) {
        hash = (hash ^ foldAscii(c.unicode())) * 1099511628211ull;
    }
    return hash;
}

bool ProfileNameEqual::operator()(QStringView a, QStringView b) const noexcept
{
    const auto same = [](QChar x, QChar y) { return foldAscii(x.unicode()) == foldAscii(y.unicode()); };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

ProfileFile::ProfileFile(QByteArray bytes)
{
    parse(bytes);
}

ProfileFile::LoadStatus ProfileFile::load(const QString& path)
{
    parse({});
    m_readProblem = ReadProblem::None;
    QFileInfo info(path);
    if (!info.exists()) {
        return LoadStatus::Missing;
    }
    const auto unreadable = [this](ReadProblem problem) {
        m_readProblem = problem;
        return LoadStatus::Unreadable;
    };
    // Only a regular file: a pipe or a device could block the read for ever.
    if (info.isDir()) {
        return unreadable(ReadProblem::Folder);
    }
    if (!info.isFile()) {
        return unreadable(ReadProblem::NotAFile);
    }
    if (info.size() > kMaxFileSize) {
        return unreadable(ReadProblem::TooLarge);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return unreadable(file.error() == QFileDevice::PermissionsError ? ReadProblem::NoPermission
                                                                        : ReadProblem::ReadFailed);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return unreadable(ReadProblem::ReadFailed);
    }
    parse(bytes);
    return LoadStatus::Loaded;
}

void ProfileFile::parse(const QByteArray& bytes)
{
    m_lines.clear();
    m_sections.clear();
    m_newLineEnd = "\n";
    const bool hasMark = bytes.startsWith(kUtf8ByteOrderMark);
    m_byteOrderMark = hasMark ? kUtf8ByteOrderMark : QByteArray();
    const QByteArrayView content = QByteArrayView(bytes).sliced(m_byteOrderMark.size());
    m_encoding = detectEncoding(content);

    LineDecoder decoder(m_encoding);
    bool lineEndSeen = false;
    Section* current = nullptr;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = start;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r') {
            ++end;
        }
        qsizetype next = end;
        if (next < content.size()) {
            next += (content[next] == '\r' && next + 1 < content.size() && content[next + 1] == '\n') ? 2 : 1;
        }
        const QByteArray lineEnd = content.sliced(end, next - end).toByteArray();
        if (!lineEndSeen && !lineEnd.isEmpty()) {
            m_newLineEnd = lineEnd;
            lineEndSeen = true;
        }
        m_lines.push_back({content.sliced(start, end - start).toByteArray(), lineEnd});
        indexLine(decoder.decode(m_lines.back().text), std::prev(m_lines.end()), current);
        start = next;
    }
}

void ProfileFile::indexLine(const QString& decoded, LineIt line, Section*& current)
{
    const QStringView text = trimBlanks(decoded);
    if (text.startsWith(u'[')) {
        const qsizetype close = text.lastIndexOf(u']');
        if (close > 0) {
            // Of sections with the same name only the first counts.
            const auto [it, inserted] =
                m_sections.try_emplace(trimBlanks(text.sliced(1, close - 1)).toString(), Section{line, {}});
            current = inserted ? &it->second : nullptr;
            return;
        }
    }
    if (current == nullptr) {
        return;
    }
    current->last = line;
    const qsizetype equals = text.indexOf(u'=');
    if (equals >= 0) {
        current->keys.try_emplace(trimBlanks(text.first(equals)).toString(), line);
    }
}

std::optional<QString> ProfileFile::value(const QString& section, const QString& key) const
{
    const auto found = m_sections.find(trimBlanks(section));
    if (found == m_sections.end()) {
        return std::nullopt;
    }
    const auto keyLine = found->second.keys.find(trimBlanks(key));
    if (keyLine == found->second.keys.end()) {
        return std::nullopt;
    }
    const QString decoded = decodeText(keyLine->second->text, m_encoding);
    return trimBlanks(QStringView(decoded).sliced(decoded.indexOf(u'=') + 1)).toString();
}

bool ProfileFile::setValue(const QString& section, const QString& key, const QString& text)
{
    const std::optional<QByteArray> line = encodeText(key + u'=' + text, m_encoding);
    if (!line) {
        return false;
    }
    const QStringView sectionName = trimBlanks(section);
    const QStringView keyName = trimBlanks(key);
    auto found = m_sections.find(sectionName);
    if (found == m_sections.end()) {
        const std::optional<QByteArray> header = encodeText(u'[' + section + u']', m_encoding);
        if (!header) {
            return false;
        }
        LineIt headerLine = m_lines.empty() ? m_lines.insert(m_lines.end(), {*header, m_newLineEnd})
                                            : insertLineAfter(std::prev(m_lines.end()), *header);
        found = m_sections.try_emplace(sectionName.toString(), Section{headerLine, {}}).first;
    }
    Section& target = found->second;
    const auto keyLine = target.keys.find(keyName);
    if (keyLine != target.keys.end()) {
        if (wouldBeReadAsUtf8(keyLine->second, *line)) {
            return false;
        }
        keyLine->second->text = *line;
        return true;
    }
    target.last = insertLineAfter(target.last, *line);
    target.keys.try_emplace(keyName.toString(), target.last);
    return true;
}

bool ProfileFile::wouldBeReadAsUtf8(LineIt line, const QByteArray& replacement) const
{
    if (m_encoding != FileEncoding::ShiftJis || detectEncoding(line->text) == FileEncoding::Utf8
        || detectEncoding(replacement) == FileEncoding::ShiftJis) {
        return false;
    }
    QByteArray content;
    for (auto it = m_lines.begin(); it != m_lines.end(); ++it) {
        content += it == line ? replacement : it->text;
        content += it->end;
    }
    return detectEncoding(content) == FileEncoding::Utf8
           && decodeText(content, FileEncoding::Utf8) != decodeText(content, FileEncoding::ShiftJis);
}

ProfileFile::LineIt ProfileFile::insertLineAfter(LineIt line, QByteArray text)
{
    if (line->end.isEmpty()) {
        line->end = m_newLineEnd;
    }
    return m_lines.insert(std::next(line), {std::move(text), m_newLineEnd});
}

QByteArray ProfileFile::bytes() const
{
    qsizetype size = m_byteOrderMark.size();
    for (const Line& line : m_lines) {
        size += line.text.size() + line.end.size();
    }
    QByteArray all;
    all.reserve(size);
    all += m_byteOrderMark;
    for (const Line& line : m_lines) {
        all += line.text;
        all += line.end;
    }
    return all;
}

bool ProfileFile::save(const QString& path) const
{
    return writeFileAtomically(path, bytes());
}
