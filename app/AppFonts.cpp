#include "app/AppFonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include <cstdio>

void useFontsFor(UiLanguage language)
{
    QFont font = QApplication::font();
    font.setPointSize(9);
    if (language == UiLanguage::Japanese)
        font.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAexGothic"),
                          QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
    // Without one the windows show boxes and nothing else says why.
    if (language == UiLanguage::Japanese && QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        std::fputs("houndly: no font with Japanese characters is installed, so the window texts show as boxes; "
                   "install fonts-ipaexfont-gothic or fonts-noto-cjk\n",
                   stderr);
}
