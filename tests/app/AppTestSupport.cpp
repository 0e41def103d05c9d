#include "tests/app/AppTestSupport.h"

#include "app/AppFonts.h"
#include "app/MessageBox.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "settings/IniAccess.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>

#include <chrono>

void ensureApplication()
{
    static const bool made = [] {
        lastingApplication<QApplication>();
        useFontsFor(UiLanguage::Japanese);
        return true;
    }();
    (void)made;
}

// Runs `check` inside the next modal dialog, then closes that dialog. The
// dialog may run events before it turns modal, so look until it has.
void whileModal(const std::function<void(QWidget*)>& check, bool* seen)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, check, seen] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        poll->stop();
        poll->deleteLater();
        *seen = true;
        check(dialog);
        dialog->close();
    });
    poll->start();
}

PaintedTexts::PaintedTexts(QLabel* label) : label_(label)
{
    label->installEventFilter(this);
}

qint64 PaintedTexts::timeOf(const QString& text) const
{
    for (const auto& [painted, when] : painted_)
        if (painted == text)
            return when;
    return -1;
}

bool PaintedTexts::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint && (painted_.isEmpty() || painted_.last().first != label_->text()))
        painted_.append({label_->text(), QDateTime::currentMSecsSinceEpoch()});
    return false;
}

void MainWindowFixture::SetUp()
{
    ensureApplication();
    useTestLanguage("ja");
    ASSERT_TRUE(home.isValid());
    Settings = SettingsRecord{};
    setPreferredCamera(QStringLiteral("demo"));
    setDemoSceneClock([this] { return sceneMs.load(); });
    setMessageBoxHandler([this](QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text) {
        messages.push_back({icon, title, text});
    });
}

void MainWindowFixture::TearDown()
{
    window.reset();
    setMessageBoxHandler({});
    setDemoSceneClock({});
    setPreferredCamera(QString());
    setDriverEnumerator({});
}

void MainWindowFixture::startWindow()
{
    window = std::make_unique<frmSw_Mail>();
    ASSERT_EQ(window->startUp(), frmSw_Mail::StartResult::Ready);
    window->show();
}

void MainWindowFixture::showScene(int64_t ms)
{
    sceneMs = ms;
    // The frame after the latest one may have been rendered before the change;
    // the one after that was begun after the latest came out, so after the change.
    uint64_t latest = 0;
    hCapWnd->latestFrame(&latest);
    ASSERT_TRUE(hCapWnd->waitForFrameAfter(latest + 1, std::chrono::seconds(10)));
}

void MainWindowFixture::tickAt(int64_t ms)
{
    showScene(ms);
    // A tick comes from the event loop, which has laid out and painted what the last one changed.
    QCoreApplication::processEvents();
    window->watcher().Timer1_Timer();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->watcher().isAlarmRunning(); }, 120000));
}

// Read afresh each time, with the program's own reader of the file.
QString MainWindowFixture::storedValue(const QString& section, const QString& key) const
{
    QString value;
    ReadIniString(section, key, QStringLiteral("<no key>"), value, 200, home.filePath(QStringLiteral("houndly.ini")));
    return value;
}
