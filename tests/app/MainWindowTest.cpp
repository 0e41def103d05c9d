#include "tests/app/AppTestSupport.h"

#include "app/CommandPanel.h"
#include "app/ScopePanel.h"
#include "app/SignalLamp.h"
#include "app/frm_Camera.h"
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "detect/SkipCompare.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <set>

using MainWindowTest = MainWindowFixture;

namespace {

// Every widget and menu item of the window that is disabled. A hidden menu item
// always reads as disabled, so the compression item is shown first.
std::set<QObject*> disabledControls(const frmSw_Mail& window)
{
    window.menu.mnu_comp->setVisible(true);
    std::set<QObject*> disabled;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (widget->testAttribute(Qt::WA_Disabled))
            disabled.insert(widget);
    for (QAction* action : window.findChildren<QAction*>())
        if (!action->isEnabled())
            disabled.insert(action);
    return disabled;
}

std::set<QObject*> difference(const std::set<QObject*>& after, const std::set<QObject*>& before)
{
    std::set<QObject*> result;
    for (QObject* object : after)
        if (!before.count(object))
            result.insert(object);
    return result;
}

}  // namespace

TEST_F(MainWindowTest, StartUpShowsTheSettingsAndWatches)
{
    startWindow();
    const CommandPanel& panel = *window->picSideWindow;
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Houndly(Ver 1.1.0)"));
    EXPECT_EQ(panel.txtCKData->text(), QStringLiteral("100"));
    EXPECT_FALSE(panel.txtCKData->isEnabled());
    EXPECT_EQ(panel.SliderCKTime->value(), 20);
    EXPECT_EQ(panel.SliderSeido->value(), 1);
    EXPECT_FALSE(panel.ckNoize->isChecked());
    EXPECT_TRUE(panel.optPrv[0]->isChecked());
    EXPECT_EQ(panel.cmdKenchi->text(), QStringLiteral("変更(&K)"));
    EXPECT_FALSE(window->menu.mnu_comp->isVisible());

    EXPECT_EQ(window->StatusBarPanel(1)->text(), QString());
    EXPECT_EQ(window->StatusBarPanel(2)->text(), QString());
    EXPECT_EQ(window->StatusBarPanel(3)->text(), QStringLiteral("解像度: 640×480"));
    EXPECT_EQ(window->StatusBarPanel(4)->text(), QStringLiteral("警告音: なし"));
    EXPECT_EQ(window->StatusBarPanel(5)->text(), QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ未設定"));
    EXPECT_TRUE(window->StatusBarPanel(5)->isVisible());

    EXPECT_TRUE(window->camera->Timer1->isActive());
    EXPECT_EQ(window->camera->Timer1->interval(), 2000);
    EXPECT_FALSE(window->camera->Timer2->isActive());
    EXPECT_TRUE(hCapWnd->previewing());
    EXPECT_TRUE(window->cameraSubWindow->isVisible());
    EXPECT_TRUE(window->picSideScope->isVisible());
    EXPECT_TRUE(window->picSideScope->signal[0]->isLit());
    EXPECT_FALSE(window->picSideScope->signal[1]->isLit());
    EXPECT_EQ(window->picSideScope->lblTime->text(), QStringLiteral("00:00:00"));
}

TEST_F(MainWindowTest, StartUpTakesStoredSettingsAndOpensCompressionWhenAsked)
{
    QFile ini(home.filePath(QStringLiteral("houndly.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[COM]\r\nTIMER=5\r\nCKSUM=250\r\nSOUND=bark.wav\r\nACCURACY=40\r\nNOIZE=1\r\nCOMP=ON\r\n");
    ini.close();
    bool dialogAtStart = false;
    whileModal([](QWidget*) {}, &dialogAtStart);
    startWindow();
    EXPECT_TRUE(dialogAtStart);
    EXPECT_TRUE(window->menu.mnu_comp->isVisible());
    EXPECT_EQ(window->picSideWindow->txtCKData->text(), QStringLiteral("250"));
    EXPECT_EQ(window->picSideWindow->SliderCKTime->value(), 5);
    EXPECT_EQ(window->picSideWindow->SliderSeido->value(), 40);
    EXPECT_TRUE(window->picSideWindow->ckNoize->isChecked());
    EXPECT_EQ(window->StatusBarPanel(4)->text(), QStringLiteral("警告音: bark.wav"));
    EXPECT_EQ(window->camera->Timer1->interval(), 500);
    EXPECT_TRUE(window->camera->Timer1->isActive());
}

TEST_F(MainWindowTest, DispEnabledTouchesExactlyTheCommandControls)
{
    startWindow();
    const CommandPanel& panel = *window->picSideWindow;
    const MainMenu& menu = window->menu;
    const std::set<QObject*> expected = {
        panel.cmd_Sound,     panel.bcmd_SendMail,  panel.bcmd_VideoSetting, panel.bcmd_VideoSetting2,
        panel.bcmd_MailSetting, panel.bcmd_SendMailA, panel.bcmd_Ftp,     panel.bcmd_End,
        panel.cmdKenchi,     panel.optPrv[0],      panel.optPrv[1],       menu.mnu_sound,
        menu.mnu_send,       menu.mnu_vdriver,     menu.mnu_vdriver2,     menu.mnu_comp,
        menu.mnu_Drive,      menu.mnu_sendA,       menu.mnu_mail,         menu.mnu_Ftp,
        menu.mnu_end};
    const std::set<QObject*> before = disabledControls(*window);
    window->sDispEnabled(false);
    EXPECT_EQ(difference(disabledControls(*window), before), expected);
    window->sDispEnabled(true);
    EXPECT_EQ(disabledControls(*window), before);
}

TEST_F(MainWindowTest, StopSwitchLeavesOnlyTheSwitchAndExit)
{
    startWindow();
    const CommandPanel& panel = *window->picSideWindow;
    const std::set<QObject*> before = disabledControls(*window);
    QTest::mouseClick(panel.optPrv[1], Qt::LeftButton);
    EXPECT_TRUE(panel.optPrv[1]->isChecked());
    EXPECT_FALSE(window->camera->Timer1->isActive());
    EXPECT_FALSE(hCapWnd->previewing());
    const std::set<QObject*> disabled = difference(disabledControls(*window), before);
    EXPECT_EQ(disabled.size(), 17u);
    for (QObject* stillUsable : std::initializer_list<QObject*>{panel.optPrv[0], panel.optPrv[1], panel.bcmd_End,
                                                               window->menu.mnu_end})
        EXPECT_FALSE(disabled.count(stillUsable));

    QTest::mouseClick(panel.optPrv[0], Qt::LeftButton);
    EXPECT_TRUE(window->camera->Timer1->isActive());
    EXPECT_TRUE(hCapWnd->previewing());
    EXPECT_EQ(disabledControls(*window), before);
}

TEST_F(MainWindowTest, AlarmCountToggleFiltersKeysAndStoresTheCount)
{
    startWindow();
    CommandPanel& panel = *window->picSideWindow;
    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    EXPECT_EQ(panel.cmdKenchi->text(), QStringLiteral("OK(&K)"));
    EXPECT_TRUE(panel.txtCKData->isEnabled());
    EXPECT_TRUE(panel.cmdKenchi->isEnabled());
    EXPECT_FALSE(panel.bcmd_End->isEnabled());
    EXPECT_FALSE(window->camera->Timer1->isActive());
    EXPECT_FALSE(hCapWnd->previewing());
    EXPECT_TRUE(SkipCompare);

    panel.txtCKData->clear();
    QTest::keyClicks(panel.txtCKData, QStringLiteral("12a3"));
    EXPECT_EQ(panel.txtCKData->text(), QStringLiteral("123"));
    QTest::keyClick(panel.txtCKData, Qt::Key_Backspace);
    QTest::keyClicks(panel.txtCKData, QStringLiteral("45"));
    EXPECT_EQ(panel.txtCKData->text(), QStringLiteral("1245"));

    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    EXPECT_EQ(Settings.COM.CKSUM, 1245);
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("CKSUM")), QStringLiteral("1245"));
    EXPECT_EQ(panel.cmdKenchi->text(), QStringLiteral("変更(&K)"));
    EXPECT_FALSE(panel.txtCKData->isEnabled());
    EXPECT_TRUE(panel.bcmd_End->isEnabled());
    EXPECT_TRUE(window->camera->Timer1->isActive());
    EXPECT_TRUE(hCapWnd->previewing());

    // A pasted text that is no 16-bit number counts as no number; the box keeps it.
    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    panel.txtCKData->setText(QStringLiteral("9e99"));
    QTest::mouseClick(panel.cmdKenchi, Qt::LeftButton);
    EXPECT_EQ(Settings.COM.CKSUM, 100);
    EXPECT_EQ(panel.txtCKData->text(), QStringLiteral("9e99"));
}

TEST_F(MainWindowTest, SlidersAndNoiseSwitchSaveAtOnce)
{
    startWindow();
    CommandPanel& panel = *window->picSideWindow;
    panel.SliderCKTime->setValue(5);
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("TIMER")), QStringLiteral("5"));
    panel.SliderSeido->setValue(77);
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("ACCURACY")), QStringLiteral("77"));
    const QString noiseOff = storedValue(QStringLiteral("COM"), QStringLiteral("NOIZE"));
    QTest::mouseClick(panel.ckNoize, Qt::LeftButton);
    EXPECT_TRUE(Settings.COM.NOIZE);
    EXPECT_NE(storedValue(QStringLiteral("COM"), QStringLiteral("NOIZE")), noiseOff);

    // The detector takes the new period when it is next started.
    QTest::mouseClick(panel.optPrv[1], Qt::LeftButton);
    QTest::mouseClick(panel.optPrv[0], Qt::LeftButton);
    EXPECT_EQ(window->camera->Timer1->interval(), 500);
}

TEST_F(MainWindowTest, ClosingStopsCaptureAndSavesSettings)
{
    startWindow();
    QFile leftOver(home.filePath(QStringLiteral("FTP_PUT.txt")));
    ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();
    Settings.COM.CKSUM = 321;

    window->close();
    EXPECT_TRUE(window->isClosing());
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("CKSUM")), QStringLiteral("321"));
    EXPECT_FALSE(QFile::exists(leftOver.fileName()));
    EXPECT_FALSE(hCapWnd->isConnected());
    EXPECT_FALSE(window->camera->Timer1->isActive());
    EXPECT_FALSE(window->picSideWindow->bcmd_End->isEnabled());
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, NoCameraSaysSoAndEnds)
{
    setPreferredCamera(QString());
    setDriverEnumerator([] { return std::vector<DriverEntry>{}; });
    window = std::make_unique<frmSw_Mail>();
    EXPECT_EQ(window->startUp(), frmSw_Mail::StartResult::NoDriver);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(messages[0].title, QStringLiteral("Tarnwell Houndly"));
    EXPECT_EQ(messages[0].text, QStringLiteral("ドライバーが見つかりません。"));
    // The shutdown ran: the settings file was written.
    EXPECT_EQ(storedValue(QStringLiteral("COM"), QStringLiteral("TIMER")), QStringLiteral("20"));
}
