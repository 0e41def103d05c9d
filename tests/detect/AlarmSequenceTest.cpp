#include "detect/AlarmSequence.h"
#include "detect/SkipCompare.h"
#include "settings/WatchEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes down each step as it is taken; SkipCompare is noted at the first step.
class RecordedActions : public AlarmActions {
public:
    std::vector<std::string> steps;
    std::string closeDuring;  // the step during which the window closes
    bool skipSetBeforeSound = false;

    void startSound() override
    {
        skipSetBeforeSound = SkipCompare;
        steps.push_back("sound");
    }
    void showAlarm() override { steps.push_back("lamps"); }
    void lockCommands(bool locked) override { steps.push_back(locked ? "lock" : "unlock"); }
    void sendMail() override { take("mail"); }
    void recordClip() override { take("record"); }
    void uploadClip(bool inBackground) override { take(inBackground ? "queue upload" : "upload"); }
    bool closing() const override { return closed_; }
    void showAlarmOver() override { steps.push_back("over"); }

private:
    void take(const std::string& step)
    {
        steps.push_back(step);
        closed_ = closed_ || step == closeDuring;
    }

    bool closed_ = false;
};

class AlarmSequenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SkipCompare = false;
        listener_ = addWatchListener([this](const WatchEvent& event) { events.push_back(event); });
    }
    void TearDown() override
    {
        removeWatchListener(listener_);
        SkipCompare = false;
    }
    std::vector<WatchEvent> events;

private:
    int listener_ = 0;
};

// A clip reaching back before the alarm starts before the mail; an upload in
// the background is queued in the upload's place.
TEST_F(AlarmSequenceTest, StepsRunInOrderAndAreToldToListeners)
{
    struct ClipFromBefore : RecordedActions {
        void startClip() override { steps.push_back("start clip"); }
    } clipFromBefore;
    runAlarmSequence(clipFromBefore, 412, 100, {.backgroundUpload = true});
    EXPECT_EQ(clipFromBefore.steps, (std::vector<std::string>{"sound", "lamps", "lock", "start clip", "mail", "record",
                                                              "queue upload", "unlock", "over"}));
    events.clear();

    RecordedActions actions;
    runAlarmSequence(actions, 412, 100);
    EXPECT_EQ(actions.steps,
              (std::vector<std::string>{"sound", "lamps", "lock", "mail", "record", "upload", "unlock", "over"}));
    EXPECT_TRUE(actions.skipSetBeforeSound);
    EXPECT_TRUE(SkipCompare);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, WatchEvent::Kind::Alarm);
    EXPECT_EQ(events[0].count, 412);
    EXPECT_EQ(events[0].alarmCount, 100);
    EXPECT_EQ(events[1].kind, WatchEvent::Kind::AlarmOver);
}

TEST_F(AlarmSequenceTest, ClosingDuringTheAlarmLeavesTheRestUndone)
{
    for (const std::string step : {"mail", "upload"}) {
        events.clear();
        RecordedActions actions;
        actions.closeDuring = step;
        runAlarmSequence(actions, 150, 100);
        std::vector<std::string> taken = {"sound", "lamps", "lock", "mail", "record", "upload"};
        taken.resize(step == "mail" ? 4 : 6);
        EXPECT_EQ(actions.steps, taken) << step;
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].kind, WatchEvent::Kind::Alarm);
    }
}

}  // namespace
