#include "tests/app/AppTestSupport.h"

#include <QMdiSubWindow>
#include <QUrl>

using MainCommandsTest = MainWindowFixture;

TEST_F(MainCommandsTest, DialogCommandsSuspendAndResumeWatching)
{
    startWindow();
    const MainMenu& menu = window->menu;
    for (QAction* command : {menu.mnu_sound, menu.mnu_mail, menu.mnu_sendA, menu.mnu_Ftp, menu.mnu_ext, menu.mnu_send,
                             menu.mnu_Drive, menu.mnu_vdriver, menu.mnu_vdriver2}) {
        SCOPED_TRACE(command->text().toStdString());
        bool seen = false;
        whileModal(
            [this](QWidget*) {
                EXPECT_FALSE(window->camera->Timer1->isActive());
                EXPECT_FALSE(hCapWnd->previewing());
                Settings.COM.SOUND = QStringLiteral("chime.wav");
            },
            &seen);
        command->trigger();
        EXPECT_TRUE(seen);
        EXPECT_TRUE(window->camera->Timer1->isActive());
        EXPECT_TRUE(hCapWnd->previewing());
        // The panels follow what the dialog stored.
        EXPECT_EQ(window->StatusBarPanel(4)->text(), QStringLiteral("警告音: chime.wav"));
        Settings.COM.SOUND.clear();
    }
}

TEST_F(MainCommandsTest, FormatAndScopeCommandsReshapeTheWindow)
{
    startWindow();
    bool seen = false;
    whileModal([](QWidget*) { hCapWnd->setFrameSize(QSize(320, 240)); }, &seen);
    QTest::mouseClick(window->picSideWindow->bcmd_VideoSetting, Qt::LeftButton);
    EXPECT_TRUE(seen);
    EXPECT_EQ(window->StatusBarPanel(3)->text(), QStringLiteral("解像度: 320×240"));
    EXPECT_TRUE(SkipCompare);
    EXPECT_TRUE(window->camera->Timer1->isActive());

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
TEST_F(MainCommandsTest, FoldersAndLogOpenOnTheDesktopOrSayWhy)
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
