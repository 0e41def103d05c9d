#include "translations/Language.h"

#include "settings/AppPaths.h"
#include "settings/IniAccess.h"
#include "settings/ProfileFile.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

// The translation is built into the program, so a built and an installed one
// find it alike.
const QString kEnglishTranslation = QStringLiteral(":/i18n/houndly_en.qm");

QTranslator*& installedEnglish()
{
    static QTranslator* english = nullptr;
    return english;
}

}  // namespace

UiLanguage chooseUiLanguage(const QString& setting, const QStringList& desktopLanguages)
{
    if (setting == QLatin1String("ja"))
        return UiLanguage::Japanese;
    if (setting == QLatin1String("en"))
        return UiLanguage::English;
    for (const QString& name : desktopLanguages) {
        const QLocale::Language language = QLocale(name).language();
        if (language == QLocale::Japanese)
            return UiLanguage::Japanese;
        if (language == QLocale::English)
            return UiLanguage::English;
    }
    return UiLanguage::English;
}

QString storedUiLanguage()
{
    ProfileFile file;
    if (file.load(appFilePath(QStringLiteral("houndly.ini"))) != ProfileFile::LoadStatus::Loaded)
        return {};
    QString language;
    GetIniValue(file, QStringLiteral("EXT"), QStringLiteral("LANG"), language);
    return language;
}

bool useUiLanguage(UiLanguage language)
{
    QTranslator*& english = installedEnglish();
    if (language == UiLanguage::Japanese) {
        if (english != nullptr)
            QCoreApplication::removeTranslator(english);
        delete english;
        english = nullptr;
        return true;
    }
    if (english != nullptr)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(kEnglishTranslation) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    english = translator.release();
    return true;
}


UiLanguage useStartUpLanguage()
{
    const UiLanguage language = chooseUiLanguage(storedUiLanguage(), QLocale::system().uiLanguages());
    if (useUiLanguage(language))
        return language;
    std::fputs("houndly: the English translation cannot be loaded; the texts stay Japanese\n", stderr);
    return UiLanguage::Japanese;
}
