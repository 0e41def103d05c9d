#include "settings/Settings.h"

#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/IniAccess.h"
#include "settings/PasswordShift.h"
#include "settings/ProfileFile.h"
#include "settings/ProfileValue.h"

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

// A password that cannot be shifted keeps its old line, so that the keys after it are still written.
bool writePassword(ProfileFile& file, const QString& section, const QString& key, const QString& clear)
{
    const std::optional<QString> shifted = shiftPassword(clear, file.encoding());
    return shifted && file.setValue(section, key, toStoredPassword(*shifted));
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

bool loadMail(const ProfileFile& file, SettingsRecord::Mail& mail)
{
    const QString section = QStringLiteral("MAIL");
    GetIniValue(file, section, QStringLiteral("MAIL"), mail.MAIL);
    GetIniValue(file, section, QStringLiteral("SMTP"), mail.SMTP);
    GetIniValue(file, section, QStringLiteral("POP"), mail.POP);
    GetIniValue(file, section, QStringLiteral("USER"), mail.USER);
    if (!readPassword(file, section, QStringLiteral("PASS"), mail.PASS)) {
        return false;
    }
    GetIniValue(file, section, QStringLiteral("ATT"), mail.ATT);
    GetIniValue(file, section, QStringLiteral("OPTATT"), mail.OPTATT);
    GetIniValue(file, section, QStringLiteral("AtCRAM"), mail.AtCRAM);
    GetIniValue(file, section, QStringLiteral("SMTPUSER"), mail.SMTPUSER);
    return readPassword(file, section, QStringLiteral("SMTPPASS"), mail.SMTPPASS);
}

bool loadTrigger(const ProfileFile& file, const QString& section, MailTrigger& trigger)
{
    GetIniValue(file, section, QStringLiteral("ENABLED"), trigger.ENABLED);
    GetIniValue(file, section, QStringLiteral("MAILTO"), trigger.MAILTO);
    GetIniValue(file, section, QStringLiteral("SUBJECT"), trigger.SUBJECT);
    GetIniValue(file, section, QStringLiteral("BODY"), trigger.BODY);
    if (!GetIniValue(file, section, QStringLiteral("GRP"), trigger.GRP)) {
        return false;
    }
    GetIniValue(file, section, QStringLiteral("FILES"), trigger.FILES);
    if (!GetIniValue(file, section, QStringLiteral("MINSIZE"), trigger.MINSIZE)
        || !GetIniValue(file, section, QStringLiteral("ARC"), trigger.ARC)) {
        return false;
    }
    trigger.ARC = trigger.ARC < 0 ? int16_t(1) : std::min<int16_t>(trigger.ARC, 100);
    return true;
}

bool loadFtp(const ProfileFile& file, SettingsRecord::Ftp& ftp)
{
    const QString section = QStringLiteral("FTP");
    GetIniValue(file, section, QStringLiteral("MOVE"), ftp.MOVE);
    GetIniValue(file, section, QStringLiteral("FTP"), ftp.FTP);
    GetIniValue(file, section, QStringLiteral("HOST"), ftp.HOST);
    GetIniValue(file, section, QStringLiteral("USER"), ftp.USER);
    if (!readPassword(file, section, QStringLiteral("PASS"), ftp.PASS)) {
        return false;
    }
    GetIniValue(file, section, QStringLiteral("HOLDER"), ftp.HOLDER);
    GetIniValue(file, section, QStringLiteral("FILENAME"), ftp.FILENAME);
    if (!GetIniValue(file, section, QStringLiteral("TIME"), ftp.TIME)) {
        return false;
    }
    GetIniValue(file, section, QStringLiteral("AUDIO"), ftp.AUDIO);

    ftp.MOVE = trueOrFalse(ftp.MOVE);
    ftp.FTP = trueOrFalse(ftp.FTP);
    ftp.HOST = trimBlanks(ftp.HOST).toString();
    ftp.USER = trimBlanks(ftp.USER).toString();
    ftp.PASS = trimBlanks(ftp.PASS).toString();
    ftp.HOLDER = trimBlanks(ftp.HOLDER).toString();
    ftp.FILENAME = trueOrFalse(ftp.FILENAME);
    ftp.TIME = std::clamp<int16_t>(ftp.TIME, 5, 30);
    return true;
}

}  // namespace

bool sLoadSettings()
{
    ProfileFile file;
    if (file.load(settingsPath()) == ProfileFile::LoadStatus::Unreadable) {
        return false;
    }
    if (!loadCom(file, Settings.COM) || !loadMail(file, Settings.MAIL)) {
        return false;
    }
    for (int n = 0; n < int(Settings.TRG.size()); ++n) {
        if (!loadTrigger(file, triggerSection(n), Settings.TRG[n])) {
            return false;
        }
    }
    return loadFtp(file, Settings.FTP);
}

namespace {

// Collects the writes of one save: a key that cannot be written keeps its old
// line and makes the save report failure, but the keys after it are written.
class SettingsWriter {
public:
    explicit SettingsWriter(ProfileFile& file) : m_file(file) {}

    void text(const QString& section, const QString& key, const QString& value)
    {
        m_complete = WriteIniValue(m_file, section, key, value) && m_complete;
    }
    void number(const QString& section, const QString& key, int16_t value)
    {
        m_complete = WriteIniValue(m_file, section, key, value) && m_complete;
    }
    void password(const QString& section, const QString& key, const QString& clear)
    {
        m_complete = writePassword(m_file, section, key, clear) && m_complete;
    }
    bool complete() const { return m_complete; }

private:
    ProfileFile& m_file;
    bool m_complete = true;
};

void saveCom(SettingsWriter& write, const SettingsRecord::Com& com)
{
    const QString section = QStringLiteral("COM");
    write.number(section, QStringLiteral("TIMER"), com.TIMER);
    write.number(section, QStringLiteral("CKSUM"), com.CKSUM);
    write.text(section, QStringLiteral("SOUND"), com.SOUND);
    write.number(section, QStringLiteral("ACCURACY"), com.ACCURACY);
    write.text(section, QStringLiteral("NOIZE"), com.NOIZE ? QStringLiteral("1") : QStringLiteral("0"));
    // On is never written: only an edit of the file turns it on, and that "ON" stays.
    if (!com.COMP) {
        write.text(section, QStringLiteral("COMP"), QStringLiteral("OFF"));
    }
}

void saveMail(SettingsWriter& write, const SettingsRecord::Mail& mail)
{
    const QString section = QStringLiteral("MAIL");
    write.text(section, QStringLiteral("MAIL"), mail.MAIL);
    write.text(section, QStringLiteral("SMTP"), mail.SMTP);
    write.text(section, QStringLiteral("POP"), mail.POP);
    write.text(section, QStringLiteral("USER"), mail.USER);
    write.password(section, QStringLiteral("PASS"), mail.PASS);
    write.text(section, QStringLiteral("ATT"), mail.ATT);
    write.text(section, QStringLiteral("OPTATT"), mail.OPTATT);
    write.text(section, QStringLiteral("AtCRAM"), mail.AtCRAM);
    write.text(section, QStringLiteral("SMTPUSER"), mail.SMTPUSER);
    write.password(section, QStringLiteral("SMTPPASS"), mail.SMTPPASS);
}

void saveTrigger(SettingsWriter& write, const QString& section, const MailTrigger& trigger)
{
    write.text(section, QStringLiteral("ENABLED"), trigger.ENABLED);
    write.text(section, QStringLiteral("MAILTO"), trigger.MAILTO);
    write.text(section, QStringLiteral("SUBJECT"), trigger.SUBJECT);
    write.text(section, QStringLiteral("BODY"), trigger.BODY);
    write.number(section, QStringLiteral("GRP"), trigger.GRP);
    write.text(section, QStringLiteral("FILES"), trigger.FILES);
    write.number(section, QStringLiteral("MINSIZE"), trigger.MINSIZE);
    write.number(section, QStringLiteral("ARC"), trigger.ARC);
}

void saveFtp(SettingsWriter& write, const SettingsRecord::Ftp& ftp)
{
    const QString section = QStringLiteral("FTP");
    write.text(section, QStringLiteral("MOVE"), ftp.MOVE);
    write.text(section, QStringLiteral("FTP"), ftp.FTP);
    write.text(section, QStringLiteral("HOST"), ftp.HOST);
    write.text(section, QStringLiteral("USER"), ftp.USER);
    write.password(section, QStringLiteral("PASS"), ftp.PASS);
    write.text(section, QStringLiteral("HOLDER"), ftp.HOLDER);
    write.text(section, QStringLiteral("FILENAME"), ftp.FILENAME);
    write.number(section, QStringLiteral("TIME"), ftp.TIME);
    write.text(section, QStringLiteral("AUDIO"), ftp.AUDIO);
}

}  // namespace

bool sSaveSettings()
{
    const QString path = settingsPath();
    ProfileFile file;
    // An unreadable file is never replaced: its other lines would be lost.
    if (file.load(path) == ProfileFile::LoadStatus::Unreadable) {
        return false;
    }
    SettingsWriter write(file);
    saveCom(write, Settings.COM);
    saveMail(write, Settings.MAIL);
    for (int n = 0; n < int(Settings.TRG.size()); ++n) {
        saveTrigger(write, triggerSection(n), Settings.TRG[n]);
    }
    saveFtp(write, Settings.FTP);
    return file.save(path) && write.complete();
}
