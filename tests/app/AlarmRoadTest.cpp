#include "tests/app/AppTestSupport.h"

#include "app/CommandPanel.h"
#include "app/PictureBox.h"
#include "app/ScopePanel.h"
#include "app/SignalLamp.h"
#include "app/frm_Camera.h"
#include "detect/TimeLine.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Scene times of the demo camera: the intruder crosses in the last 3 s of every 30 s.
constexpr int64_t kCalm1 = 1000;
constexpr int64_t kCalm2 = 2000;
constexpr int64_t kIntruder = 28000;
constexpr int64_t kIntruderLater = 28500;
constexpr int64_t kIntruderLatest = 29000;

QString lastAlarmPanel(const QDateTime& when)
{
    return QStringLiteral("最終警報: ") + when.toString(QStringLiteral("yyyy/MM/dd hh:mm"));
}

}  // namespace

class AlarmRoadTest : public MainWindowFixture {
protected:
    // Sets the alarm count through the window, as a user does.
    void typeAlarmCount(const QString& text)
    {
        QTest::mouseClick(window->picSideWindow->cmdKenchi, Qt::LeftButton);
        window->picSideWindow->txtCKData->clear();
        QTest::keyClicks(window->picSideWindow->txtCKData, text);
        QTest::mouseClick(window->picSideWindow->cmdKenchi, Qt::LeftButton);
    }

    bool lampLit(int index) const { return window->picSideScope->signal[index]->isLit(); }
    bool lineShown(int index) const { return !window->picSideScope->line_Signal[index]->isHidden(); }
    QRgb timeLinePixel(int y) const
    {
        const int x = TimeLine::slotX(QTime::currentTime());
        return window->picSideScope->picTimeLine->image().pixel(x, y);
    }
};

TEST_F(AlarmRoadTest, IntruderRaisesAlarmAndNextTickIsCalm)
{
    startWindow();
    typeAlarmCount(QStringLiteral("10"));
    ASSERT_EQ(Settings.COM.CKSUM, 10);
    const QString sound = QDir(qEnvironmentVariable("HOUNDLY_SOURCE_DIR")).filePath(QStringLiteral("media"));
    Settings.COM.SoundPath = QDir(sound).entryInfoList({QStringLiteral("*.wav")}).value(0).filePath();
    ASSERT_FALSE(Settings.COM.SoundPath.isEmpty());

    tickAt(kCalm1);
    tickAt(kCalm2);
    EXPECT_EQ(window->StatusBarPanel(1)->text(), QStringLiteral("Houndly: 大丈夫ワン！"));
    EXPECT_TRUE(lampLit(0));
    EXPECT_FALSE(lampLit(2));
    EXPECT_EQ(window->StatusBarPanel(2)->text(), QString());

    PaintedTexts panel1(window->StatusBarPanel(1));
    const QDateTime before = QDateTime::currentDateTime();
    tickAt(kIntruder);
    const QDateTime after = QDateTime::currentDateTime();

    EXPECT_GT(window->picSideScope->lblCount->text().toInt(), 10);
    EXPECT_TRUE(panel1.texts().contains(QStringLiteral("Houndly: 警報！ 誰かいるワン！!")));
    EXPECT_EQ(window->StatusBarPanel(1)->text(), QStringLiteral("Houndly: 警報！ 誰かいたワン！!"));
    EXPECT_TRUE(window->StatusBarPanel(2)->text() == lastAlarmPanel(before) ||
                window->StatusBarPanel(2)->text() == lastAlarmPanel(after));
    EXPECT_TRUE(lampLit(2));
    EXPECT_FALSE(lampLit(0));
    EXPECT_FALSE(lampLit(1));
    EXPECT_TRUE(lineShown(2));
    EXPECT_FALSE(lineShown(0));
    EXPECT_EQ(timeLinePixel(TimeLine::kTopY + 1), qRgb(255, 0, 0));
    EXPECT_TRUE(window->camera->Timer2->isActive());
    EXPECT_EQ(window->camera->Timer2->interval(), 100);
    // The commands are open again once mail and recording are over.
    EXPECT_TRUE(window->picSideWindow->bcmd_SendMail->isEnabled());
    EXPECT_TRUE(window->camera->Timer1->isActive());

    // The tick after an alarm takes a new reference and silences the sound.
    tickAt(kIntruderLater);
    EXPECT_EQ(window->picSideScope->lblCount->text(), QStringLiteral("000"));
    EXPECT_EQ(window->StatusBarPanel(1)->text(), QStringLiteral("Houndly: 大丈夫ワン！"));
    EXPECT_TRUE(lampLit(0));
    EXPECT_FALSE(lampLit(2));
    EXPECT_FALSE(window->camera->Timer2->isActive());
    EXPECT_TRUE(window->StatusBarPanel(2)->text().startsWith(QStringLiteral("最終警報: ")));

    // The one after compares again.
    tickAt(kIntruderLatest);
    EXPECT_GT(window->picSideScope->lblCount->text().toInt(), 10);
}

TEST_F(AlarmRoadTest, TypedAlarmCountOfZeroStillDrawsTheTimeLine)
{
    startWindow();
    typeAlarmCount(QStringLiteral("0"));
    ASSERT_EQ(Settings.COM.CKSUM, 0);
    tickAt(kCalm1);
    tickAt(kCalm2);
    // Every count above 0 is an alarm; the bar is full instead of the tick failing.
    EXPECT_EQ(window->StatusBarPanel(1)->text(), QStringLiteral("Houndly: 警報！ 誰かいたワン！!"));
    EXPECT_EQ(timeLinePixel(TimeLine::kTopY + 1), qRgb(255, 0, 0));
    EXPECT_EQ(window->picSideScope->lblTime->text(), window->camera->timeLine().clockText());
    EXPECT_NE(window->picSideScope->lblTime->text(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(window->camera->Timer1->isActive());
}

TEST_F(AlarmRoadTest, StoppedOrEditingWindowTakesNoTick)
{
    startWindow();
    for (QPushButton* pause : {window->picSideWindow->optPrv[1], window->picSideWindow->cmdKenchi}) {
        QTest::mouseClick(pause, Qt::LeftButton);
        // A tick queued before the pause returns early and does not re-arm the timer.
        window->camera->Timer1->start(1000);
        window->camera->Timer1_Timer();
        EXPECT_FALSE(window->camera->Timer1->isActive());
        QTest::mouseClick(pause == window->picSideWindow->cmdKenchi ? pause : window->picSideWindow->optPrv[0],
                          Qt::LeftButton);
        EXPECT_TRUE(window->camera->Timer1->isActive());
    }
}
