#pragma once

#include "settings/FileEncoding.h"
#include "settings/ReadProblem.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <list>
#include <unordered_map>
#include <optional>

// Section and key names hash and compare after folding ASCII letters to lower
// case; a name is looked up as it is given, without a folded copy.
struct ProfileNameHash {
    using is_transparent = void;
    size_t operator()(QStringView name) const noexcept;
};
struct ProfileNameEqual {
    using is_transparent = void;
    bool operator()(QStringView a, QStringView b) const noexcept;
};
template <typename Value>
using ProfileNameMap = std::unordered_map<QString, Value, ProfileNameHash, ProfileNameEqual>;

// A profile (INI) file held in memory with the semantics of the Windows
// profile functions: names match without regard to ASCII case, the first
// section and the first key of a name win, and every line that is not
// written stays byte for byte as it was. One parse per file, linear in its size.
class ProfileFile {
public:
    enum class LoadStatus { Loaded, Missing, Unreadable };

    ProfileFile() = default;
    explicit ProfileFile(QByteArray bytes);

    // Replaces the content with the file's; a missing file leaves it empty.
    LoadStatus load(const QString& path);
    // Why the file was Unreadable; None otherwise.
    ReadProblem readProblem() const { return m_readProblem; }

    FileEncoding encoding() const { return m_encoding; }

    // The text after the first "=" of the key's line, trimmed of spaces and
    // TABs; nothing when the section or key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Replaces the key's line in place, or appends the key to the end of its
    // section, or the section to the end of the file. False, with nothing
    // changed, when the text has no form in the file's encoding or the file
    // would be read back in another one.
    bool setValue(const QString& section, const QString& key, const QString& text);

    QByteArray bytes() const;

    // Writes the whole file through a temporary file renamed over the old one,
    // readable and writable by the user alone; false leaves the old file whole.
    bool save(const QString& path) const;

private:
    struct Line {
        QByteArray text;  // without its line end
        QByteArray end;   // "\r\n", "\n", "\r" or "" for a last line without one
    };
    using LineIt = std::list<Line>::iterator;
    struct Section {
        LineIt last;  // the line after which a new key goes
        ProfileNameMap<LineIt> keys;
    };

    void parse(const QByteArray& bytes);
    void indexLine(const QString& decoded, LineIt line, Section*& current);
    LineIt insertLineAfter(LineIt line, QByteArray text);
    // A Shift-JIS file is told from UTF-8 by its bytes that are not UTF-8: true when
    // replacing `line` would take the last of them away and the next load would
    // read the rest as UTF-8, as other text.
    bool wouldBeReadAsUtf8(LineIt line, const QByteArray& replacement) const;

    ReadProblem m_readProblem = ReadProblem::None;
    FileEncoding m_encoding = FileEncoding::Utf8;
    QByteArray m_byteOrderMark;
    QByteArray m_newLineEnd = "\n";  // the file's own first line end, for added lines
    std::list<Line> m_lines;
    ProfileNameMap<Section> m_sections;  // node-based: pointers stay valid
};

// Trims spaces and TABs (only those) at both ends.
QStringView trimBlanks(QStringView text);
