// Fuzzes a load, a save and a reload of the settings, in memory: the settings
// read back are those first read, a save after a complete one changes nothing, and every
// line the program does not own stays byte for byte.

#include "settings/FileEncoding.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "settings/StoredKeys.h"
#include "tests/fuzz/FuzzRequire.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace {

bool sameSettings(SettingsRecord& a, SettingsRecord& b)
{
    for (const StoredKey& key : kStoredKeys) {
        for (int n = 0; n < (key.section == "TRG" ? int(a.TRG.size()) : 1); ++n) {
            const FieldRef left = key.field(a, n);
            const FieldRef right = key.field(b, n);
            const bool same =
                std::visit([&](auto* value) { return *value == *std::get<decltype(value)>(right); }, left);
            if (!same) {
                return false;
            }
        }
    }
    return true;
}

struct Line {
    QByteArray text;
    QByteArray end;
};

std::vector<Line> splitLines(const QByteArray& bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype cr = bytes.indexOf('\r', start);
        qsizetype end = newline < 0 ? cr : cr < 0 ? newline : std::min(newline, cr);
        if (end < 0) {
            lines.push_back({bytes.mid(start), {}});
            break;
        }
        const qsizetype endSize = bytes.mid(end, 2) == "\r\n" ? 2 : 1;
        lines.push_back({bytes.mid(start, end - start), bytes.mid(end, endSize)});
        start = end + endSize;
    }
    return lines;
}

// "COM/TIMER", "0TRG/ARC" ...: what the program may write, folded to lower case.
QSet<QString> ownedKeys()
{
    QSet<QString> owned;
    for (const StoredKey& key : kStoredKeys) {
        const QString name = QString::fromLatin1(key.name).toLower();
        if (key.section == "TRG") {
            for (int n = 0; n < 4; ++n) {
                owned.insert(QStringLiteral("%1trg/%2").arg(n).arg(name));
            }
        } else {
            owned.insert(QString::fromLatin1(key.section).toLower() + u'/' + name);
        }
    }
    return owned;
}

// Lines the writer may replace: a key of the program under one of its sections,
// headers and keys found as the Windows profile functions find them. Generous:
// a key of a repeated section or a repeated key counts too, and names fold
// beyond ASCII.
std::vector<bool> possiblyOwned(const std::vector<Line>& lines, FileEncoding encoding)
{
    static const QSet<QString> owned = ownedKeys();
    std::vector<bool> result;
    QString section;
    for (const Line& line : lines) {
        const QString decoded = decodeText(line.text, encoding);
        const QStringView text = trimBlanks(decoded);
        const qsizetype close = text.lastIndexOf(u']');
        if (text.startsWith(u'[') && close > 0) {
            section = trimBlanks(text.sliced(1, close - 1)).toString().toLower();
        }
        const qsizetype equals = text.indexOf(u'=');
        result.push_back(equals >= 0 &&
                         owned.contains(section + u'/' + trimBlanks(text.first(equals)).toString().toLower()));
    }
    return result;
}

// The lines the program does not own come out in order, byte for byte; only
// a last line without an end may gain one.
void checkForeignLinesKept(QByteArray before, QByteArray after)
{
    const QByteArray mark = QByteArrayLiteral("\xEF\xBB\xBF");
    if (before.startsWith(mark)) {
        require(after.startsWith(mark));
        before.remove(0, mark.size());
        after.remove(0, mark.size());
    }
    const std::vector<Line> original = splitLines(before);
    const std::vector<Line> written = splitLines(after);
    const std::vector<bool> owned = possiblyOwned(original, detectEncoding(before));
    size_t next = 0;
    for (size_t i = 0; i < original.size(); ++i) {
        if (owned[i]) {
            continue;
        }
        const bool last = i + 1 == original.size();
        while (next < written.size() && !(written[next].text == original[i].text &&
                                          (written[next].end == original[i].end || (last && original[i].end.isEmpty())))) {
            ++next;
        }
        require(next < written.size());
        ++next;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ProfileFile file(bytes);
    SettingsRecord first;
    if (!loadSettingsFrom(file, first)) {
        return 0;  // a file the program refuses at start-up
    }
    // A key that cannot be written keeps its line; the save is then reported failed.
    const bool complete = saveSettingsInto(file, first);
    const QByteArray once = file.bytes();

    ProfileFile reloaded(once);
    SettingsRecord second;
    require(loadSettingsFrom(reloaded, second));
    require(sameSettings(first, second));
    saveSettingsInto(reloaded, second);
    // After a failed save, the next may write a key the first could not (a Shift-JIS
    // file still told apart by a line written later); after a complete one, nothing changes.
    require(!complete || reloaded.bytes() == once);

    checkForeignLinesKept(bytes, once);
    return 0;
}
