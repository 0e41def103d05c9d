#pragma once

class QAction;
class QMenu;
class QMenuBar;

// The menu bar of the main window, its items under their historic names.
struct MainMenu {
    QMenu* mnu[5] = {};
    QAction* mnu_end = nullptr;
    QAction* mnu_scope = nullptr;
    QAction* mnu_history = nullptr;
    QAction* mnu_send = nullptr;
    QAction* mnu_sound = nullptr;
    QAction* mnu_vdriver = nullptr;
    QAction* mnu_vdriver2 = nullptr;
    QAction* mnu_Drive = nullptr;
    QAction* mnu_comp = nullptr;
    QAction* mnu_mail = nullptr;
    QAction* mnu_sendA = nullptr;
    QAction* mnu_Ftp = nullptr;
    QAction* mnu_log = nullptr;
    QAction* mnu_img = nullptr;
    QAction* mnu_avi = nullptr;
    QAction* mnu_ext = nullptr;
    QAction* mnu_help = nullptr;
    QAction* mnu_ver = nullptr;
};

// Fills the menu bar; mnu_comp starts hidden.
MainMenu buildMainMenu(QMenuBar* menuBar);
