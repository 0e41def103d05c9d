#pragma once

#include <QString>

#include <array>

class QCheckBox;
class QBoxLayout;
class QGridLayout;
class QPushButton;
class QLineEdit;
class QRadioButton;
class QSlider;
class QTextEdit;
class QWidget;

// The recipient, subject, body, picture and compression controls shared by
// the automatic-mail settings and the manual mail dialogs.
struct MailContentControls {
    QLineEdit* txtMail = nullptr;
    QLineEdit* txtSubject = nullptr;
    QTextEdit* txtBody = nullptr;
    QCheckBox* chkGrp = nullptr;
    std::array<QRadioButton*, 3> optSize{};
    QSlider* SliderArc = nullptr;

    // Adds the controls to the layout from the given row on.
    static MailContentControls create(QWidget* owner, QGridLayout* layout, int firstRow);

    // The index of the chosen size button; 0 when none is chosen.
    int chosenSize() const;
    // Chooses the size button of the index; any other index chooses 640x480.
    void chooseSize(int index);
    // Size buttons and slider usable only while a picture is attached.
    void enablePictureOptions(bool enabled);
};

// A push button named as in the dialog's code, appended to a row of buttons.
QPushButton* addNamedButton(QWidget* owner, QBoxLayout* row, const QString& caption, const char* name);

// Shown when a recipient or subject holds a line break.
QString lineBreakMessage();
