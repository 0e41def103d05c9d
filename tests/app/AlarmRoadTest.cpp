#include "tests/app/AppTestSupport.h"

#include "app/PictureBox.h"
#include "capture/DemoDriver.h"
#include "detect/LightChange.h"
#include "detect/TimeLine.h"

// Without mail, sound or recording: the alarm's own signs. The whole alarm with
// its mail, recording and upload is the end-to-end test's.
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
    bool timeLineIsRed() const
    {
        const QImage line = window->picSideScope->picTimeLine->image();
        return line.pixel(TimeLine::slotX(QTime::currentTime()), TimeLine::kTopY + 1) == qRgb(255, 0, 0);
    }
    bool alarmShown() const { return window->StatusBarPanel(1)->text().contains(QStringLiteral("警報")); }
    int count() const { return window->picSideScope->lblCount->text().toInt(); }
};

// A light switched on brightens the whole room: an alarm as described, unless
// the light rule is on; then the count still shows and a walker still alarms,
// and the tick after an alarm is calm.
TEST_F(AlarmRoadTest, ALightAlarmsOnlyWithoutTheLightRuleAnIntruderAlwaysAndTheNextTickIsCalm)
{
    const std::vector<bool> calmLamps = {true, false, false, true, false, false};
    for (const bool lightCut : {false, true}) {
        SCOPED_TRACE(lightCut ? "light rule on" : "light rule off");
        startWithAlarmCount(QStringLiteral("10"));
        Settings.EXT.LIGHTCUT = lightCut;
        // The camera's controls outlive the window: the room starts at its usual light.
        ASSERT_TRUE(hCapWnd->setControl(DemoDriver::kBrightness, 0));
        showScene(kCalm);
        tickAt(kCalm);
        tickAt(kCalm + 1000);
        EXPECT_FALSE(alarmShown());
        EXPECT_EQ(lamps(), calmLamps);
        ASSERT_TRUE(hCapWnd->setControl(DemoDriver::kBrightness, 40));
        showScene(kCalm + 2000);  // a frame read before the change may come first
        tickAt(kCalm + 2000);
        EXPECT_GT(count(), 10);
        EXPECT_EQ(alarmShown(), !lightCut);
        EXPECT_EQ(window->StatusBarPanel(1)->text() == lightChangeStatusText(), lightCut);
        EXPECT_EQ(lamps()[0], lightCut) << "blue lamp";

        tickAt(kCalm + 3000);
        tickAt(kIntruder);
        EXPECT_GT(count(), 10);
        EXPECT_TRUE(alarmShown());
        EXPECT_TRUE(window->StatusBarPanel(2)->text().startsWith(QStringLiteral("最終警報: ")));
        EXPECT_EQ(lamps(), (std::vector<bool>{false, false, true, false, false, true}));
        EXPECT_TRUE(timeLineIsRed());

        // The tick after an alarm takes a new reference; the one after compares again.
        tickAt(kIntruder + 500);
        EXPECT_EQ(count(), 0);
        EXPECT_FALSE(alarmShown());
        EXPECT_EQ(lamps(), calmLamps);
        tickAt(kIntruder + 1000);
        EXPECT_GT(count(), 10);
        hCapWnd->setControl(DemoDriver::kBrightness, 0);
        window.reset();
    }
}
