#include "app/MainMenu.h"

#include <QMenuBar>

MainMenu buildMainMenu(QMenuBar* menuBar)
{
    MainMenu menu;
    menu.mnu[0] = menuBar->addMenu(QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ(&P)"));
    menu.mnu_end = menu.mnu[0]->addAction(QStringLiteral("終了(&X)"));

    menu.mnu[1] = menuBar->addMenu(QStringLiteral("表示(&V)"));
    menu.mnu_scope = menu.mnu[1]->addAction(QStringLiteral("ヽｽｺｰﾌﾟ(&C)"));
    menu.mnu_history = menu.mnu[1]->addAction(QStringLiteral("警報履歴(&H)"));

    menu.mnu[2] = menuBar->addMenu(QStringLiteral("ﾃｽﾄ(&T)"));
    menu.mnu_send = menu.mnu[2]->addAction(QStringLiteral("手動送信(&S)"));

    QMenu* tools = menu.mnu[3] = menuBar->addMenu(QStringLiteral("ﾂｰﾙ(&O)"));
    menu.mnu_sound = tools->addAction(QStringLiteral("ｻｳﾝﾄﾞ設定(&W)"));
    tools->addSeparator();
    menu.mnu_vdriver = tools->addAction(QStringLiteral("ﾋﾞﾃﾞｵﾌｫｰﾏｯﾄ設定(&F)"));
    menu.mnu_vdriver2 = tools->addAction(QStringLiteral("ﾋﾞﾃﾞｵｿｰｽ設定(&S)"));
    menu.mnu_Drive = tools->addAction(QStringLiteral("ﾄﾞﾗｲﾊﾞｰ選択(&D)"));
    menu.mnu_comp = tools->addAction(QStringLiteral("ﾋﾞﾃﾞｵ圧縮(&O)"));
    menu.mnu_comp->setVisible(false);
    tools->addSeparator();
    menu.mnu_mail = tools->addAction(QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ設定(&M)"));
    menu.mnu_sendA = tools->addAction(QStringLiteral("自動ﾒｰﾙ設定(&A)"));
    menu.mnu_Ftp = tools->addAction(QStringLiteral("FTP(動画)設定(&P)"));
    tools->addSeparator();
    menu.mnu_log = tools->addAction(QStringLiteral("ﾒｰﾙ送信履歴(L)"));
    menu.mnu_img = tools->addAction(QStringLiteral("ｲﾒｰｼﾞﾌｫﾙﾀﾞを開く(&I)"));
    menu.mnu_avi = tools->addAction(QStringLiteral("動画ﾌｫﾙﾀﾞを開く(&V)"));
    tools->addSeparator();
    menu.mnu_ext = tools->addAction(QStringLiteral("拡張設定(&E)"));

    menu.mnu[4] = menuBar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&L)"));
    menu.mnu_help = menu.mnu[4]->addAction(QStringLiteral("ﾍﾙﾌﾟﾌｫﾙﾀﾞを開く(&H)"));
    menu.mnu[4]->addSeparator();
    menu.mnu_ver = menu.mnu[4]->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ(&B)"));
    return menu;
}
