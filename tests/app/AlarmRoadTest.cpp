#include "tests/app/AppTestSupport.h"

#include "app/PictureBox.h"
#include "detect/TimeLine.h"

#include <QDateTime>
#include <QDir>

namespace {

// Scene times of the demo camera: the intruder crosses in the last 3 s of every 30 s.
constexpr int64_t kCalm = 1000;
constexpr int64_t kIntruder = 28000;

QString lastAlarmPanel(const QDateTime& when)
{
    return QStringLiteral("最終警報: ") + when.toString(QStringLiteral("yyyy/MM/dd hh:mm"));
}

}  // namespace

class AlarmRoadTest : public MainWindowFixture {
protected:
    // Starts the window and types the alarm count, as a user does.
    void startWithAlarmCount(const QString& text)
    {
        startWindow();
        QTest::mouseClick(window->picSideWindow->cmdKenchi, Qt::LeftButton);
        window->picSideWindow->txtCKData->clear();
        QTest::keyClicks(window->picSideWindow->txtCKData, text);
        QTest::mouseClick(window->picSideWindow->cmdKenchi, Qt::LeftButton);
        ASSERT_EQ(Settings.COM.CKSUM, text.toInt());
    }

    // Which lamps are lit and which lines shown, blue first.
    std::vector<bool> lamps() const
    {
        std::vector<bool> state;
        for (int index = 0; index < 3; ++index)
            state.push_back(window->picSideScope->signal[index]->isLit());
        for (int index = 0; index < 3; ++index)
            state.push_back(!window->picSideScope->line_Signal[index]->isHidden());
        return state;
    }
    QRgb timeLineTop() const
    {
        return window->picSideScope->picTimeLine->image().pixel(TimeLine::slotX(QTime::currentTime()),
                                                                TimeLine::kTopY + 1);
    }
    QString panel(int number) const { return window->StatusBarPanel(number)->text(); }
    int count() const { return window->picSideScope->lblCount->text().toInt(); }
};

// Without mail or recording set up: the alarm's own signs, then the calm tick.
TEST_F(AlarmRoadTest, IntruderRaisesAlarmAndNextTickIsCalm)
{
    startWithAlarmCount(QStringLiteral("10"));
    const QString sounds = QDir(qEnvironmentVariable("HOUNDLY_SOURCE_DIR")).filePath(QStringLiteral("media"));
    Settings.COM.SoundPath = QDir(sounds).entryInfoList({QStringLiteral("*.wav")}).value(0).filePath();
    ASSERT_FALSE(Settings.COM.SoundPath.isEmpty());
    const std::vector<bool> calmLamps = {true, false, false, true, false, false};

    tickAt(kCalm);
    tickAt(kCalm + 1000);
    EXPECT_EQ(panel(1), QStringLiteral("Houndly: 大丈夫ワン！"));
    EXPECT_EQ(lamps(), calmLamps);
    EXPECT_EQ(panel(2), QString());

    PaintedTexts panel1(window->StatusBarPanel(1));
    const QDateTime before = QDateTime::currentDateTime();
    tickAt(kIntruder);
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_GT(count(), 10);
    EXPECT_GE(panel1.timeOf(QStringLiteral("Houndly: 警報！ 誰かいるワン！!")), 0);
    EXPECT_EQ(panel(1), QStringLiteral("Houndly: 警報！ 誰かいたワン！!"));
    EXPECT_TRUE(panel(2) == lastAlarmPanel(before) || panel(2) == lastAlarmPanel(after));
    EXPECT_EQ(lamps(), (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(timeLineTop(), qRgb(255, 0, 0));
    EXPECT_TRUE(window->camera->Timer2->isActive());
    EXPECT_EQ(window->camera->Timer2->interval(), 100);

    // The tick after an alarm takes a new reference and silences the sound.
    tickAt(kIntruder + 500);
    EXPECT_EQ(window->picSideScope->lblCount->text(), QStringLiteral("000"));
    EXPECT_EQ(panel(1), QStringLiteral("Houndly: 大丈夫ワン！"));
    EXPECT_EQ(lamps(), calmLamps);
    EXPECT_TRUE(panel(2).startsWith(QStringLiteral("最終警報: ")));

    // The one after compares again.
    tickAt(kIntruder + 1000);
    EXPECT_GT(count(), 10);
}

TEST_F(AlarmRoadTest, TypedAlarmCountOfZeroStillDrawsTheTimeLine)
{
    startWithAlarmCount(QStringLiteral("0"));
    tickAt(kCalm);
    tickAt(kCalm + 1000);
    // Every count above 0 is an alarm; the bar is full instead of the tick failing.
    EXPECT_EQ(panel(1), QStringLiteral("Houndly: 警報！ 誰かいたワン！!"));
    EXPECT_EQ(timeLineTop(), qRgb(255, 0, 0));
    EXPECT_NE(window->picSideScope->lblTime->text(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(window->camera->Timer1->isActive());
}
