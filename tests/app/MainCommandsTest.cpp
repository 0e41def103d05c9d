#include "tests/app/AppTestSupport.h"

#include "app/frmAbout.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QUrl>

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
    EXPECT_GT(window->cameraSubWindow->width(), narrow);
    window->menu.mnu_scope->trigger();
    EXPECT_TRUE(window->picSideScope->isVisible());
    EXPECT_EQ(window->menu.mnu_scope->text(), QStringLiteral("ヽｽｺｰﾌﾟ(&C)"));
    EXPECT_EQ(window->cameraSubWindow->width(), narrow);
    QTest::mouseClick(window->picSideScope->cmdDisableScope, Qt::LeftButton);
    EXPECT_FALSE(window->picSideScope->isVisible());
    EXPECT_EQ(window->menu.mnu_scope->text(), QStringLiteral("ｽｺｰﾌﾟ(&C)"));
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
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("help")));
    window->menu.mnu_img->trigger();
    window->menu.mnu_avi->trigger();
    window->menu.mnu_help->trigger();
    const std::vector<QUrl> folders = {QUrl::fromLocalFile(home.filePath(QStringLiteral("img"))),
                                       QUrl::fromLocalFile(home.filePath(QStringLiteral("avi"))),
                                       QUrl::fromLocalFile(home.filePath(QStringLiteral("help")))};
    EXPECT_EQ(opened, folders);
    EXPECT_TRUE(messages.empty());

    // No mail log yet: nothing is started and the user is told; then a desktop that fails.
    window->menu.mnu_log->trigger();
    EXPECT_EQ(opened.size(), 3u);
    desktopWorks = false;
    const QString log = writeFileBytes(home.filePath(QStringLiteral("mail.log.txt")), "");
    window->menu.mnu_log->trigger();
    EXPECT_EQ(opened.back(), QUrl::fromLocalFile(log));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("mail.log.txt")));
    EXPECT_EQ(messages[1].icon, QMessageBox::Warning);
}

TEST_F(MainCommandsTest, AboutBoxKeepsWatchingAndSaysWhenThereIsNoSystemInformation)
{
    startWindow();
    const QByteArray path = qgetenv("PATH");
    bool seen = false;
    whileModal(
        [&](QWidget* dialog) {
            EXPECT_TRUE(window->camera->Timer1->isActive());
            auto* about = qobject_cast<frmAbout*>(dialog);
            ASSERT_NE(about, nullptr);
            EXPECT_EQ(about->lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.1.0"));
            qputenv("PATH", home.path().toUtf8());
            QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
            qputenv("PATH", path);
        },
        &seen);
    window->menu.mnu_ver->trigger();
    EXPECT_TRUE(seen);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, QStringLiteral("Houndly"));
    EXPECT_EQ(messages[0].text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
}
