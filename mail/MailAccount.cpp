#include "mail/MailAccount.h"

#include "settings/Settings.h"

namespace {
bool isBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}
}  // namespace

QString mailAccountGap()
{
    const auto& account = Settings.MAIL;
    if (isBlank(account.MAIL))
        return QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。");
    if (isBlank(account.SMTP))
        return QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ設定のSMTPｻｰﾊﾞｰ名を入力して下さい。");
    if (account.ATT != QStringLiteral("1"))
        return {};
    const bool popBeforeSmtp = account.OPTATT == QStringLiteral("0");
    if (popBeforeSmtp && isBlank(account.POP))
        return QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ設定のPOPｻｰﾊﾞｰ名を入力して下さい。");
    if (isBlank(popBeforeSmtp ? account.USER : account.SMTPUSER))
        return QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ設定のﾕｰｻﾞｰ名を入力して下さい。");
    if (isBlank(popBeforeSmtp ? account.PASS : account.SMTPPASS))
        return QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ設定のﾊﾟｽﾜｰﾄﾞを入力して下さい。");
    return {};
}

void sCheckMailReady()
{
    Settings.COM.MailReady = mailAccountGap().isEmpty();
}
