// The alarm commands run as real programs: a script writes down what it was
// given; the events are those an alarm tells.
#include "notify/AlarmCommands.h"

#include "history/AlarmRecord.h"
#include "settings/Settings.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Kind = WatchEvent::Kind;

// Writes its arguments and the alarm's environment to the file named first,
// one error line and another, and fails.
constexpr char kRecorder[] = R"sh(#!/bin/sh
out="$1"; shift
{ for word in "$@"; do printf '[%s]' "$word"; done; echo
  printf '%s|%s|%s|%s|%s|%s\n' "$HOUNDLY_COUNT" "$HOUNDLY_ALARM_COUNT" "$HOUNDLY_TIME" "$HOUNDLY_SNAPSHOT" \
    "$HOUNDLY_CLIP" "$(pwd)"; } > "$out"
echo ' first error line ' >&2
echo 'second error line' >&2
exit 3
)sh";

class AlarmCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication();
        Settings = SettingsRecord{};
        recorder = writeFileBytes(home.filePath(QStringLiteral("record.sh")), kRecorder);
        QFile::setPermissions(recorder, QFile::ReadOwner | QFile::ExeOwner);
    }
    void TearDown() override { Settings = SettingsRecord{}; }

    // What the recorder wrote to `name`: its words, then the environment.
    QStringList recorded(const QString& name) const
    {
        return QString::fromUtf8(readFileBytes(home.filePath(name))).split(u'\n');
    }
    bool waitForEnds(size_t count)
    {
        return QTest::qWaitFor([&] { return ends.size() >= count; }, 10000);
    }

    TempAppFolder home;
    QString recorder;
    std::vector<WatchEvent> ends;
    AlarmCommands commands{[this](const WatchEvent& event) {
        EXPECT_EQ(event.kind, Kind::CommandEnded);
        ends.push_back(event);
    }};
    const QDateTime alarmTime = QDateTime::currentDateTime();
};

// ONALARM goes with the alarm's first snapshot, or with the step that comes
// before any; ONALARMOVER with the alarm's end, the clip known by then.
TEST_F(AlarmCommandsTest, EachGetsItsAlarmAndItsEndIsTold)
{
    Settings.EXT.ONALARM = QStringLiteral("'%1' start.txt").arg(recorder);
    Settings.EXT.ONALARMOVER = QStringLiteral("'%1' over.txt").arg(recorder);
    const QString snapshot = home.filePath(QStringLiteral("img/1_ALERT.jpg"));
    const QString clip = home.filePath(QStringLiteral("avi/1_ALERT.AVI"));
    commands.hear({.kind = Kind::Alarm, .count = 31, .alarmCount = 10, .alarmTime = alarmTime});
    commands.hear({.kind = Kind::Snapshot, .name = snapshot});
    commands.hear({.kind = Kind::Snapshot, .name = home.filePath(QStringLiteral("img/2_ALERT.jpg"))});
    commands.hear({.kind = Kind::ClipRecorded, .name = clip});
    commands.hear({.kind = Kind::AlarmOver});
    ASSERT_TRUE(waitForEnds(2));
    const QString time = historyTimeText(alarmTime);
    EXPECT_EQ(recorded("start.txt"), QStringList({"", QStringLiteral("31|10|%1|%2||%3").arg(time, snapshot, home.path()), ""}));
    EXPECT_EQ(recorded("over.txt")[1], QStringLiteral("31|10|%1|%2|%3|%4").arg(time, snapshot, clip, home.path()));
    for (const WatchEvent& end : ends) {
        EXPECT_FALSE(end.ok);
        EXPECT_EQ(end.detail, QStringLiteral("exit 3: first error line"));
        EXPECT_EQ(end.alarmTime, alarmTime);
    }
    // Both run at once: either may end first.
    EXPECT_EQ(QSet<QString>({ends[0].name, ends[1].name}), QSet<QString>({"ONALARM", "ONALARMOVER"}));

    // An alarm whose mail goes before any snapshot: the command does not wait for one.
    Settings.EXT.ONALARMOVER.clear();
    commands.hear({.kind = Kind::Alarm, .count = 12, .alarmCount = 10, .alarmTime = alarmTime});
    commands.hear({.kind = Kind::MailSent, .name = QStringLiteral("A")});
    commands.hear({.kind = Kind::Snapshot, .name = snapshot});
    commands.hear({.kind = Kind::AlarmOver});
    ASSERT_TRUE(waitForEnds(3));
    EXPECT_EQ(recorded("start.txt")[1], QStringLiteral("12|10|%1|||%2").arg(time, home.path()));
}

// At its limit a command is asked to end; one that stays is killed two seconds later.
// Its unended error line is kept, cut at 500 bytes.
TEST_F(AlarmCommandsTest, ACommandStayingPastItsLimitIsKilledTwoSecondsLater)
{
    EXPECT_EQ(AlarmCommandTimeLimit, std::chrono::seconds(60));
    const auto restore = qScopeGuard([] { AlarmCommandTimeLimit = std::chrono::seconds(60); });
    AlarmCommandTimeLimit = std::chrono::milliseconds(300);
    Settings.EXT.ONALARM = QStringLiteral("sh -c 'trap \"\" TERM; printf %0600d 0 >&2; sleep 30'");
    QElapsedTimer clock;
    clock.start();
    commands.hear({.kind = Kind::Alarm, .count = 31, .alarmCount = 10, .alarmTime = alarmTime});
    commands.hear({.kind = Kind::Snapshot, .name = home.filePath(QStringLiteral("img/1_ALERT.jpg"))});
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_GE(clock.elapsed(), 2150);  // the limit and the grace, less the 5 % a coarse timer may come early
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(ends[0].detail, QStringLiteral("ended after 0.3 s: ") + QString(500, u'0'));  // its error line cut
}

// A setting is a program and its words, split as a shell splits them, and
// nothing more of a shell: what would chain, substitute or expand there is
// handed over as it is written, or names no program.
TEST_F(AlarmCommandsTest, ASettingIsOneProgramWithItsWordsNeverAShell)
{
    const QString victim = home.filePath(QStringLiteral("victim"));
    ASSERT_TRUE(QDir().mkpath(victim));
    const QString r = QStringLiteral("'%1' words.txt").arg(recorder);
    const QString v = QStringLiteral("'%1'").arg(victim);
    const struct {
        QString setting;
        QString words;  // what the recorder was given, or how the command ended
    } rows[] = {
        {r + QStringLiteral(R"( "two words" 'it''s "q"' a\ b '' "\"\\\$\x" x\'y)"),
         QStringLiteral(R"([two words][its "q"][a b][]["\$\x][x'y])")},
        {r + QStringLiteral(" ; rm -rf ") + v, QStringLiteral("[;][rm][-rf][%1]").arg(victim)},
        {r + QStringLiteral(R"w( "$(rm -rf %1)" `rm -rf %1` $HOME ~ * | && > out)w").arg(victim),
         QStringLiteral("[$(rm -rf %1)][`rm][-rf][%1`][$HOME][~][*][|][&&][>][out]").arg(victim)},
        {QStringLiteral("'%1'; rm -rf ").arg(recorder) + v,
         QStringLiteral("cannot start %1;: execve: No such file or directory").arg(recorder)},
        {r + QStringLiteral(" 'unclosed ; rm -rf ") + v, QStringLiteral("not run: a ' is not closed")},
        {r + QStringLiteral(R"( "unclosed)"), QStringLiteral("not run: a \" is not closed")},
        {r + QStringLiteral(R"( trailing\)"), QStringLiteral("not run: it ends in a backslash")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.setting.toStdString());
        QFile::remove(home.filePath(QStringLiteral("words.txt")));
        ends.clear();
        Settings.EXT.ONALARM = row.setting;
        commands.hear({.kind = Kind::Alarm, .count = 11, .alarmCount = 10, .alarmTime = alarmTime});
        commands.hear({.kind = Kind::AlarmOver});
        ASSERT_TRUE(waitForEnds(1));
        const bool ran = ends[0].detail.startsWith(QStringLiteral("exit"));
        EXPECT_EQ(ran ? recorded("words.txt")[0] : ends[0].detail, row.words);
        EXPECT_TRUE(QFileInfo(victim).isDir());
    }

    // Eight still running: a ninth is not started; watching's stop ends them, told.
    ends.clear();
    Settings.EXT.ONALARM = QStringLiteral("sleep 30");
    for (int alarm = 0; alarm < 9; ++alarm) {
        commands.hear({.kind = Kind::Alarm, .count = 11, .alarmCount = 10, .alarmTime = alarmTime});
        commands.hear({.kind = Kind::AlarmOver});
    }
    ASSERT_TRUE(waitForEnds(1));
    EXPECT_EQ(ends[0].detail, QStringLiteral("not run: 8 alarm commands still run"));
    commands.hear({.kind = Kind::Stopped});
    ASSERT_EQ(ends.size(), 9u);
    EXPECT_EQ(ends[1].detail, QStringLiteral("ended as watching stopped"));
}

}  // namespace
