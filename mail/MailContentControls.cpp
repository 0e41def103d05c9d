#include "mail/MailContentControls.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextEdit>

namespace {
const char* const kSizeCaptions[] = {"640x480", "320x240", "110x82.5"};
}

MailContentControls MailContentControls::create(QWidget* owner, QGridLayout* layout, int firstRow)
{
    MailContentControls controls;
    int row = firstRow;
    const auto addLabelled = [&](const QString& caption, QWidget* field) {
        layout->addWidget(new QLabel(caption, owner), row, 0);
        layout->addWidget(field, row++, 1, 1, 2);
    };
    controls.txtMail = new QLineEdit(owner);
    controls.txtMail->setObjectName(QStringLiteral("txtMail"));
    addLabelled(QCoreApplication::translate("MailContentControls", "宛先"), controls.txtMail);
    controls.txtSubject = new QLineEdit(owner);
    controls.txtSubject->setObjectName(QStringLiteral("txtSubject"));
    addLabelled(QCoreApplication::translate("MailContentControls", "件名"), controls.txtSubject);
    controls.txtBody = new QTextEdit(owner);
    controls.txtBody->setObjectName(QStringLiteral("txtBody"));
    controls.txtBody->setAcceptRichText(false);
    controls.txtBody->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    controls.txtBody->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    addLabelled(QCoreApplication::translate("MailContentControls", "内容"), controls.txtBody);

    controls.chkGrp = new QCheckBox(QCoreApplication::translate("MailContentControls", "画像添付"), owner);
    controls.chkGrp->setObjectName(QStringLiteral("chkGrp"));
    layout->addWidget(controls.chkGrp, row++, 1);

    auto* sizeFrame = new QGroupBox(QCoreApplication::translate("MailContentControls", "ｻｲｽﾞ"), owner);
    auto* sizeLayout = new QHBoxLayout(sizeFrame);
    for (int i = 0; i < 3; ++i) {
        controls.optSize[i] = new QRadioButton(QString::fromLatin1(kSizeCaptions[i]), sizeFrame);
        controls.optSize[i]->setObjectName(QStringLiteral("optSize%1").arg(i));
        sizeLayout->addWidget(controls.optSize[i]);
    }
    layout->addWidget(sizeFrame, row++, 1, 1, 2);

    controls.SliderArc = new QSlider(Qt::Horizontal, owner);
    controls.SliderArc->setObjectName(QStringLiteral("SliderArc"));
    controls.SliderArc->setRange(1, 100);
    controls.SliderArc->setTickPosition(QSlider::TicksBelow);
    controls.SliderArc->setTickInterval(10);
    addLabelled(QCoreApplication::translate("MailContentControls", "圧縮率"), controls.SliderArc);
    return controls;
}

int MailContentControls::chosenSize() const
{
    for (int i = 0; i < 3; ++i)
        if (optSize[i]->isChecked())
            return i;
    return 0;
}

void MailContentControls::chooseSize(int index)
{
    optSize[index >= 0 && index < 3 ? index : 0]->setChecked(true);
}

void MailContentControls::enablePictureOptions(bool enabled)
{
    for (QRadioButton* option : optSize)
        option->setEnabled(enabled);
    SliderArc->setEnabled(enabled);
}

QPushButton* addNamedButton(QWidget* owner, QBoxLayout* row, const QString& caption, const char* name)
{
    auto* button = new QPushButton(caption, owner);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
}

QString lineBreakMessage()
{
    return QCoreApplication::translate("MailContentControls", "宛先と件名に改行は使えません。");
}
