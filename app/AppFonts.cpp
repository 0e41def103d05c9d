#include "app/AppFonts.h"

#include <QApplication>
#include <QFont>

void useJapaneseFonts()
{
    QFont font(QStringLiteral("Noto Sans CJK JP"), 9);
    font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("VL PGothic"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}
