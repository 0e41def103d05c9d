#include "tests/app/AppTestSupport.h"

#include "app/CommandPanel.h"
#include "app/HelpFolder.h"
#include "app/ScopePanel.h"
#include "app/frmAbout.h"
#include "app/frm_Camera.h"
#include "capture/CaptureWindow.h"
#include "detect/SkipCompare.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

using MainCommandsTest = MainWindowFixture;


TEST_F(MainCommandsTest, DialogCommandsSuspendAndResumeWatching)
{
    startWindow();
    const MainMenu& menu = window->menu;
    for (QAction* command : {menu.mnu_sound, menu.mnu_mail, menu.mnu_sendA, menu.mnu_Ftp, menu.mnu_send,
                             menu.mnu_Drive, menu.mnu_vdriver, menu.mnu_vdriver2}) {
        SCOPED_TRACE(command->text().toStdString());
        bool seen = false;
        whileModal(
            [this](QWidget*) {
                EXPECT_FALSE(window->camera->Timer1->isActive());
                EXPECT_FALSE(hCapWnd->previewing());
                EXPECT_FALSE(window->picSideWindow->bcmd_End->isEnabled());
                EXPECT_FALSE(window->menu.mnu_end->isEnabled());
                Settings.COM.SOUND = QStringLiteral("chime.wav");
            },
            &seen);
        command->trigger();
        EXPECT_TRUE(seen);
        EXPECT_TRUE(window->camera->Timer1->isActive());
        EXPECT_TRUE(hCapWnd->previewing());
        EXPECT_TRUE(window->picSideWindow->bcmd_End->isEnabled());
        // The panels follow what the dialog stored.
        EXPECT_EQ(window->StatusBarPanel(4)->text(), QStringLiteral("警告音: chime.wav"));
        Settings.COM.SOUND.clear();
    }
}

TEST_F(MainCommandsTest, FormatButtonShowsTheNewSizeAndTakesAFreshReference)
{
    startWindow();
    bool seen = false;
    whileModal([](QWidget*) { hCapWnd->setFrameSize(QSize(320, 240)); }, &seen);
    QTest::mouseClick(window->picSideWindow->bcmd_VideoSetting, Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(window->StatusBarPanel(3)->text(), QStringLiteral("解像度: 320×240"));
    EXPECT_TRUE(SkipCompare);
    EXPECT_EQ(window->camera->windowTitle(), QString());
    EXPECT_TRUE(window->camera->Timer1->isActive());
}

TEST_F(MainCommandsTest, ScopeToggleHidesThePanelAndWidensTheCamera)
{
    startWindow();
    const int narrow = window->cameraSubWindow->width();
    window->menu.mnu_scope->trigger();
    EXPECT_FALSE(window->picSideScope->isVisible());
    EXPECT_EQ(window->menu.mnu_scope->text(), QStringLiteral("ｽｺｰﾌﾟ(&C)"));
    EXPECT_GT(window->cameraSubWindow->width(), narrow);

    window->menu.mnu_scope->trigger();
    EXPECT_TRUE(window->picSideScope->isVisible());
    EXPECT_EQ(window->menu.mnu_scope->text(), QStringLiteral("ヽｽｺｰﾌﾟ(&C)"));
    EXPECT_EQ(window->cameraSubWindow->width(), narrow);

    QTest::mouseClick(window->picSideScope->cmdDisableScope, Qt::LeftButton);
    EXPECT_FALSE(window->picSideScope->isVisible());
}

TEST_F(MainCommandsTest, FoldersAndLogOpenOnTheDesktopOrSayWhy)
{
    startWindow();
    std::vector<QUrl> opened;
    bool desktopWorks = true;
    window->setUrlOpener([&](const QUrl& url) {
        opened.push_back(url);
        return desktopWorks;
    });
    ASSERT_TRUE(installHelpFolder(QDir(qEnvironmentVariable("HOUNDLY_SOURCE_DIR")).filePath(QStringLiteral("help")),
                                  home.filePath(QStringLiteral("help"))));
    window->menu.mnu_img->trigger();
    window->menu.mnu_avi->trigger();
    window->menu.mnu_help->trigger();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(home.filePath(QStringLiteral("img"))));
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(home.filePath(QStringLiteral("avi"))));
    EXPECT_EQ(opened[2], QUrl::fromLocalFile(home.filePath(QStringLiteral("help"))));
    EXPECT_TRUE(messages.empty());

    // No mail log yet: nothing is started and the user is told.
    window->menu.mnu_log->trigger();
    EXPECT_EQ(opened.size(), 3u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("mail.log.txt")));

    QFile log(home.filePath(QStringLiteral("mail.log.txt")));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.close();
    desktopWorks = false;
    window->menu.mnu_log->trigger();
    EXPECT_EQ(opened.back(), QUrl::fromLocalFile(log.fileName()));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].icon, QMessageBox::Warning);
    EXPECT_TRUE(window->camera->Timer1->isActive());
}

TEST_F(MainCommandsTest, AboutBoxKeepsWatchingAndShowsItsTexts)
{
    startWindow();
    bool seen = false;
    whileModal(
        [this](QWidget* dialog) {
            EXPECT_TRUE(window->camera->Timer1->isActive());
            auto* about = qobject_cast<frmAbout*>(dialog);
            ASSERT_NE(about, nullptr);
            EXPECT_EQ(about->windowTitle(), QStringLiteral("Houndlyのﾊﾞｰｼﾞｮﾝ情報"));
            EXPECT_EQ(about->lblTitle->text(), QStringLiteral("Houndly"));
            EXPECT_EQ(about->lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1.0"));
            EXPECT_EQ(about->lblDescription->text(),
                      QStringLiteral("動きを検出し、ｷｬﾌﾟﾁｬｰ画像をﾒｰﾙで送信します。\r\nまた、動画を録画してFTPで送信します。"));
            EXPECT_EQ(about->lblDisclaimer->text(),
                      QStringLiteral("本プログラムを運用した結果に付いては、作者は一切責任を負いません。"));
        },
        &seen);
    window->menu.mnu_ver->trigger();
    EXPECT_TRUE(seen);
}

TEST_F(MainCommandsTest, SystemInformationWithoutAProgramSaysSo)
{
    ensureApplication();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", home.path().toUtf8());
    frmAbout about;
    about.StartSysInfo();
    qputenv("PATH", path);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, QStringLiteral("Houndly"));
    EXPECT_EQ(messages[0].text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
}
