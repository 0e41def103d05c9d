#include "settings/Settings.h"

#include "settings/AppPaths.h"
#include "settings/CameraUrlPassword.h"
#include "settings/CommonHelpers.h"
#include "settings/IniAccess.h"
#include "settings/PasswordShift.h"
#include "settings/PrivateFiles.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileValue.h"
#include "settings/StoredKeys.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

SettingsRecord Settings;

namespace {

QString settingsPath()
{
    return appFilePath(QStringLiteral("houndly.ini"));
}

QString triggerSection(int index)
{
    return QString::number(index) + QStringLiteral("TRG");
}

QString trueOrFalse(const QString& text)
{
    return text == QStringLiteral("True") ? QStringLiteral("True") : QStringLiteral("False");
}

QString onOffText(bool on, const char* onText, const char* offText)
{
    return QString::fromLatin1(on ? onText : offText);
}

// The key's name as the profile functions take it, made once per key.
const QString& nameOf(const StoredKey& key)
{
    static const std::vector<QString> names = [] {
        std::vector<QString> all;
        for (const StoredKey& each : kStoredKeys) {
            all.push_back(QString::fromLatin1(each.name));
        }
        return all;
    }();
    return names[size_t(&key - std::begin(kStoredKeys))];
}

// The classic keys keep the classic reader's length; those of [EXT] take more.
qsizetype readLimit(const StoredKey& key)
{
    return key.section == "EXT" ? kLongProfileValueMaxLength : kProfileValueMaxLength;
}

// Whether the reader gives back less of the key than the file holds.
bool isCutOnReading(const ProfileFile& file, const QString& section, const StoredKey& key)
{
    const std::optional<QString> stored = file.value(section, nameOf(key));
    if (!stored) {
        return false;
    }
    const QString value = key.kind == KeyKind::Password ? fromStoredPassword(*stored) : fromStoredValue(*stored);
    return value.size() > readLimit(key);
}

// Reads a stored password into the field in clear; only a key present is unshifted.
bool readPassword(const ProfileFile& file, const QString& section, const QString& key, qsizetype maxLength,
                  QString& target)
{
    const std::optional<QString> stored = file.value(section, key);
    if (!stored || stored->isEmpty()) {
        return true;
    }
    const QString shifted = cutProfileValue(fromStoredPassword(*stored), maxLength);
    const std::optional<QString> clear = unshiftPassword(shifted, file.encoding());
    if (!clear) {
        return false;
    }
    target = *clear;
    return true;
}

// False when a password cannot be shifted: its old line is then kept.
bool writePassword(ProfileFile& file, const QString& section, const QString& key, const QString& clear)
{
    const std::optional<QString> shifted = shiftPassword(clear, file.encoding());
    return shifted && file.setValue(section, key, toStoredPassword(*shifted));
}

// An [EXT] number: absent, empty or no number gives the default; never a failure.
int64_t readOption(const ProfileFile& file, const QString& section, const StoredKey& key)
{
    QString text;
    GetIniValue(file, section, nameOf(key), text);
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    return ok ? key.range.clamp(number) : key.whenAbsent;
}

// An option's field is 16 or 32 bits wide.
int64_t optionIn(FieldRef field)
{
    const auto* small = std::get_if<int16_t*>(&field);
    return small != nullptr ? **small : *std::get<int32_t*>(field);
}

void setOption(FieldRef field, int64_t number)
{
    if (auto* small = std::get_if<int16_t*>(&field)) {
        **small = int16_t(number);
    } else {
        *std::get<int32_t*>(field) = int32_t(number);
    }
}

// Reads one key into its field and applies its rule; false when its text is
// no value of the field, as the classic load stops there.
bool readKey(const ProfileFile& file, const QString& section, const StoredKey& key, FieldRef field)
{
    const QString& name = nameOf(key);
    switch (key.kind) {
    case KeyKind::Number: {
        int16_t& number = *std::get<int16_t*>(field);
        if (!GetIniValue(file, section, name, number)) {
            return false;
        }
        number = int16_t(key.range.clamp(number));
        return true;
    }
    case KeyKind::OneZero: {
        int16_t number = 0;
        if (!GetIniValue(file, section, name, number)) {
            return false;
        }
        *std::get<bool*>(field) = number > 0;
        return true;
    }
    case KeyKind::OnlyOn: {
        QString text;
        GetIniValue(file, section, name, text);
        if (text == QStringLiteral("ON")) {
            *std::get<bool*>(field) = true;
        }
        return true;
    }
    case KeyKind::Option:
        setOption(field, readOption(file, section, key));
        return true;
    case KeyKind::OptionFlag: {
        QString text;
        GetIniValue(file, section, name, text);
        *std::get<bool*>(field) = text == QStringLiteral("True");
        return true;
    }
    case KeyKind::Camera: {
        // Absent or empty leaves the field as it is, like a text.
        QString stored;
        GetIniValue(file, section, name, stored, readLimit(key));
        if (!stored.isEmpty()) {
            *std::get<QString*>(field) = fromStoredCamera(stored, file.encoding());
        }
        return true;
    }
    case KeyKind::Password:
    case KeyKind::Text:
    case KeyKind::TrueFalse:
    case KeyKind::SoundName:
        break;
    }
    QString& text = *std::get<QString*>(field);
    if (key.kind == KeyKind::Password ? !readPassword(file, section, name, readLimit(key), text)
                                      : !GetIniValue(file, section, name, text, readLimit(key))) {
        return false;
    }
    if (key.kind == KeyKind::TrueFalse) {
        text = trueOrFalse(text);
    }
    // No file name holds a NUL: such a value names no sound.
    if (key.kind == KeyKind::SoundName && text.contains(QChar(0))) {
        text.clear();
    }
    if (key.trimmed) {
        text = trimBlanks(text).toString();
    }
    return true;
}

// Writes one field in its stored form; false when it has none in the file's
// encoding (the key then keeps its old line).
bool writeKey(ProfileFile& file, const QString& section, const StoredKey& key, FieldRef field)
{
    const QString& name = nameOf(key);
    switch (key.kind) {
    case KeyKind::Number:
        return WriteIniValue(file, section, name, *std::get<int16_t*>(field));
    case KeyKind::Option:
        return WriteIniValue(file, section, name, QString::number(optionIn(field)));
    case KeyKind::OneZero:
        return WriteIniValue(file, section, name, onOffText(*std::get<bool*>(field), "1", "0"));
    case KeyKind::OnlyOn:
        // On is never written: only an edit of the file turns it on, and its "ON" stays.
        return *std::get<bool*>(field) || WriteIniValue(file, section, name, QStringLiteral("OFF"));
    case KeyKind::OptionFlag:
        return WriteIniValue(file, section, name, onOffText(*std::get<bool*>(field), "True", "False"));
    case KeyKind::Password:
        return writePassword(file, section, name, *std::get<QString*>(field));
    case KeyKind::Camera: {
        const std::optional<QString> stored = toStoredCamera(*std::get<QString*>(field), file.encoding());
        // One the reader would cut is not written: the next start would open another camera.
        return stored && stored->size() <= readLimit(key) && WriteIniValue(file, section, name, *stored);
    }
    case KeyKind::Text:
    case KeyKind::TrueFalse:
    case KeyKind::SoundName:
        break;
    }
    return WriteIniValue(file, section, name, *std::get<QString*>(field));
}

constexpr int kTriggers = int(std::tuple_size_v<decltype(SettingsRecord::TRG)>);

// Calls `visit(section, key, n)` for every stored key in file order, the
// destination keys once for each destination n; stops at the first false.
template <typename Visit>
bool forEachStoredKey(Visit&& visit)
{
    const auto* const end = std::end(kStoredKeys);
    for (const auto* first = std::begin(kStoredKeys); first != end;) {
        const auto* last =
            std::find_if(first, end, [&](const StoredKey& key) { return key.section != first->section; });
        const bool perTrigger = first->section == "TRG";
        for (int n = 0; n < (perTrigger ? kTriggers : 1); ++n) {
            const QString section = perTrigger ? triggerSection(n) : QString::fromLatin1(first->section);
            for (const auto* key = first; key != last; ++key) {
                if (!visit(section, *key, n)) {
                    return false;
                }
            }
        }
        first = last;
    }
    return true;
}

}  // namespace

bool loadSettingsFrom(const ProfileFile& file, SettingsRecord& record, QStringList* cutKeys)
{
    return forEachStoredKey([&](const QString& section, const StoredKey& key, int n) {
        if (cutKeys != nullptr && isCutOnReading(file, section, key)) {
            *cutKeys << QStringLiteral("[%1] %2 is longer than %3 characters").arg(section, nameOf(key)).arg(readLimit(key));
        }
        return readKey(file, section, key, key.field(record, n));
    });
}

bool saveSettingsInto(ProfileFile& file, SettingsRecord& record)
{
    bool complete = true;
    forEachStoredKey([&](const QString& section, const StoredKey& key, int n) {
        complete = writeKey(file, section, key, key.field(record, n)) && complete;
        return true;
    });
    return complete;
}

bool sLoadSettings(ReadProblem* whyUnreadable)
{
    ProfileFile file;
    const ProfileFile::LoadStatus status = file.load(settingsPath());
    if (whyUnreadable != nullptr) {
        *whyUnreadable = file.readProblem();
    }
    if (status == ProfileFile::LoadStatus::Unreadable) {
        return false;
    }
    // A file copied in keeps the copy's mode, and it holds the passwords.
    if (status == ProfileFile::LoadStatus::Loaded && !tightenFile(settingsPath())) {
        std::fprintf(stderr, "houndly: %s stays readable by other users: its mode cannot be changed\n",
                     qPrintable(settingsPath()));
    }
    QStringList cutKeys;
    const bool loaded = loadSettingsFrom(file, Settings, &cutKeys);
    for (const QString& cut : cutKeys) {
        std::fprintf(stderr, "houndly: %s: %s; only its first characters are used, and saved so\n",
                     qPrintable(settingsPath()), qPrintable(cut));
    }
    // The sound's path looks at the disk, so it is found apart from the reading.
    if (!Settings.COM.SOUND.isEmpty()) {
        Settings.COM.SoundPath = GetShortPath(soundFolder() + Settings.COM.SOUND);
    }
    return loaded;
}

bool sSaveSettings()
{
    const QString path = settingsPath();
    ProfileFile file;
    // An unreadable file is never replaced: its other lines would be lost.
    if (file.load(path) == ProfileFile::LoadStatus::Unreadable) {
        return false;
    }
    // The keys are written to the file in memory first; a key that cannot be
    // written makes the result false, but the keys after it are still written.
    const bool complete = saveSettingsInto(file, Settings);
    return file.save(path) && complete;
}
