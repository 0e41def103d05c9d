#include "watch/AlarmSequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes down each step as it is taken, and the events told.
class RecordedActions : public AlarmActions {
public:
    std::vector<std::string> steps;
    std::vector<WatchEvent> events;
    std::string closeDuring;  // the step during which the window closes

    void skipNextCompare() override { steps.push_back("skip"); }
    void tell(const WatchEvent& event) override { events.push_back(event); }
    void startSound() override { steps.push_back("sound"); }
    void showAlarm() override { steps.push_back("lamps"); }
    void lockCommands(bool locked) override { steps.push_back(locked ? "lock" : "unlock"); }
    void startClip() override { steps.push_back("start clip"); }
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

// A clip reaching back before the alarm starts before the mail; an upload in
// the background is queued in the upload's place. Closing during the alarm
// leaves the rest undone, the end of the alarm untold.
TEST(AlarmSequence, StepsRunInOrderUntilTheWindowClosesAndAreToldToListeners)
{
    const std::vector<std::string> all = {"skip", "sound", "lamps", "lock", "start clip", "mail", "record", "upload", "unlock", "over"};
    const struct {
        std::string closeDuring;
        bool background;
        size_t taken;  // steps of `all`
    } rows[] = {{"", false, 10}, {"", true, 10}, {"mail", false, 6}, {"upload", false, 8}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.closeDuring + (row.background ? " background" : ""));
        RecordedActions actions;
        actions.closeDuring = row.closeDuring;
        startAlarmSequence(actions, 412, 100);
        finishAlarmSequence(actions, {.backgroundUpload = row.background});
        std::vector<std::string> expected(all.begin(), all.begin() + std::ptrdiff_t(row.taken));
        if (row.background)
            expected[7] = "queue upload";
        EXPECT_EQ(actions.steps, expected);
        const std::vector<WatchEvent>& events = actions.events;
        ASSERT_EQ(events.size(), row.closeDuring.empty() ? 2u : 1u);
        EXPECT_EQ(events.back().kind, row.closeDuring.empty() ? WatchEvent::Kind::AlarmOver : WatchEvent::Kind::Alarm);
    }
}

}  // namespace
