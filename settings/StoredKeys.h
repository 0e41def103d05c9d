#pragma once

#include "settings/Settings.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <variant>

// How a key stands in houndly.ini and what loading makes of it.
enum class KeyKind {
    Text,         // as typed
    Password,     // shifted by one character code
    Number,       // a 16-bit decimal; a value that is no such number fails the load
    TrueFalse,    // a text: anything but exactly "True" loads as "False"
    OneZero,      // on/off stored "1" or "0"; read as a Number, above 0 is on
    OnlyOn,       // exactly "ON", from an edit of the file, turns it on; "OFF" written when off
    SoundName,    // a file name; one holding a NUL names no sound
    Option,       // an [EXT] number: never fails the load, no number loads as the default
    OptionFlag,   // an [EXT] on/off stored "True" or "False"
    Camera,       // an [EXT] camera as typed, but the password of a URL shifted as a Password
};

// The numbers a key keeps: one below `lowest` becomes `below`, one above
// `highest` becomes `highest`.
struct KeyRange {
    int32_t lowest = INT16_MIN;
    int32_t highest = INT16_MAX;
    int32_t below = INT16_MIN;

    constexpr int64_t clamp(int64_t number) const
    {
        return number < lowest ? below : std::min<int64_t>(number, highest);
    }
};

using FieldRef = std::variant<QString*, int16_t*, int32_t*, bool*>;

struct StoredKey {
    std::string_view section;  // "TRG" stands for each of 0TRG to 3TRG
    std::string_view name;
    KeyKind kind;
    // Numbers and on/off keys: the value an absent key loads as (on = 1).
    // Texts load as "" when absent, a TrueFalse text as "False".
    int32_t whenAbsent = 0;
    KeyRange range = {};
    bool trimmed = false;  // trimmed of blanks again once read, escaped or not
    FieldRef (*field)(SettingsRecord& record, int trigger) = nullptr;
};

namespace stored_field {
using Com = SettingsRecord::Com;
using Mail = SettingsRecord::Mail;
using Ftp = SettingsRecord::Ftp;
using Ext = SettingsRecord::Ext;
template <auto Member> FieldRef com(SettingsRecord& r, int) { return &(r.COM.*Member); }
template <auto Member> FieldRef mail(SettingsRecord& r, int) { return &(r.MAIL.*Member); }
template <auto Member> FieldRef trg(SettingsRecord& r, int n) { return &(r.TRG[size_t(n)].*Member); }
template <auto Member> FieldRef ftp(SettingsRecord& r, int) { return &(r.FTP.*Member); }
template <auto Member> FieldRef ext(SettingsRecord& r, int) { return &(r.EXT.*Member); }

inline constexpr StoredKey table[] = {
    // clang-format off
    {"COM", "TIMER", KeyKind::Number, 20, {1, 50, 20}, false, com<&Com::TIMER>},
    {"COM", "CKSUM", KeyKind::Number, 100, {1, 9999, 100}, false, com<&Com::CKSUM>},
    {"COM", "SOUND", KeyKind::SoundName, 0, {}, false, com<&Com::SOUND>},
    {"COM", "ACCURACY", KeyKind::Number, 1, {1, 100, 1}, false, com<&Com::ACCURACY>},
    {"COM", "NOIZE", KeyKind::OneZero, 0, {}, false, com<&Com::NOIZE>},
    {"COM", "COMP", KeyKind::OnlyOn, 0, {}, false, com<&Com::COMP>},

    {"MAIL", "MAIL", KeyKind::Text, 0, {}, false, mail<&Mail::MAIL>},
    {"MAIL", "SMTP", KeyKind::Text, 0, {}, false, mail<&Mail::SMTP>},
    {"MAIL", "POP", KeyKind::Text, 0, {}, false, mail<&Mail::POP>},
    {"MAIL", "USER", KeyKind::Text, 0, {}, false, mail<&Mail::USER>},
    {"MAIL", "PASS", KeyKind::Password, 0, {}, false, mail<&Mail::PASS>},
    {"MAIL", "ATT", KeyKind::Text, 0, {}, false, mail<&Mail::ATT>},
    {"MAIL", "OPTATT", KeyKind::Text, 0, {}, false, mail<&Mail::OPTATT>},
    {"MAIL", "AtCRAM", KeyKind::Text, 0, {}, false, mail<&Mail::AtCRAM>},
    {"MAIL", "SMTPUSER", KeyKind::Text, 0, {}, false, mail<&Mail::SMTPUSER>},
    {"MAIL", "SMTPPASS", KeyKind::Password, 0, {}, false, mail<&Mail::SMTPPASS>},

    {"TRG", "ENABLED", KeyKind::Text, 0, {}, false, trg<&MailTrigger::ENABLED>},
    {"TRG", "MAILTO", KeyKind::Text, 0, {}, false, trg<&MailTrigger::MAILTO>},
    {"TRG", "SUBJECT", KeyKind::Text, 0, {}, false, trg<&MailTrigger::SUBJECT>},
    {"TRG", "BODY", KeyKind::Text, 0, {}, false, trg<&MailTrigger::BODY>},
    {"TRG", "GRP", KeyKind::Number, 0, {}, false, trg<&MailTrigger::GRP>},
    {"TRG", "FILES", KeyKind::Text, 0, {}, false, trg<&MailTrigger::FILES>},
    {"TRG", "MINSIZE", KeyKind::Number, 0, {}, false, trg<&MailTrigger::MINSIZE>},
    {"TRG", "ARC", KeyKind::Number, 0, {0, 100, 1}, false, trg<&MailTrigger::ARC>},

    {"FTP", "MOVE", KeyKind::TrueFalse, 0, {}, false, ftp<&Ftp::MOVE>},
    {"FTP", "FTP", KeyKind::TrueFalse, 0, {}, false, ftp<&Ftp::FTP>},
    {"FTP", "HOST", KeyKind::Text, 0, {}, true, ftp<&Ftp::HOST>},
    {"FTP", "USER", KeyKind::Text, 0, {}, true, ftp<&Ftp::USER>},
    {"FTP", "PASS", KeyKind::Password, 0, {}, true, ftp<&Ftp::PASS>},
    {"FTP", "HOLDER", KeyKind::Text, 0, {}, true, ftp<&Ftp::HOLDER>},
    {"FTP", "FILENAME", KeyKind::TrueFalse, 0, {}, false, ftp<&Ftp::FILENAME>},
    {"FTP", "TIME", KeyKind::Number, 5, {5, 30, 5}, false, ftp<&Ftp::TIME>},
    {"FTP", "AUDIO", KeyKind::Text, 0, {}, false, ftp<&Ftp::AUDIO>},

    {"EXT", "CAMERA", KeyKind::Camera, 0, {}, false, ext<&Ext::CAMERA>},
    {"EXT", "PRETIME", KeyKind::Option, 0, {0, 10, 0}, false, ext<&Ext::PRETIME>},
    {"EXT", "BGUPLOAD", KeyKind::OptionFlag, 0, {}, false, ext<&Ext::BGUPLOAD>},
    {"EXT", "LIGHTCUT", KeyKind::OptionFlag, 0, {}, false, ext<&Ext::LIGHTCUT>},
    // 100 TB: no disk is larger.
    {"EXT", "KEEPMB", KeyKind::Option, 0, {0, 100'000'000, 0}, false, ext<&Ext::KEEPMB>},
    {"EXT", "KEEPDAYS", KeyKind::Option, 0, {0, INT16_MAX, 0}, false, ext<&Ext::KEEPDAYS>},
    {"EXT", "KEEPWATCH", KeyKind::OptionFlag, 0, {}, false, ext<&Ext::KEEPWATCH>},
    {"EXT", "MASK", KeyKind::OptionFlag, 0, {}, false, ext<&Ext::MASK>},
    {"EXT", "LANG", KeyKind::Text, 0, {}, false, ext<&Ext::LANG>},
    {"EXT", "WEBPORT", KeyKind::Option, 0, {0, 65535, 0}, false, ext<&Ext::WEBPORT>},
    {"EXT", "WEBBIND", KeyKind::Text, 0, {}, true, ext<&Ext::WEBBIND>},
    {"EXT", "WEBUSER", KeyKind::Text, 0, {}, false, ext<&Ext::WEBUSER>},
    {"EXT", "WEBHASH", KeyKind::Text, 0, {}, false, ext<&Ext::WEBHASH>},
    {"EXT", "WEBCERT", KeyKind::Text, 0, {}, true, ext<&Ext::WEBCERT>},
    {"EXT", "WEBKEY", KeyKind::Text, 0, {}, true, ext<&Ext::WEBKEY>},
    {"EXT", "ONALARM", KeyKind::Text, 0, {}, false, ext<&Ext::ONALARM>},
    {"EXT", "ONALARMOVER", KeyKind::Text, 0, {}, false, ext<&Ext::ONALARMOVER>},
    {"EXT", "MQTT", KeyKind::Text, 0, {}, true, ext<&Ext::MQTT>},
    {"EXT", "MQTTUSER", KeyKind::Text, 0, {}, false, ext<&Ext::MQTTUSER>},
    {"EXT", "MQTTPASS", KeyKind::Password, 0, {}, false, ext<&Ext::MQTTPASS>},
    {"EXT", "MQTTTLS", KeyKind::OptionFlag, 0, {}, false, ext<&Ext::MQTTTLS>},
    {"EXT", "MQTTTOPIC", KeyKind::Text, 0, {}, true, ext<&Ext::MQTTTOPIC>},
    {"EXT", "NOTIFY", KeyKind::OptionFlag, 0, {}, false, ext<&Ext::NOTIFY>},
    {"EXT", "FTPMODE", KeyKind::Text, 0, {}, true, ext<&Ext::FTPMODE>},
    // clang-format on
};
}  // namespace stored_field

// Every key of houndly.ini, section by section in the order of the file, and
// in each section in writing order; loading reads them in the same order.
inline constexpr auto& kStoredKeys = stored_field::table;

// The numbers a key keeps, for the controls that edit it; a name that is no
// stored key does not compile.
consteval KeyRange storedRange(std::string_view section, std::string_view name)
{
    for (const StoredKey& key : kStoredKeys) {
        if (key.section == section && key.name == name) {
            return key.range;
        }
    }
    throw "no such stored key";
}

// The classic keys keep the start value 0 when absent, then pass their rule:
// that is what their default must say.
consteval bool everyDefaultIsWhatAnAbsentKeyLoadsAs()
{
    for (const StoredKey& key : kStoredKeys) {
        const bool isNumber = key.kind == KeyKind::Number || key.kind == KeyKind::Option;
        if (isNumber ? key.range.clamp(0) != key.whenAbsent : key.whenAbsent != 0) {
            return false;
        }
    }
    return true;
}
static_assert(everyDefaultIsWhatAnAbsentKeyLoadsAs());
