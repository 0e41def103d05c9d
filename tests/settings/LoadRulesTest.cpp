#include "TempHome.h"

#include "settings/StoredKeys.h"

#include <functional>
#include <set>

namespace {

using LoadRulesTest = TempHome;

constexpr int64_t kLoadFails = INT64_MIN;

struct Case {
    const char* stored;
    int64_t loaded;  // kLoadFails: the load reports failure
};

// What each number or on/off key loads as, written down from what the program
// promises, not from the table in the code.
struct KeyRules {
    const char* section;
    const char* key;
    std::function<int64_t()> field;
    Case below, lowest, highest, above, notANumber;
    int64_t whenAbsent;
};

const KeyRules kRules[] = {
    {"COM", "TIMER", [] { return Settings.COM.TIMER; }, {"0", 20}, {"1", 1}, {"50", 50}, {"51", 50},
     {"ten", kLoadFails}, 20},
    {"COM", "CKSUM", [] { return Settings.COM.CKSUM; }, {"-32768", 100}, {"1", 1}, {"9999", 9999}, {"10000", 9999},
     {"1e9", kLoadFails}, 100},
    {"COM", "ACCURACY", [] { return Settings.COM.ACCURACY; }, {"0", 1}, {"1", 1}, {"100", 100}, {"32767", 100},
     {"high", kLoadFails}, 1},
    {"COM", "NOIZE", [] { return Settings.COM.NOIZE; }, {"-1", 0}, {"0", 0}, {"1", 1}, {"2", 1},
     {"on", kLoadFails}, 0},
    {"0TRG", "GRP", [] { return Settings.TRG[0].GRP; }, {"-32769", kLoadFails}, {"-32768", -32768},
     {"32767", 32767}, {"32768", kLoadFails}, {"yes", kLoadFails}, 0},
    {"1TRG", "MINSIZE", [] { return Settings.TRG[1].MINSIZE; }, {"-32769", kLoadFails}, {"-32768", -32768},
     {"32767", 32767}, {"32768", kLoadFails}, {"small", kLoadFails}, 0},
    {"0TRG", "ARC", [] { return Settings.TRG[0].ARC; }, {"-5", 1}, {"0", 0}, {"100", 100}, {"250", 100},
     {"x", kLoadFails}, 0},
    {"3TRG", "ARC", [] { return Settings.TRG[3].ARC; }, {"-1", 1}, {"0", 0}, {"100", 100}, {"101", 100},
     {"1,5", kLoadFails}, 0},
    {"FTP", "TIME", [] { return Settings.FTP.TIME; }, {"4", 5}, {"5", 5}, {"30", 30}, {"31", 30},
     {"12abc", kLoadFails}, 5},
    {"EXT", "PRETIME", [] { return Settings.EXT.PRETIME; }, {"-1", 0}, {"0", 0}, {"10", 10}, {"11", 10},
     {"soon", 0}, 0},
    {"EXT", "KEEPMB", [] { return Settings.EXT.KEEPMB; }, {"-5", 0}, {"0", 0}, {"100000000", 100000000},
     {"9999999999", 100000000}, {"1.5", 0}, 0},
    {"EXT", "KEEPDAYS", [] { return Settings.EXT.KEEPDAYS; }, {"-32769", 0}, {"0", 0}, {"32767", 32767},
     {"99999", 32767}, {"week", 0}, 0},
};

TEST_F(LoadRulesTest, EveryNumberLoadsWithinItsRange)
{
    for (const KeyRules& rules : kRules) {
        const QByteArray header = QByteArray("[") + rules.section + "]\n";
        for (const Case& c : {rules.below, rules.lowest, rules.highest, rules.above, rules.notANumber}) {
            Settings = SettingsRecord{};
            writeIni(header + rules.key + "=" + c.stored + "\n");
            const std::string where = std::string(rules.section) + "/" + rules.key + "=" + c.stored;
            ASSERT_EQ(sLoadSettings(), c.loaded != kLoadFails) << where;
            if (c.loaded != kLoadFails) {
                EXPECT_EQ(rules.field(), c.loaded) << where;
            }
        }
        Settings = SettingsRecord{};
        writeIni(header);
        ASSERT_TRUE(sLoadSettings());
        EXPECT_EQ(rules.field(), rules.whenAbsent) << rules.section << "/" << rules.key << " absent";
    }
}

// A key of the program that loads a number or an on/off has its rules above.
TEST_F(LoadRulesTest, EveryNumberKeyHasItsRules)
{
    std::set<std::string> covered;
    for (const KeyRules& rules : kRules) {
        const std::string section = rules.section;
        covered.insert((section.ends_with("TRG") ? std::string("TRG") : section) + "/" + rules.key);
    }
    for (const StoredKey& key : kStoredKeys) {
        const bool takesANumber = key.kind == KeyKind::Number || key.kind == KeyKind::Option ||
                                  key.kind == KeyKind::OneZero;
        const std::string name = std::string(key.section) + "/" + std::string(key.name);
        EXPECT_EQ(covered.count(name), takesANumber ? 1u : 0u) << name;
    }
}

}  // namespace
