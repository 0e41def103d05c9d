#include "watch/AlarmSequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Step = AlarmSequence::Step;

// Writes down each step as it is taken, and the events told; with `atOnce`
// each step that takes time ends before its action returns.
class RecordedActions : public AlarmActions {
public:
    explicit RecordedActions(bool atOnce) : atOnce_(atOnce) {}
    AlarmSequence sequence{*this};
    std::vector<std::string> steps;
    std::vector<WatchEvent> events;

    void skipNextCompare() override { steps.push_back("skip"); }
    void tell(const WatchEvent& event) override { events.push_back(event); }
    void startSound() override { steps.push_back("sound"); }
    void showAlarm() override { steps.push_back("lamps"); }
    void lockCommands(bool locked) override { steps.push_back(locked ? "lock" : "unlock"); }
    void startClip() override { steps.push_back("start clip"); }
    void sendMail() override { take("mail", Step::Mail); }
    void recordClip() override { take("record", Step::Clip); }
    void uploadClip(bool inBackground) override { take(inBackground ? "queue upload" : "upload", Step::Upload); }
    void showAlarmOver() override { steps.push_back("over"); }
    void alarmEnded() override { steps.push_back("ended"); }

private:
    void take(const std::string& name, Step step)
    {
        steps.push_back(name);
        if (atOnce_)
            sequence.stepEnded(step);
    }
    bool atOnce_;
};

// Each step begins when the one before it has ended, whether it ends later or
// at once; a clip reaching back before the alarm starts before the mail; an
// upload in the background is queued in the upload's place; watching through
// the alarm leaves the commands alone. Abandoned (closing), the rest stays
// undone and the alarm's end untold, whatever step ends late; an end of a
// step not under way is ignored.
TEST(AlarmSequence, StepsFollowEachOthersEndsInOrderUntilAbandoned)
{
    const std::vector<std::string> all = {"skip", "sound",  "lamps",  "lock", "start clip", "mail",
                                          "record", "upload", "unlock", "over", "ended"};
    const struct {
        const char* what;
        AlarmOrder order;
        bool atOnce;
        Step abandonDuring;  // None: not abandoned
        std::vector<std::string> expected;
    } rows[] = {
        {"later", {}, false, Step::None, all},
        {"at once", {}, true, Step::None, all},
        {"background", {.backgroundUpload = true}, false, Step::None,
         {"skip", "sound", "lamps", "lock", "start clip", "mail", "record", "queue upload", "unlock", "over", "ended"}},
        {"watching on", {.keepWatching = true}, false, Step::None,
         {"skip", "sound", "lamps", "start clip", "mail", "record", "upload", "over", "ended"}},
        {"closed during the mail", {}, false, Step::Mail, {"skip", "sound", "lamps", "lock", "start clip", "mail"}},
        {"closed during the upload", {}, false, Step::Upload,
         {"skip", "sound", "lamps", "lock", "start clip", "mail", "record", "upload"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RecordedActions actions(row.atOnce);
        AlarmSequence& sequence = actions.sequence;
        sequence.start(412, 100, row.order);
        for (const Step step : {Step::Mail, Step::Clip, Step::Upload}) {
            if (row.atOnce)
                break;
            EXPECT_EQ(sequence.step(), step);
            sequence.stepEnded(step == Step::Mail ? Step::Upload : Step::Mail);  // not under way
            if (step == row.abandonDuring)
                sequence.abandon();
            sequence.stepEnded(step);
            if (step == row.abandonDuring)
                break;
        }
        EXPECT_FALSE(sequence.running());
        EXPECT_EQ(actions.steps, row.expected);
        const std::vector<WatchEvent>& events = actions.events;
        const bool over = row.abandonDuring == Step::None;
        ASSERT_EQ(events.size(), over ? 2u : 1u);
        EXPECT_EQ(events.front().count, 412);
        EXPECT_EQ(events.back().kind, over ? WatchEvent::Kind::AlarmOver : WatchEvent::Kind::Alarm);
    }
}

}  // namespace
