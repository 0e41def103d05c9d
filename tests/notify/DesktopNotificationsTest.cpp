// Desktop notifications from the main window, on a private session bus with a
// notification service of the test's own: one per alarm with its snapshot, a
// click shows the history window, and a desktop without the service loses nothing.
#include "history/frmHistory.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/StandardError.h"
#include "watch/WatchEvents.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <vector>

namespace {

const QString kService = "org.freedesktop.Notifications";
const QString kPath = "/org/freedesktop/Notifications";

// Takes the notifications it is sent, numbering them from 1.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString summary;
        QStringList actions;
        QVariantMap hints;
    };
    std::vector<Shown> shown;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString&, const QStringList& actions,
                const QVariantMap& hints, int)
    {
        shown.push_back({summary, actions, hints});
        return uint(shown.size());
    }
};

class DesktopNotificationsTest : public MainWindowFixture {
protected:
    // Before the application: the session bus is this one for the whole program.
    static void SetUpTestSuite()
    {
        folder = std::make_unique<QTemporaryDir>();
        const QString config = folder->filePath("bus.conf");
        // No service folders: nothing is started for a name nobody owns.
        writeFileBytes(config, QString("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                       "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                       "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                                   .arg(folder->path())
                                   .toUtf8());
        bus = std::make_unique<QProcess>();
        bus->start("timeout", {"120", "dbus-daemon", "--nofork", "--print-address", "--config-file=" + config});
        if (bus->waitForReadyRead(10000))
            address = QString::fromUtf8(bus->readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    static void TearDownTestSuite()
    {
        bus->terminate();  // timeout passes it on
        bus->waitForFinished();
        bus.reset();
        folder.reset();
    }

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_FALSE(address.isEmpty()) << "dbus-daemon did not start";
        serverBus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "notification-server"));
        ASSERT_TRUE(serverBus->registerObject(kPath, &server, QDBusConnection::ExportAllSlots));
    }
    void TearDown() override
    {
        serverBus.reset();
        QDBusConnection::disconnectFromBus("notification-server");
        MainWindowFixture::TearDown();
    }

    // One alarm as the watcher tells it, with two snapshots.
    void alarm()
    {
        const WatchEvents& events = window->watcher().events();
        events.tell({.kind = WatchEvent::Kind::Alarm, .alarmCount = 10, .alarmTime = QDateTime::currentDateTime()});
        for (const char* name : {"img/1_ALERT.jpg", "img/2_ALERT.jpg"})
            events.tell({.kind = WatchEvent::Kind::Snapshot, .name = home.filePath(QString::fromLatin1(name))});
        events.tell({.kind = WatchEvent::Kind::AlarmOver});
    }
    void click(uint id)
    {
        QDBusMessage clicked = QDBusMessage::createSignal(kPath, kService, "ActionInvoked");
        clicked << id << QString("default");
        ASSERT_TRUE(serverBus->send(clicked));
    }
    bool historyShown() const
    {
        const auto* history = window->findChild<frmHistory*>();
        return history != nullptr && history->isVisible();
    }

    static inline std::unique_ptr<QTemporaryDir> folder;
    static inline std::unique_ptr<QProcess> bus;
    static inline QString address;
    NotificationServer server;
    std::unique_ptr<QDBusConnection> serverBus;
};

TEST_F(DesktopNotificationsTest, OneForEachAlarmWithItsSnapshotAClickShowsTheHistoryAndNoServiceLosesNothing)
{
    startWindow();
    ASSERT_TRUE(serverBus->registerService(kService));
    alarm();
    QTest::qWait(300);
    EXPECT_TRUE(server.shown.empty()) << "NOTIFY off";

    Settings.EXT.NOTIFY = true;
    alarm();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !server.shown.empty(); }, 10000));
    QTest::qWait(300);
    ASSERT_EQ(server.shown.size(), 1u);
    EXPECT_EQ(server.shown[0].hints.value("image-path").toString(), QUrl::fromLocalFile(home.filePath("img/1_ALERT.jpg")).toString());
    EXPECT_TRUE(server.shown[0].summary.startsWith("Houndly")) << server.shown[0].summary.toStdString();
    EXPECT_EQ(server.shown[0].actions.value(0), "default") << "what a click on it invokes";

    // Only a click on one of ours shows the history.
    click(7);
    QTest::qWait(300);
    EXPECT_FALSE(historyShown());
    click(1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return historyShown(); }, 10000));

    // Of ours only the newest 100 are remembered: a click on an older one does nothing.
    window->findChild<frmHistory*>()->hide();
    for (int more = 0; more < 100; ++more)
        alarm();
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.shown.size() == 101u; }, 10000));
    click(1);
    QTest::qWait(300);
    EXPECT_FALSE(historyShown());

    // Without the service the alarm runs its course and says why, once.
    ASSERT_TRUE(serverBus->unregisterService(kService));
    const QByteArray told = standardErrorOf([this] {
        alarm();
        QTest::qWait(500);
    });
    EXPECT_EQ(told.count("houndly: no desktop notification: "), 1) << told.constData();
    EXPECT_EQ(server.shown.size(), 101u);
}

}  // namespace

#include "DesktopNotificationsTest.moc"
