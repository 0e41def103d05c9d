// Fuzzes the profile reader and writer in memory: a file parsed and written
// back unchanged is the same bytes; a value written reads back as written, in
// the file and after a fresh parse of its bytes, and no other key changes.

#include "settings/IniAccess.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileValue.h"
#include "settings/StoredKeys.h"
#include "tests/fuzz/FuzzRequire.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <utility>

namespace {

// Every key the program stores, with the first and last destination, and a
// section and key of no one's.
QList<std::pair<QString, QString>> probedKeys()
{
    QList<std::pair<QString, QString>> keys;
    for (const StoredKey& key : kStoredKeys) {
        const QString name = QString::fromLatin1(key.name);
        const QString section = QString::fromLatin1(key.section);
        if (section == QStringLiteral("TRG")) {
            keys.append({QStringLiteral("0TRG"), name});
            keys.append({QStringLiteral("3TRG"), name});
        } else {
            keys.append({section, name});
        }
    }
    keys.append({QStringLiteral("Foreign"), QStringLiteral("k")});
    return keys;
}

const QList<std::pair<QString, QString>>& probes()
{
    static const QList<std::pair<QString, QString>> keys = probedKeys();
    return keys;
}

QList<std::optional<QString>> probedValues(const ProfileFile& file)
{
    QList<std::optional<QString>> values;
    for (const auto& [section, key] : probes()) {
        values.append(file.value(section, key));
    }
    return values;
}

// Text from bytes of the file: UTF-8 (invalid bytes become U+FFFD) or raw
// UTF-16 code units, lone surrogates included.
QString textFrom(QByteArrayView bytes, bool asUtf16)
{
    if (!asUtf16) {
        return QString::fromUtf8(bytes);
    }
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        text += QChar(char16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
    }
    return text;
}

// Writes `value` under the probe `which`, as a plain value or as a shifted
// password, and checks what the reader makes of it.
void checkWrite(const QByteArray& bytes, qsizetype which, const QString& value, bool asPassword)
{
    ProfileFile file(bytes);
    const auto& [section, key] = probes()[which];
    const QList<std::optional<QString>> before = probedValues(file);
    const bool written = asPassword ? file.setValue(section, key, toStoredPassword(value))
                                    : WriteIniValue(file, section, key, value);
    if (!written) {
        require(file.bytes() == bytes);
        return;
    }
    const ProfileFile reparsed(file.bytes());
    require(probedValues(reparsed) == probedValues(file));
    QList<std::optional<QString>> expected = before;
    expected[which] = file.value(section, key);
    require(probedValues(file) == expected);

    // Within the reader's 199 characters a value comes back whole.
    if (value.isEmpty() || value.size() > kProfileValueMaxLength) {
        return;
    }
    if (asPassword) {
        require(fromStoredPassword(*reparsed.value(section, key)) == value);
    } else {
        QString read;
        require(GetIniValue(reparsed, section, key, read) && read == value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    // The choices come from the end, so a seed file stays a file.
    const auto which = input.ConsumeIntegralInRange<qsizetype>(0, probes().size() - 1);
    const bool asPassword = input.ConsumeBool();
    const bool asUtf16 = input.ConsumeBool();
    const auto valueStart = input.ConsumeIntegral<uint16_t>();
    const auto valueLength = input.ConsumeIntegralInRange<uint16_t>(0, 512);
    const std::vector<uint8_t> rest = input.ConsumeRemainingBytes<uint8_t>();
    const QByteArray bytes(reinterpret_cast<const char*>(rest.data()), qsizetype(rest.size()));

    require(ProfileFile(bytes).bytes() == bytes);

    const qsizetype start = bytes.isEmpty() ? 0 : valueStart % bytes.size();
    const QString value = textFrom(QByteArrayView(bytes).sliced(start, std::min<qsizetype>(valueLength, bytes.size() - start)),
                                   asUtf16);
    checkWrite(bytes, which, value, asPassword);
    return 0;
}
