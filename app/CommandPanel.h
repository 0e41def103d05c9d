#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The command panel on the left of the main window: switch, command buttons
// and the three detection parameters. Controls keep their historic names.
class CommandPanel : public QWidget {
    Q_OBJECT
public:
    explicit CommandPanel(QWidget* parent);

    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmd_Sound = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* optPrv[2] = {nullptr, nullptr};
    QButtonGroup* optPrvGroup = nullptr;
    QPushButton* bcmd_SendMail = nullptr;
    QPushButton* bcmd_VideoSetting = nullptr;
    QPushButton* bcmd_VideoSetting2 = nullptr;
    QPushButton* bcmd_MailSetting = nullptr;
    QPushButton* bcmd_SendMailA = nullptr;
    QPushButton* bcmd_Ftp = nullptr;
    QPushButton* bcmd_End = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* cmdKenchi = nullptr;
    QLineEdit* txtCKData = nullptr;
    QLabel* Label13 = nullptr;
    QSlider* SliderCKTime = nullptr;
    QLabel* Label14 = nullptr;
    QSlider* SliderSeido = nullptr;
    QCheckBox* ckNoize = nullptr;
};
