#include "app/MainMenu.h"

#include <QCoreApplication>
#include <QMenuBar>

namespace {

struct MenuTexts {
    Q_DECLARE_TR_FUNCTIONS(MainMenu)
};

}  // namespace

MainMenu buildMainMenu(QMenuBar* menuBar)
{
    MainMenu menu;
    menu.mnu[0] = menuBar->addMenu(MenuTexts::tr("ﾌﾟﾛｸﾞﾗﾑ(&P)"));
    menu.mnu_end = menu.mnu[0]->addAction(MenuTexts::tr("終了(&X)"));

    menu.mnu[1] = menuBar->addMenu(MenuTexts::tr("表示(&V)"));
    menu.mnu_scope = menu.mnu[1]->addAction(MenuTexts::tr("ヽｽｺｰﾌﾟ(&C)"));
    menu.mnu_history = menu.mnu[1]->addAction(MenuTexts::tr("警報履歴(&H)"));

    menu.mnu[2] = menuBar->addMenu(MenuTexts::tr("ﾃｽﾄ(&T)"));
    menu.mnu_send = menu.mnu[2]->addAction(MenuTexts::tr("手動送信(&S)"));

    QMenu* tools = menu.mnu[3] = menuBar->addMenu(MenuTexts::tr("ﾂｰﾙ(&O)"));
    menu.mnu_sound = tools->addAction(MenuTexts::tr("ｻｳﾝﾄﾞ設定(&W)"));
    tools->addSeparator();
    menu.mnu_vdriver = tools->addAction(MenuTexts::tr("ﾋﾞﾃﾞｵﾌｫｰﾏｯﾄ設定(&F)"));
    menu.mnu_vdriver2 = tools->addAction(MenuTexts::tr("ﾋﾞﾃﾞｵｿｰｽ設定(&S)"));
    menu.mnu_Drive = tools->addAction(MenuTexts::tr("ﾄﾞﾗｲﾊﾞｰ選択(&D)"));
    menu.mnu_comp = tools->addAction(MenuTexts::tr("ﾋﾞﾃﾞｵ圧縮(&O)"));
    menu.mnu_comp->setVisible(false);
    tools->addSeparator();
    menu.mnu_mail = tools->addAction(MenuTexts::tr("ﾒｰﾙｱｶｳﾝﾄ設定(&M)"));
    menu.mnu_sendA = tools->addAction(MenuTexts::tr("自動ﾒｰﾙ設定(&A)"));
    menu.mnu_Ftp = tools->addAction(MenuTexts::tr("FTP(動画)設定(&P)"));
    tools->addSeparator();
    menu.mnu_log = tools->addAction(MenuTexts::tr("ﾒｰﾙ送信履歴(L)"));
    menu.mnu_img = tools->addAction(MenuTexts::tr("ｲﾒｰｼﾞﾌｫﾙﾀﾞを開く(&I)"));
    menu.mnu_avi = tools->addAction(MenuTexts::tr("動画ﾌｫﾙﾀﾞを開く(&V)"));
    tools->addSeparator();
    menu.mnu_ext = tools->addAction(MenuTexts::tr("拡張設定(&E)"));

    menu.mnu[4] = menuBar->addMenu(MenuTexts::tr("ﾍﾙﾌﾟ(&L)"));
    menu.mnu_help = menu.mnu[4]->addAction(MenuTexts::tr("ﾍﾙﾌﾟﾌｫﾙﾀﾞを開く(&H)"));
    menu.mnu[4]->addSeparator();
    menu.mnu_ver = menu.mnu[4]->addAction(MenuTexts::tr("ﾊﾞｰｼﾞｮﾝ(&B)"));
    return menu;
}
