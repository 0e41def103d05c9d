#include "tests/app/AppTestSupport.h"

#include "app/PictureBox.h"
#include "capture/CapturePreview.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "detect/MaskFile.h"
#include "detect/TimeLine.h"
#include "settings/SettingsSaveReport.h"
#include "tests/support/LoopbackAccounts.h"
#include "tests/support/NamedWidgets.h"
#include "tests/support/StandardError.h"
#include "web/WebAccount.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>

#include <set>

using MainWindowTest = MainWindowFixture;

namespace {

using Controls = std::set<QObject*>;

// Every widget and menu item of the window that is disabled. A hidden menu item
// always reads as disabled, so the compression item is shown first.
Controls disabledControls(const frmSw_Mail& window)
{
    window.menu.mnu_comp->setVisible(true);
    Controls disabled;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (widget->testAttribute(Qt::WA_Disabled))
            disabled.insert(widget);
    for (QAction* action : window.findChildren<QAction*>())
        if (!action->isEnabled())
            disabled.insert(action);
    return disabled;
}

Controls without(Controls all, const Controls& removed)
{
    std::erase_if(all, [&](QObject* control) { return removed.count(control) > 0; });
    return all;
}

// What sDispEnabled locks.
Controls commandControls(const frmSw_Mail& window)
{
    const CommandPanel& panel = *window.picSideWindow;
    const MainMenu& menu = window.menu;
    return {panel.cmd_Sound,        panel.bcmd_SendMail,  panel.bcmd_VideoSetting, panel.bcmd_VideoSetting2,
            panel.bcmd_MailSetting, panel.bcmd_SendMailA, panel.bcmd_Ftp,          panel.bcmd_End,
            panel.cmdKenchi,        panel.optPrv[0],      panel.optPrv[1],         menu.mnu_sound,
            menu.mnu_send,          menu.mnu_vdriver,     menu.mnu_vdriver2,       menu.mnu_comp,
            menu.mnu_Drive,         menu.mnu_sendA,       menu.mnu_mail,           menu.mnu_Ftp,
            menu.mnu_end,           menu.mnu_ext};
}

}  // namespace

// The start removes what a killed run left behind.
TEST_F(MainWindowTest, StartUpTidiesTheFolderShowsTheSettingsAndWatches)
{
    const QString leftOver = writeFileBytes(home.filePath(QStringLiteral("houndly.ini.Ab3dE9")), "PASS=secret");
    const struct {
        QByteArray ini;
        QString count;
        int timer, accuracy;
        bool noise;
        QString soundPanel;
        bool compression;
    } cases[] = {
        {"", "100", 20, 1, false, "警告音: なし", false},
        {"[COM]\r\nTIMER=5\r\nCKSUM=250\r\nSOUND=bark.wav\r\nACCURACY=40\r\nNOIZE=1\r\nCOMP=ON\r\n", "250", 5, 40,
         true, "警告音: bark.wav", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count.toStdString());
        window.reset();
        if (!c.ini.isEmpty())
            writeFileBytes(home.filePath(QStringLiteral("houndly.ini")), c.ini);
        bool compressionAtStart = false;
        if (c.compression)
            whileModal([](QWidget*) {}, &compressionAtStart);
        startWindow();
        const CommandPanel& panel = *window->picSideWindow;
        EXPECT_EQ(compressionAtStart, c.compression);
        EXPECT_EQ(window->menu.mnu_comp->isVisible(), c.compression);
        EXPECT_EQ(panel.txtCKData->text(), c.count);
        EXPECT_EQ(panel.SliderCKTime->value(), c.timer);
        EXPECT_EQ(panel.SliderSeido->value(), c.accuracy);
        EXPECT_EQ(panel.ckNoize->isChecked(), c.noise);
        EXPECT_EQ(window->StatusBarPanel(4)->text(), c.soundPanel);
        EXPECT_EQ(window->watcher().Timer1->interval(), c.timer * 100);
        EXPECT_TRUE(window->watcher().Timer1->isActive() && hCapWnd->previewing());
    }
    EXPECT_FALSE(QFile::exists(leftOver));
}

TEST_F(MainWindowTest, EachStateLocksItsControls)
{
    startWindow();
    CommandPanel& panel = *window->picSideWindow;
    const Controls before = disabledControls(*window);
    window->sDispEnabled(false);
    EXPECT_EQ(without(disabledControls(*window), before), commandControls(*window));
    window->sDispEnabled(true);
    EXPECT_EQ(disabledControls(*window), before);

    // Stopped: the switch and the exit commands stay usable. Editing the alarm
    // count: its button and box only.
    const struct {
        QPushButton* enter;
        QPushButton* leave;
        Controls usable;
    } states[] = {
        {panel.optPrv[1], panel.optPrv[0], {panel.optPrv[0], panel.optPrv[1], panel.bcmd_End, window->menu.mnu_end}},
        {panel.cmdKenchi, panel.cmdKenchi, {panel.cmdKenchi, panel.txtCKData}},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.enter->text().toStdString());
        QTest::mouseClick(state.enter, Qt::LeftButton);
        EXPECT_FALSE(hCapWnd->previewing());
        // A tick queued before the pause returns early and does not re-arm the timer.
        window->watcher().Timer1->start(1000);
        window->watcher().Timer1_Timer();
        EXPECT_FALSE(window->watcher().Timer1->isActive());
        Controls lockable = commandControls(*window);
        lockable.insert(panel.txtCKData);
        EXPECT_EQ(without(lockable, disabledControls(*window)), state.usable);
        QTest::mouseClick(state.leave, Qt::LeftButton);
        EXPECT_TRUE(window->watcher().Timer1->isActive());
        EXPECT_TRUE(hCapWnd->previewing());
        EXPECT_EQ(disabledControls(*window), before);
    }
}

// An alarm whose mail a server holds: as described every command is locked
// until it is over; watching through it (KEEPWATCH) they stay usable but for
// the mail settings its mail thread reads, and a panel tells what still runs.
TEST_F(MainWindowTest, AnAlarmLocksTheCommandsUnlessWatchingGoesOnThroughIt)
{
    ServerProcess smtp(QStringLiteral("smtp_server.py"), {QStringLiteral("--record"), home.filePath(QStringLiteral("smtp.jsonl")),
                                                          QStringLiteral("--delay"), QStringLiteral("3")});
    ASSERT_GT(smtp.port(), 0);
    startWindow();
    useLoopbackAccounts(smtp.port(), closedLoopbackPort());
    Settings.TRG[0] = {QStringLiteral("True"), QStringLiteral("owner@example.net"), QStringLiteral("警報"), {}, 0, 0, {}, 0};
    Settings.COM.TIMER = 50;  // Timer1 does not tick by itself between the test's ticks
    Settings.COM.CKSUM = 10;
    const CommandPanel& panel = *window->picSideWindow;
    const Controls mailSettings = {panel.bcmd_MailSetting, panel.bcmd_SendMailA, window->menu.mnu_mail,
                                   window->menu.mnu_sendA};
    const auto locked = [this] {
        const Controls disabled = disabledControls(*window);
        return without(commandControls(*window), without(commandControls(*window), disabled));
    };
    int64_t loop = 0;
    for (const bool keepWatching : {false, true}) {
        SCOPED_TRACE(keepWatching ? "watching through" : "as described");
        Settings.EXT.KEEPWATCH = keepWatching;
        tickAt(kCalm + loop);
        showScene(kIntruder + loop);
        window->watcher().Timer1_Timer();
        ASSERT_TRUE(window->watcher().isAlarmRunning());
        EXPECT_EQ(locked(), keepWatching ? mailSettings : commandControls(*window));
        EXPECT_EQ(window->alarmPanel->isVisible(), keepWatching);
        EXPECT_TRUE(!keepWatching || window->alarmPanel->text() == QStringLiteral("警報: ﾒｰﾙ送信中･･･"));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window->watcher().isAlarmRunning(); }, 30000));
        EXPECT_EQ(locked(), Controls{});
        EXPECT_FALSE(window->alarmPanel->isVisible());
        loop += kSceneLoop;
    }
}

TEST_F(MainWindowTest, DetectionControlsStoreAtOnceAndClosingSaves)
{
    startWindow();
    CommandPanel& panel = *window->picSideWindow;
    panel.SliderCKTime->setValue(5);
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("TIMER")), QStringLiteral("5"));
    EXPECT_EQ(panel.SliderCKTime->toolTip(), QStringLiteral("0.5秒"));
    panel.SliderSeido->setValue(77);
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("ACCURACY")), QStringLiteral("77"));
    EXPECT_EQ(panel.SliderSeido->toolTip(), QStringLiteral("77"));
    const QString noiseOff = storedValue(QStringLiteral("COM"), QStringLiteral("NOIZE"));
    QTest::mouseClick(panel.ckNoize, Qt::LeftButton);
    EXPECT_TRUE(Settings.COM.NOIZE);
    EXPECT_NE(storedValue(QStringLiteral("COM"), QStringLiteral("NOIZE")), noiseOff);

    // The alarm count: what is typed replaces it, keys filtered, stored on confirming.
    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    EXPECT_TRUE(window->watcher().SkipCompare);
    QTest::keyClicks(panel.txtCKData, QStringLiteral("12a3"));
    QTest::keyClick(panel.txtCKData, Qt::Key_Backspace);
    QTest::keyClicks(panel.txtCKData, QStringLiteral("45"));
    EXPECT_EQ(panel.txtCKData->text(), QStringLiteral("1245"));
    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("CKSUM")), QStringLiteral("1245"));
    // A pasted non-number confirms as the default count.
    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    panel.txtCKData->setText(QStringLiteral("12x"));
    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    EXPECT_EQ(Settings.COM.CKSUM, 100);

    // Closing stops the camera and saves; an upload script left by a killed run goes.
    const QString leftOver = writeFileBytes(home.filePath(QStringLiteral("FTP_PUT.txt")), "PASS secret");
    Settings.COM.CKSUM = 321;
    window->close();
    EXPECT_TRUE(window->isClosing());
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("CKSUM")), QStringLiteral("321"));
    EXPECT_FALSE(QFile::exists(leftOver));
    EXPECT_FALSE(hCapWnd->isConnected());
    EXPECT_FALSE(window->watcher().Timer1->isActive());
}

// A settings file that cannot be read is named in one message box and left as
// it is. The start without a camera is the process test's.
TEST_F(MainWindowTest, AStartThatCannotReadTheSettingsSaysWhy)
{
    const QString ini = home.filePath(QStringLiteral("houndly.ini"));
    QFile::remove(ini);
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("houndly.ini")));
    window = std::make_unique<frmSw_Mail>();
    EXPECT_EQ(window->startUp(), frmSw_Mail::StartResult::SettingsUnreadable);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(messages[0].title, QStringLiteral("Tarnwell Houndly"));
    EXPECT_EQ(messages[0].text,
              QStringLiteral("設定ﾌｧｲﾙを読み込めません。\n%1\nﾌｧｲﾙではなくﾌｫﾙﾀﾞです。\nﾌｧｲﾙはそのままにして終了します。").arg(ini));
    EXPECT_TRUE(QFileInfo(ini).isDir());
}

// Every control and dialog that saves tells a failed save where the user sees it.
TEST_F(MainWindowTest, EverySaverTellsAFailedSave)
{
    startWindow();
    Settings.MAIL.MAIL = QStringLiteral("guard@example.org");
    Settings.MAIL.SMTP = QStringLiteral("127.0.0.1\t25");
    Settings.MAIL.ATT = QStringLiteral("0");
    CommandPanel& panel = *window->picSideWindow;
    const auto okIn = [](QAction* command) {
        return [command] {
            bool seen = false;
            whileModal([](QWidget* dialog) { clickNamed(*dialog, "bcmdOK"); }, &seen);
            command->trigger();
            EXPECT_TRUE(seen) << command->text().toStdString();
        };
    };
    const std::pair<const char*, std::function<void()>> savers[] = {
        {"timing", [&] { panel.SliderCKTime->setValue(panel.SliderCKTime->value() % 50 + 1); }},
        {"sensitivity", [&] { panel.SliderSeido->setValue(panel.SliderSeido->value() % 100 + 1); }},
        {"noise", [&] { QTest::mouseClick(panel.ckNoize, Qt::LeftButton); }},
        {"alarm count",
         [&] {
             QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
             QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
         }},
        {"sound dialog", okIn(window->menu.mnu_sound)},
        {"mail account dialog", okIn(window->menu.mnu_mail)},
        {"automatic mail dialog", okIn(window->menu.mnu_sendA)},
        {"FTP dialog", okIn(window->menu.mnu_Ftp)},
        {"options dialog", okIn(window->menu.mnu_ext)},
    };
    const QString ini = home.filePath(QStringLiteral("houndly.ini"));
    for (const auto& [what, save] : savers) {
        // A folder in its place: the file can be neither read nor replaced.
        ASSERT_TRUE(QFile::remove(ini) && QDir().mkdir(ini)) << what;
        const size_t before = messages.size();
        save();
        ASSERT_EQ(messages.size(), before + 1) << what;
        EXPECT_EQ(messages.back().icon, QMessageBox::Warning) << what;
        EXPECT_TRUE(messages.back().text.contains(QStringLiteral("設定ファイルを保存できません: ") + ini)) << what;
        // A save that succeeds lets the next failure be told.
        ASSERT_TRUE(QDir().rmdir(ini) && sSaveSettingsReported()) << what;
    }
}

// A restart brings back the bars of the chart, from a file the user alone reads;
// a stored camera file that is gone falls back to the search and stays stored.
TEST_F(MainWindowTest, ARestartKeepsTheChartAndAStoredCameraFileThatIsGone)
{
    Settings.COM.TIMER = 50;
    Settings.COM.CKSUM = 10;
    const QString gone = home.filePath(QStringLiteral("garden.mp4"));
    Settings.EXT.CAMERA = gone;
    ASSERT_TRUE(sSaveSettings());
    startWindow();
    tickAt(kCalm);
    tickAt(kCalm + 400);
    tickAt(kIntruder);  // an alarm, a full red bar
    const int x = window->watcher().timeLine().lastColumn();
    const QImage before = window->picSideScope->picTimeLine->image();
    ASSERT_EQ(before.pixel(x, TimeLine::kTopY + 1), qRgb(255, 0, 0));
    window->close();
    window.reset();

    // A start with no --camera and no HOUNDLY_CAMERA, from what is on disk.
    setDriverEnumerator([] {
        return std::vector<DriverEntry>{{QStringLiteral("room"), [] { return std::make_unique<DemoDriver>(); }}};
    });
    Settings = SettingsRecord{};
    setPreferredCamera(QString());
    startWindow();
    EXPECT_EQ(window->picSideScope->picTimeLine->image(), before);
    EXPECT_EQ(QFileInfo(home.filePath(QStringLiteral("timeline.json"))).permissions() & 0x0077, 0);
    EXPECT_EQ(hCapWnd->driverName(), QStringLiteral("room"));
    EXPECT_EQ(hCapWnd->driverIndex(), 1);
    window->close();
    EXPECT_EQ(storedValue(QStringLiteral("EXT"), QStringLiteral("CAMERA")), gone);
}

// The options dialog, driven as a user would: Cancel keeps the options, OK stores and saves them;
// the mask editor's OK turns the mask on and ticks the dialog's box.
TEST_F(MainWindowTest, OptionsDialogStoresAndSavesOnOkOnly)
{
    startWindow();
    Settings.EXT = {};
    Settings.EXT.CAMERA = QStringLiteral("demo");
    Settings.EXT.PRETIME = 4;
    Settings.EXT.BGUPLOAD = true;
    Settings.EXT.KEEPMB = 500;
    Settings.EXT.LANG = QStringLiteral("ja");
    Settings.EXT.MQTTPASS = QStringLiteral("old");
    Settings.EXT.WEBUSER = QStringLiteral("owner");
    Settings.EXT.WEBHASH = makeWebHash(Settings.EXT.WEBUSER, "old");
    for (const char* button : {"bcmdCancel", "bcmdOK"}) {
        SCOPED_TRACE(button);
        bool seen = false;
        whileModal(
            [this, button](QWidget* dialog) {
                EXPECT_EQ(namedChild<QSpinBox>(*dialog, "spinPreTime")->value(), 4);
                EXPECT_TRUE(namedChild<QCheckBox>(*dialog, "ckBgUpload")->isChecked());
                EXPECT_EQ(namedChild<QSpinBox>(*dialog, "spinKeepMb")->value(), 500);
                // The passwords never show; the web view's is not even known.
                const auto* webPassword = namedChild<QLineEdit>(*dialog, "txtWebPassword");
                EXPECT_TRUE(webPassword->text().isEmpty() && webPassword->echoMode() == QLineEdit::Password);
                auto* language = namedChild<QComboBox>(*dialog, "cmboLang");
                EXPECT_EQ(language->currentData(), QStringLiteral("ja"));
                language->setCurrentIndex(language->findData(QStringLiteral("en")));
                namedChild<QSpinBox>(*dialog, "spinPreTime")->setValue(99);  // held to 10
                clickNamed(*dialog, "ckBgUpload");
                clickNamed(*dialog, "ckLightCut");
                clickNamed(*dialog, "ckKeepWatch");
                clickNamed(*dialog, "ckNotify");
                namedChild<QSpinBox>(*dialog, "spinKeepMb")->setValue(2048);
                namedChild<QSpinBox>(*dialog, "spinKeepDays")->setValue(30);
                namedChild<QLineEdit>(*dialog, "txtOnAlarm")->setText(QStringLiteral("'/opt/my tools/bark' -n \"x y\""));
                namedChild<QLineEdit>(*dialog, "txtOnAlarmOver")->setText(QStringLiteral("calm"));
                if (button == std::string_view("bcmdOK")) {
                    bool edited = false;
                    whileModal([](QWidget* editor) { clickNamed(*editor, "bcmdOK"); }, &edited);
                    clickNamed(*dialog, "cmdMask");
                    EXPECT_TRUE(edited);
                    EXPECT_TRUE(namedChild<QCheckBox>(*dialog, "ckMask")->isChecked());
                }
                clickNamed(*dialog, "ckMask");  // and the box has the last word
                namedChild<QSpinBox>(*dialog, "spinWebPort")->setValue(8080);
                namedChild<QLineEdit>(*dialog, "txtWebUser")->setText(QStringLiteral("own:er"));
                namedChild<QLineEdit>(*dialog, "txtWebPassword")->setText(QStringLiteral("two words"));
                if (button == std::string_view("bcmdOK")) {
                    // A name the web view cannot use keeps the dialog open and stores nothing.
                    clickNamed(*dialog, button);
                    EXPECT_TRUE(dialog->isVisible());
                    EXPECT_EQ(messages.size(), 1u);
                    EXPECT_EQ(Settings.EXT.WEBPORT, 0);
                    namedChild<QLineEdit>(*dialog, "txtWebUser")->setText(QStringLiteral("owner"));
                }
                namedChild<QComboBox>(*dialog, "cmboFtpMode")->setCurrentIndex(2);
                const auto* mqttPassword = namedChild<QLineEdit>(*dialog, "txtMqttPassword");
                EXPECT_TRUE(mqttPassword->text() == QStringLiteral("old") && mqttPassword->echoMode() == QLineEdit::Password);
                namedChild<QLineEdit>(*dialog, "txtMqtt")->setText(QStringLiteral(" 192.168.1.10 1884 "));
                namedChild<QLineEdit>(*dialog, "txtMqttUser")->setText(QStringLiteral("hub"));
                namedChild<QLineEdit>(*dialog, "txtMqttPassword")->setText(QStringLiteral("secret"));
                clickNamed(*dialog, "ckMqttTls");
                namedChild<QLineEdit>(*dialog, "txtMqttTopic")->setText(QStringLiteral("home/yard"));
                clickNamed(*dialog, button);
            },
            &seen);
        window->menu.mnu_ext->trigger();
        ASSERT_TRUE(seen);
    }
    const QByteArray stored = readFileBytes(home.filePath(QStringLiteral("houndly.ini")));
    EXPECT_TRUE(stored.contains("[EXT]\nCAMERA=demo\nPRETIME=10\nBGUPLOAD=False\nLIGHTCUT=True\nKEEPMB=2048\n"
                                "KEEPDAYS=30\nKEEPWATCH=True\nMASK=False\nLANG=en\n"))
        << stored.constData();
    EXPECT_TRUE(stored.contains("\nONALARM='/opt/my tools/bark' -n \"x y\"\nONALARMOVER=calm\n")) << stored.constData();
    EXPECT_TRUE(stored.contains("\nNOTIFY=True\nFTPMODE=SFTP\n")) << stored.constData();
    EXPECT_TRUE(stored.contains("\nMQTT=192.168.1.10 1884\nMQTTUSER=hub\nMQTTPASS=rdbqds\nMQTTTLS=True\nMQTTTOPIC=home/yard\n"))
        << stored.constData();
    EXPECT_TRUE(stored.contains("\nWEBPORT=8080\n")) << stored.constData();
    const std::optional<WebAccount> account = webAccountOf(Settings.EXT.WEBUSER, Settings.EXT.WEBHASH);
    ASSERT_TRUE(account.has_value());
    EXPECT_EQ(account->user, QStringLiteral("owner"));
    EXPECT_TRUE(passwordMatches(*account, "two words"));
}

// A mask that cannot be used never stops watching: the status bar, standard
// error and the history say why, once; mended, the next resume watches with it,
// and what it ignores is tinted on the live picture and the scope while it is on.
TEST_F(MainWindowTest, AMaskThatCannotBeUsedIsToldOnceAndOneInUseIsTinted)
{
    const QString mask = home.filePath(QStringLiteral("mask.pgm"));
    writeFileBytes(home.filePath(QStringLiteral("houndly.ini")), "[EXT]\nMASK=True\n");
    writeFileBytes(mask, QByteArray("P5\n4 4\n255\n") + QByteArray(15, '\xFF'));
    const auto resume = [this] {
        bool seen = false;
        whileModal([](QWidget* dialog) { clickNamed(*dialog, "bcmdCancel"); }, &seen);
        window->menu.mnu_ext->trigger();
        EXPECT_TRUE(seen);
    };
    const QString why = maskProblemText(MaskProblem::ShortData);
    EXPECT_TRUE(standardErrorOf([this] { startWindow(); })
                    .contains(QStringLiteral("houndly: mask %1 not used: %2").arg(mask, why).toUtf8()));
    EXPECT_EQ(window->StatusBarPanel(1)->text(), maskProblemStatusText(MaskProblem::ShortData));
    EXPECT_EQ(window->watcher().maskSummary(), QStringLiteral("mask not used (%1)").arg(why));
    EXPECT_FALSE(standardErrorOf(resume).contains("mask")) << "told once";
    EXPECT_TRUE(window->watcher().Timer1->isActive());
    const QByteArray history = readFileBytes(home.filePath(QStringLiteral("history.log")));
    EXPECT_EQ(history.count("\"type\":\"mask\""), 1) << history.constData();
    EXPECT_TRUE(history.contains(why.toUtf8())) << history.constData();

    QImage quarterIgnored(2, 2, QImage::Format_Grayscale8);
    quarterIgnored.fill(255);
    quarterIgnored.setPixel(1, 1, 0);
    ASSERT_TRUE(writeMaskFile(mask, quarterIgnored));
    resume();
    EXPECT_EQ(window->watcher().maskSummary(), QStringLiteral("mask on, ignoring 25 % of the picture"));

    // Red over green where the bottom right quarter is ignored: the tint's colour.
    auto* live = window->camera->findChild<CapturePreview*>();
    PictureBox* scope = window->picSideScope->picScope;
    const auto redness = [](QWidget* picture, double x, double y) {
        const QRgb pixel = picture->grab().toImage().pixel(int(picture->width() * x), int(picture->height() * y));
        return qRed(pixel) - qGreen(pixel);
    };
    tickAt(kCalm);
    tickAt(kCalm);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->shownPicture().isNull(); }));
    EXPECT_GT(redness(scope, 0.75, 0.75), 40);
    EXPECT_LT(redness(scope, 0.25, 0.25), 20);
    const int tinted = redness(live, 0.75, 0.75);
    Settings.EXT.MASK = false;
    resume();
    tickAt(kCalm);
    EXPECT_LT(redness(scope, 0.75, 0.75), 20);
    EXPECT_GT(tinted, redness(live, 0.75, 0.75) + 30);
}

TEST_F(MainWindowTest, DialogCommandsSuspendAndResumeWatching)
{
    startWindow();
    const MainMenu& menu = window->menu;
    for (QAction* command : {menu.mnu_sound, menu.mnu_mail, menu.mnu_sendA, menu.mnu_Ftp, menu.mnu_ext, menu.mnu_send,
                             menu.mnu_Drive, menu.mnu_vdriver, menu.mnu_vdriver2}) {
        SCOPED_TRACE(command->text().toStdString());
        bool seen = false;
        whileModal(
            [this](QWidget*) {
                EXPECT_FALSE(window->watcher().Timer1->isActive());
                EXPECT_FALSE(hCapWnd->previewing());
                Settings.COM.SOUND = QStringLiteral("chime.wav");
            },
            &seen);
        command->trigger();
        EXPECT_TRUE(seen);
        EXPECT_TRUE(window->watcher().Timer1->isActive());
        EXPECT_TRUE(hCapWnd->previewing());
        // The panels follow what the dialog stored.
        EXPECT_EQ(window->StatusBarPanel(4)->text(), QStringLiteral("警告音: chime.wav"));
        Settings.COM.SOUND.clear();
    }
}

TEST_F(MainWindowTest, FormatAndScopeCommandsReshapeTheWindow)
{
    startWindow();
    bool seen = false;
    whileModal([](QWidget*) { hCapWnd->setFrameSize(QSize(320, 240)); }, &seen);
    QTest::mouseClick(window->picSideWindow->bcmd_VideoSetting, Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(window->StatusBarPanel(3)->text(), QStringLiteral("解像度: 320×240"));
    EXPECT_TRUE(window->watcher().SkipCompare);
    EXPECT_TRUE(window->watcher().Timer1->isActive());

    // The scope toggle hides the panel and widens the camera.
    const int narrow = window->cameraSubWindow->width();
    window->menu.mnu_scope->trigger();
    EXPECT_FALSE(window->picSideScope->isVisible());
    EXPECT_GT(window->cameraSubWindow->width(), narrow);
    window->menu.mnu_scope->trigger();
    EXPECT_TRUE(window->picSideScope->isVisible());
    EXPECT_EQ(window->cameraSubWindow->width(), narrow);
    QTest::mouseClick(window->picSideScope->cmdDisableScope, Qt::LeftButton);
    EXPECT_FALSE(window->picSideScope->isVisible());
}

// The desktop opens the folders; a missing log or a failing desktop is told.
TEST_F(MainWindowTest, FoldersAndLogOpenOnTheDesktopOrSayWhy)
{
    startWindow();
    std::vector<QUrl> opened;
    bool desktopWorks = true;
    window->setUrlOpener([&](const QUrl& url) {
        opened.push_back(url);
        return desktopWorks;
    });
    window->menu.mnu_img->trigger();
    window->menu.mnu_log->trigger();
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl::fromLocalFile(home.filePath(QStringLiteral("img")))});
    desktopWorks = false;
    writeFileBytes(home.filePath(QStringLiteral("mail.log.txt")), "");
    window->menu.mnu_log->trigger();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("mail.log.txt")));
    EXPECT_EQ(messages[1].icon, QMessageBox::Warning);
}
