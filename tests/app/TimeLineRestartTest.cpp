#include "tests/app/AppTestSupport.h"

#include "app/PictureBox.h"
#include "detect/TimeLine.h"
#include "detect/TimeLineFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

namespace {

constexpr int64_t kCalm = 1000;
constexpr int64_t kIntruder = 28000;

// The colours of column x of the chart on screen, from the base line up.
std::vector<QRgb> column(const QImage& chart, int x)
{
    std::vector<QRgb> colours;
    for (int y = TimeLine::kBaseY; y >= TimeLine::kTopY; --y)
        colours.push_back(chart.pixel(x, y));
    return colours;
}

QJsonObject keptSlot(const QDateTime& start, int top, const QString& level)
{
    return {{QStringLiteral("start"), start.toOffsetFromUtc(start.offsetFromUtc()).toString(Qt::ISODateWithMs)},
            {QStringLiteral("bars"), QJsonArray{QJsonArray{top, level}}}};
}

}  // namespace

class TimeLineRestartTest : public MainWindowFixture {
protected:
    QImage chart() const { return window->picSideScope->picTimeLine->image(); }
    void restart()
    {
        window->close();
        window.reset();
        startWindow();
    }
};

// The bars of the last day come back after a restart, each in its slot; older
// ones are not drawn again, and a file damaged meanwhile gives an empty chart.
TEST_F(TimeLineRestartTest, BarsOfTheLastDaySurviveARestart)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime dayOld = TimeLine::slotStart(now.addSecs(-24 * 3600 - 15 * 60));
    const QDateTime recent = TimeLine::slotStart(now.addSecs(-23 * 3600));
    const QJsonObject kept{{QStringLiteral("slots"), QJsonArray{keptSlot(dayOld, 5, QStringLiteral("Alarm")),
                                                                keptSlot(recent, 45, QStringLiteral("Doubt"))}}};
    writeFileBytes(home.filePath(QStringLiteral("timeline.json")), QJsonDocument(kept).toJson());
    Settings.COM.TIMER = 50;
    Settings.COM.CKSUM = 10;
    ASSERT_TRUE(sSaveSettings());
    startWindow();
    const int oldX = TimeLine::slotX(dayOld.time()), recentX = TimeLine::slotX(recent.time());
    EXPECT_EQ(column(chart(), oldX), std::vector<QRgb>(86, qRgb(0, 0, 0)));
    EXPECT_EQ(chart().pixel(recentX, TimeLine::kBaseY), qRgb(255, 255, 0));
    EXPECT_EQ(chart().pixel(recentX, 45), qRgb(0, 0, 0));

    tickAt(kCalm);
    tickAt(kCalm + 400);
    tickAt(kIntruder);  // an alarm: a full red bar
    const int x = window->camera->timeLine().lastColumn();
    tickAt(kIntruder + 500);
    std::vector<QRgb> full(86, qRgb(255, 0, 0));
    full.back() = qRgb(0, 0, 0);  // the highest bar top is left out
    ASSERT_EQ(column(chart(), x), full);
    const QImage before = chart();
    restart();
    EXPECT_EQ(chart(), before);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(home.filePath(QStringLiteral("timeline.json"))).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    // Damaged while the program is not running.
    window->close();
    window.reset();
    writeFileBytes(home.filePath(QStringLiteral("timeline.json")), "{\"slots\":[{\"start\":");
    startWindow();
    for (int slotColumn = TimeLine::kFirstX; slotColumn < TimeLine::kFirstX + TimeLine::kSlots; ++slotColumn)
        ASSERT_EQ(column(chart(), slotColumn), std::vector<QRgb>(86, qRgb(0, 0, 0))) << slotColumn;
    EXPECT_TRUE(messages.empty());
}
