#include "settings/Settings.h"

#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/IniAccess.h"
#include "settings/PasswordShift.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileValue.h"

#include <QList>

#include <algorithm>

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

// One key of a section as it is stored, bound to its field; the same list
// gives the order of loading and of saving.
struct StoredKey {
    enum class Form { Text, Number, Password };
    QString name;
    Form form;
    QString* text = nullptr;
    int16_t* number = nullptr;
};

StoredKey textKey(const char* name, QString& field)
{
    return {QString::fromLatin1(name), StoredKey::Form::Text, &field, nullptr};
}

StoredKey numberKey(const char* name, int16_t& field)
{
    return {QString::fromLatin1(name), StoredKey::Form::Number, nullptr, &field};
}

StoredKey passwordKey(const char* name, QString& field)
{
    return {QString::fromLatin1(name), StoredKey::Form::Password, &field, nullptr};
}

QList<StoredKey> mailKeys(SettingsRecord::Mail& mail)
{
    return {textKey("MAIL", mail.MAIL),         textKey("SMTP", mail.SMTP),     textKey("POP", mail.POP),
            textKey("USER", mail.USER),         passwordKey("PASS", mail.PASS), textKey("ATT", mail.ATT),
            textKey("OPTATT", mail.OPTATT),     textKey("AtCRAM", mail.AtCRAM), textKey("SMTPUSER", mail.SMTPUSER),
            passwordKey("SMTPPASS", mail.SMTPPASS)};
}

QList<StoredKey> triggerKeys(MailTrigger& trigger)
{
    return {textKey("ENABLED", trigger.ENABLED), textKey("MAILTO", trigger.MAILTO),
            textKey("SUBJECT", trigger.SUBJECT), textKey("BODY", trigger.BODY),
            numberKey("GRP", trigger.GRP),       textKey("FILES", trigger.FILES),
            numberKey("MINSIZE", trigger.MINSIZE), numberKey("ARC", trigger.ARC)};
}

QList<StoredKey> ftpKeys(SettingsRecord::Ftp& ftp)
{
    return {textKey("MOVE", ftp.MOVE),     textKey("FTP", ftp.FTP),           textKey("HOST", ftp.HOST),
            textKey("USER", ftp.USER),     passwordKey("PASS", ftp.PASS),     textKey("HOLDER", ftp.HOLDER),
            textKey("FILENAME", ftp.FILENAME), numberKey("TIME", ftp.TIME), textKey("AUDIO", ftp.AUDIO)};
}

// Reads a stored password into the field in clear; only a key present is unshifted.
bool readPassword(const ProfileFile& file, const QString& section, const QString& key, QString& target)
{
    const std::optional<QString> stored = file.value(section, key);
    if (!stored || stored->isEmpty()) {
        return true;
    }
    const QString shifted = cutProfileValue(fromStoredPassword(*stored), kProfileValueMaxLength);
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

// Stops at the first key that cannot be read, as the load does.
bool readKeys(const ProfileFile& file, const QString& section, const QList<StoredKey>& keys)
{
    return std::all_of(keys.begin(), keys.end(), [&](const StoredKey& key) {
        switch (key.form) {
        case StoredKey::Form::Number: return GetIniValue(file, section, key.name, *key.number);
        case StoredKey::Form::Password: return readPassword(file, section, key.name, *key.text);
        case StoredKey::Form::Text: break;
        }
        return GetIniValue(file, section, key.name, *key.text);
    });
}

// Writes every key even after one that cannot be written (which keeps its old line).
bool writeKeys(ProfileFile& file, const QString& section, const QList<StoredKey>& keys)
{
    bool complete = true;
    for (const StoredKey& key : keys) {
        switch (key.form) {
        case StoredKey::Form::Number:
            complete = WriteIniValue(file, section, key.name, *key.number) && complete;
            break;
        case StoredKey::Form::Password:
            complete = writePassword(file, section, key.name, *key.text) && complete;
            break;
        case StoredKey::Form::Text:
            complete = WriteIniValue(file, section, key.name, *key.text) && complete;
            break;
        }
    }
    return complete;
}

bool loadCom(const ProfileFile& file, SettingsRecord::Com& com)
{
    const QString section = QStringLiteral("COM");
    if (!GetIniValue(file, section, QStringLiteral("TIMER"), com.TIMER)) {
        return false;
    }
    com.TIMER = com.TIMER <= 0 ? int16_t(20) : std::min<int16_t>(com.TIMER, 50);
    if (!GetIniValue(file, section, QStringLiteral("CKSUM"), com.CKSUM)) {
        return false;
    }
    com.CKSUM = com.CKSUM <= 0 ? int16_t(100) : std::min<int16_t>(com.CKSUM, 9999);
    if (!GetIniValue(file, section, QStringLiteral("ACCURACY"), com.ACCURACY)) {
        return false;
    }
    com.ACCURACY = com.ACCURACY <= 0 ? int16_t(1) : std::min<int16_t>(com.ACCURACY, 100);
    GetIniValue(file, section, QStringLiteral("SOUND"), com.SOUND);
    // No file name holds a NUL: such a value names no sound.
    if (com.SOUND.contains(QChar(0))) {
        com.SOUND.clear();
    }
    if (!com.SOUND.isEmpty()) {
        com.SoundPath = GetShortPath(soundFolder() + com.SOUND);
    }
    int16_t noise = 0;
    if (!GetIniValue(file, section, QStringLiteral("NOIZE"), noise)) {
        return false;
    }
    com.NOIZE = noise > 0;
    QString compression;
    GetIniValue(file, section, QStringLiteral("COMP"), compression);
    if (compression == QStringLiteral("ON")) {
        com.COMP = true;
    }
    return true;
}

bool saveCom(ProfileFile& file, SettingsRecord::Com& com)
{
    const QString section = QStringLiteral("COM");
    QString noise = com.NOIZE ? QStringLiteral("1") : QStringLiteral("0");
    QList<StoredKey> keys = {numberKey("TIMER", com.TIMER), numberKey("CKSUM", com.CKSUM),
                             textKey("SOUND", com.SOUND), numberKey("ACCURACY", com.ACCURACY),
                             textKey("NOIZE", noise)};
    // On is never written: only an edit of the file turns it on, and its "ON" stays.
    QString compressionOff = QStringLiteral("OFF");
    if (!com.COMP) {
        keys.append(textKey("COMP", compressionOff));
    }
    return writeKeys(file, section, keys);
}

void normaliseFtp(SettingsRecord::Ftp& ftp)
{
    ftp.MOVE = trueOrFalse(ftp.MOVE);
    ftp.FTP = trueOrFalse(ftp.FTP);
    ftp.HOST = trimBlanks(ftp.HOST).toString();
    ftp.USER = trimBlanks(ftp.USER).toString();
    ftp.PASS = trimBlanks(ftp.PASS).toString();
    ftp.HOLDER = trimBlanks(ftp.HOLDER).toString();
    ftp.FILENAME = trueOrFalse(ftp.FILENAME);
    ftp.TIME = std::clamp<int16_t>(ftp.TIME, 5, 30);
}

constexpr int16_t kLongestPreEvent = 10;
constexpr int32_t kLargestKeepMb = 100'000'000;  // 100 TB: no disk is larger

// An [EXT] number: absent, empty or no number gives the default.
template <typename Number>
Number readExtNumber(const ProfileFile& file, const QString& key, Number defaultValue, Number lowest, Number highest)
{
    QString text;
    GetIniValue(file, QStringLiteral("EXT"), key, text);
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok) {
        return defaultValue;
    }
    return Number(std::clamp<qlonglong>(number, lowest, highest));
}

void loadExt(const ProfileFile& file, SettingsRecord::Ext& ext)
{
    const QString section = QStringLiteral("EXT");
    GetIniValue(file, section, QStringLiteral("CAMERA"), ext.CAMERA);
    ext.PRETIME = readExtNumber<int16_t>(file, QStringLiteral("PRETIME"), 0, 0, kLongestPreEvent);
    QString flag;
    GetIniValue(file, section, QStringLiteral("BGUPLOAD"), flag);
    ext.BGUPLOAD = flag == QStringLiteral("True");
    flag.clear();
    GetIniValue(file, section, QStringLiteral("LIGHTCUT"), flag);
    ext.LIGHTCUT = flag == QStringLiteral("True");
    ext.KEEPMB = readExtNumber<int32_t>(file, QStringLiteral("KEEPMB"), 0, 0, kLargestKeepMb);
    ext.KEEPDAYS = readExtNumber<int16_t>(file, QStringLiteral("KEEPDAYS"), 0, 0, INT16_MAX);
}

bool saveExt(ProfileFile& file, const SettingsRecord::Ext& ext)
{
    const auto onOff = [](bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); };
    const QList<std::pair<const char*, QString>> values = {
        {"CAMERA", ext.CAMERA},
        {"PRETIME", QString::number(ext.PRETIME)},
        {"BGUPLOAD", onOff(ext.BGUPLOAD)},
        {"LIGHTCUT", onOff(ext.LIGHTCUT)},
        {"KEEPMB", QString::number(ext.KEEPMB)},
        {"KEEPDAYS", QString::number(ext.KEEPDAYS)},
    };
    bool complete = true;
    for (const auto& [name, value] : values) {
        complete = WriteIniValue(file, QStringLiteral("EXT"), QString::fromLatin1(name), value) && complete;
    }
    return complete;
}

}  // namespace

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
    if (!loadCom(file, Settings.COM) || !readKeys(file, QStringLiteral("MAIL"), mailKeys(Settings.MAIL))) {
        return false;
    }
    for (int n = 0; n < int(Settings.TRG.size()); ++n) {
        MailTrigger& trigger = Settings.TRG[n];
        if (!readKeys(file, triggerSection(n), triggerKeys(trigger))) {
            return false;
        }
        trigger.ARC = trigger.ARC < 0 ? int16_t(1) : std::min<int16_t>(trigger.ARC, 100);
    }
    if (!readKeys(file, QStringLiteral("FTP"), ftpKeys(Settings.FTP))) {
        return false;
    }
    normaliseFtp(Settings.FTP);
    loadExt(file, Settings.EXT);
    return true;
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
    bool complete = saveCom(file, Settings.COM);
    complete = writeKeys(file, QStringLiteral("MAIL"), mailKeys(Settings.MAIL)) && complete;
    for (int n = 0; n < int(Settings.TRG.size()); ++n) {
        complete = writeKeys(file, triggerSection(n), triggerKeys(Settings.TRG[n])) && complete;
    }
    complete = writeKeys(file, QStringLiteral("FTP"), ftpKeys(Settings.FTP)) && complete;
    complete = saveExt(file, Settings.EXT) && complete;
    return file.save(path) && complete;
}
