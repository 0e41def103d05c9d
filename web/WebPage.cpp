#include "web/WebPage.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

namespace {

// Every text of the page, in one place for the translation: its key in the page and its text.
constexpr std::pair<const char*, const char*> kTexts[] = {
    {"count", QT_TRANSLATE_NOOP("WebPage", "検知数")},
    {"alarmCount", QT_TRANSLATE_NOOP("WebPage", "警報検知数")},
    {"lastAlarm", QT_TRANSLATE_NOOP("WebPage", "最終警報:")},
    {"cameraLost", QT_TRANSLATE_NOOP("WebPage", "カメラの映像が届いていません")},
    {"uploading", QT_TRANSLATE_NOOP("WebPage", "FTP送信中･･･")},
    {"start", QT_TRANSLATE_NOOP("WebPage", "開始")},
    {"stop", QT_TRANSLATE_NOOP("WebPage", "停止")},
    {"watching", QT_TRANSLATE_NOOP("WebPage", "監視中")},
    {"stopped", QT_TRANSLATE_NOOP("WebPage", "監視停止中")},
    {"busy", QT_TRANSLATE_NOOP("WebPage", "いまは切り替えられません (警報中か設定中)")},
    {"timeLine", QT_TRANSLATE_NOOP("WebPage", "時間変化")},
    {"history", QT_TRANSLATE_NOOP("WebPage", "警報履歴")},
    {"day", QT_TRANSLATE_NOOP("WebPage", "日付:")},
    {"noAlarms", QT_TRANSLATE_NOOP("WebPage", "警報はありません")},
    {"play", QT_TRANSLATE_NOOP("WebPage", "再生")},
    {"download", QT_TRANSLATE_NOOP("WebPage", "ダウンロード")},
    {"close", QT_TRANSLATE_NOOP("WebPage", "閉じる")},
    {"offline", QT_TRANSLATE_NOOP("WebPage", "Houndly に接続できません")},
};

}  // namespace

QByteArray webPage(const QByteArray& token)
{
    QFile file(QStringLiteral(":/web/page.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray page = file.readAll();
    QJsonObject shown;
    for (const auto& [key, text] : kTexts)
        shown.insert(QLatin1String(key), QCoreApplication::translate("WebPage", text));
    // "</" would end the script early.
    const QByteArray texts = QJsonDocument(shown).toJson(QJsonDocument::Compact).replace("</", "<\\/");
    // The language code of the page, as the translation says.
    const QByteArray language = QCoreApplication::translate("WebPage", "ja").toLatin1();
    return page.replace("{{lang}}", language).replace("{{texts}}", texts).replace("{{token}}", token);
}
