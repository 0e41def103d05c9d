#pragma once

#include "settings/ReadProblem.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// One automatic-mail destination (sections 0TRG to 3TRG).
struct MailTrigger {
    QString ENABLED;   // only the exact text "True" means in use
    QString MAILTO;
    QString SUBJECT;
    QString BODY;
    int16_t GRP = 0;      // 1 = attach the snapshot
    int16_t MINSIZE = 0;  // 0 = 640x480, 1 = 320x240, 2 = 110x82.5
    QString FILES;
    int16_t ARC = 0;      // compression rate handed to the JPEG writer
};

// The program-wide record of every setting, grouped by the file's sections.
struct SettingsRecord {
    struct Com {
        int16_t TIMER = 0;     // detector period in tenths of a second
        int16_t CKSUM = 0;     // alarm count
        int16_t ACCURACY = 0;  // sensitivity
        QString SOUND;         // file name in the media folder, "" for none
        bool NOIZE = false;
        bool COMP = false;
        QString SoundPath;     // never stored: full path of SOUND, "" when none
    } COM;

    struct Mail {
        QString MAIL;
        QString SMTP;  // server, TAB, port
        QString POP;   // server, TAB, port
        QString USER;
        QString PASS;  // in clear; stored shifted
        QString ATT;
        QString OPTATT;
        QString AtCRAM;
        QString SMTPUSER;
        QString SMTPPASS;  // in clear; stored shifted
    } MAIL;

    std::array<MailTrigger, 4> TRG;

    struct Ftp {
        QString MOVE;
        QString FTP;
        QString HOST;
        QString USER;
        QString PASS;  // in clear; stored shifted
        QString HOLDER;
        QString FILENAME;
        int16_t TIME = 0;  // clip length in seconds
        QString AUDIO;
    } FTP;

    // Options beyond the classic program, in the [EXT] section; every default
    // keeps the classic behaviour.
    struct Ext {
        QString CAMERA;        // the camera chosen last, "" = the driver search; a URL's password stored shifted
        int16_t PRETIME = 0;   // seconds of pre-event recording, 0..10
        bool BGUPLOAD = false; // uploads run in the background, watching goes on
        bool LIGHTCUT = false; // an even change of the whole picture is no alarm
        int32_t KEEPMB = 0;    // img/ and avi/ together under this many MB, 0 = no limit
        int16_t KEEPDAYS = 0;  // snapshots and clips older than this go, 0 = never
        bool KEEPWATCH = false; // the detector keeps watching through an alarm's mail, clip and upload
        bool MASK = false;     // mask.pgm in the application folder weights where the detector looks
        QString LANG;          // "ja", "en", "" = the desktop's language; read at start-up
        int32_t WEBPORT = 0;   // the web view's port, 0 = no web view
        QString WEBBIND{};     // the address it listens on, "" = 127.0.0.1
        QString WEBUSER{};     // its account: the user and what checking the password needs
        QString WEBHASH{};
        QString WEBCERT{};     // PEM certificate and key files: HTTPS only
        QString WEBKEY{};
        QString ONALARM{};     // a program and its arguments run at an alarm's start, "" = none
        QString ONALARMOVER{}; // the same at an alarm's end
        QString MQTT{};        // the MQTT broker: "host", "host port" or "host:port"; "" = no MQTT
        QString MQTTUSER{};    // the broker's account, "" = none
        QString MQTTPASS{};    // in clear; stored shifted
        bool MQTTTLS = false;  // TLS to the broker, its certificate verified
        QString MQTTTOPIC{};   // the topics' prefix, "" = houndly/<the application folder's name>
        bool NOTIFY = false;   // a desktop notification at every alarm, with the window
        QString FTPMODE{};     // the clip's upload: "" FTP as described, "FTPS" or "SFTP"
    } EXT;
};

extern SettingsRecord Settings;

class ProfileFile;

// The load and the save on a settings file held in memory, for any record;
// no file is touched, and SoundPath is left as it was. The load stops at the
// first key whose text is no value of its field (false); `cutKeys`, when given,
// gets one line for each key read that the reader cut. The save writes every
// key it can, and is false when one keeps its old line.
bool loadSettingsFrom(const ProfileFile& file, SettingsRecord& record, QStringList* cutKeys = nullptr);
bool saveSettingsInto(ProfileFile& file, SettingsRecord& record);

// Reads the whole settings file (appFilePath("houndly.ini")) into Settings. A
// missing file gives the start values. The [EXT] options never fail the load:
// a value out of range is clamped, one that is no number reads as the default. False when the file is there but cannot
// be read (a folder, a pipe, no permission), or at the first key whose text is
// no value of its field; the fields read before it keep their new values.
// `whyUnreadable`, when given, tells which of the two: None for a bad value.
// A file read is made the user's alone (0600); a value the reader cuts (199
// characters, more in [EXT]) is told on standard error.
bool sLoadSettings(ReadProblem* whyUnreadable = nullptr);
// Writes the whole of Settings back through a temporary file, mode 0600. False
// when a key cannot be written (it keeps its old line; the others are written)
// or when the file cannot be replaced whole (the old one then stays as it was).
bool sSaveSettings();
