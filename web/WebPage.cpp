#include "web/WebPage.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Every text of the page, in one place for the translation.
QJsonObject pageTexts()
{
    const auto tr = [](const char* text) { return QCoreApplication::translate("WebPage", text); };
    return {
        {QStringLiteral("count"), tr("検知数")},
        {QStringLiteral("alarmCount"), tr("警報検知数")},
        {QStringLiteral("lastAlarm"), tr("最終警報:")},
        {QStringLiteral("cameraLost"), tr("カメラの映像が届いていません")},
        {QStringLiteral("uploading"), tr("FTP送信中･･･")},
        {QStringLiteral("start"), tr("開始")},
        {QStringLiteral("stop"), tr("停止")},
        {QStringLiteral("watching"), tr("監視中")},
        {QStringLiteral("stopped"), tr("監視停止中")},
        {QStringLiteral("busy"), tr("いまは切り替えられません (警報中か設定中)")},
        {QStringLiteral("timeLine"), tr("時間変化")},
        {QStringLiteral("history"), tr("警報履歴")},
        {QStringLiteral("day"), tr("日付:")},
        {QStringLiteral("noAlarms"), tr("警報はありません")},
        {QStringLiteral("play"), tr("再生")},
        {QStringLiteral("download"), tr("ダウンロード")},
        {QStringLiteral("close"), tr("閉じる")},
        {QStringLiteral("offline"), tr("Houndly に接続できません")},
    };
}

}  // namespace

QByteArray webPage(const QByteArray& token)
{
    QFile file(QStringLiteral(":/web/page.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray page = file.readAll();
    // "</" would end the script early.
    const QByteArray texts = QJsonDocument(pageTexts()).toJson(QJsonDocument::Compact).replace("</", "<\\/");
    //: The language code of the page: the translation's own.
    const QByteArray language = QCoreApplication::translate("WebPage", "ja").toLatin1();
    return page.replace("{{lang}}", language).replace("{{texts}}", texts).replace("{{token}}", token);
}
