#include "settings/IniAccess.h"

#include "settings/ProfileValue.h"

#include <cmath>
#include <optional>

namespace {

// The value as the platform's reader returns it, cut to the buffer.
QString platformValue(const ProfileFile& file, const QString& section, const QString& key, qsizetype maxLength)
{
    const std::optional<QString> stored = file.value(section, key);
    return stored ? cutProfileValue(unquoteProfileValue(*stored), maxLength) : QString();
}

// A number as the format's readers take one: decimal, a fraction
// rounded to the nearest with ties to even.
std::optional<int16_t> toInt16(const QString& text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(number);
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return int16_t(rounded);
}

// The text of a key as GetIniValue reads it; nothing for an absent or empty key.
std::optional<QString> readText(const ProfileFile& file, const QString& section, const QString& key,
                                qsizetype maxLength)
{
    const std::optional<QString> stored = file.value(section, key);
    if (!stored || stored->isEmpty()) {
        return std::nullopt;
    }
    const QString value = cutProfileValue(fromStoredValue(*stored), maxLength);
    if (value.isEmpty()) {
        return std::nullopt;
    }
    // An escaped value keeps its blanks: they were stored on purpose.
    return isEscapedProfileValue(*stored) ? value : trimBlanks(value).toString();
}

}  // namespace

int GetPlatformId()
{
    return 2;
}

int ReadIniString(const QString& section, const QString& key, const QString& defaultText, QString& buffer,
                  int size, const QString& fileName)
{
    if (size <= 0) {
        buffer.clear();
        return 0;
    }
    ProfileFile file;
    file.load(fileName);
    const QString value = platformValue(file, section, key, size - 1);
    buffer = value.isEmpty() ? cutProfileValue(defaultText, size - 1) : value;
    return int(buffer.size());
}

bool WriteIniString(const QString& section, const QString& key, const QString& text, const QString& fileName)
{
    ProfileFile file;
    if (file.load(fileName) == ProfileFile::LoadStatus::Unreadable) {
        return false;
    }
    return file.setValue(section, key, text) && file.save(fileName);
}

bool GetIniValue(const ProfileFile& file, const QString& section, const QString& key, QString& target,
                 qsizetype maxLength)
{
    if (const std::optional<QString> text = readText(file, section, key, maxLength)) {
        target = *text;
    }
    return true;
}

bool GetIniValue(const ProfileFile& file, const QString& section, const QString& key, int16_t& target)
{
    const std::optional<QString> text = readText(file, section, key, kProfileValueMaxLength);
    if (!text) {
        return true;
    }
    const std::optional<int16_t> number = toInt16(*text);
    if (!number) {
        return false;
    }
    target = *number;
    return true;
}

bool WriteIniValue(ProfileFile& file, const QString& section, const QString& key, const QString& value)
{
    return file.setValue(section, key, toStoredValue(value));
}

bool WriteIniValue(ProfileFile& file, const QString& section, const QString& key, int16_t value)
{
    return file.setValue(section, key, QString::number(value));
}
