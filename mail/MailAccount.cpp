#include "mail/MailAccount.h"

#include "settings/Settings.h"

#include <QCoreApplication>

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
        return QCoreApplication::translate("MailAccount", "ﾒｰﾙｱｶｳﾝﾄ設定のﾒｰﾙｱﾄﾞﾚｽを入力して下さい。");
    if (isBlank(account.SMTP))
        return QCoreApplication::translate("MailAccount", "ﾒｰﾙｱｶｳﾝﾄ設定のSMTPｻｰﾊﾞｰ名を入力して下さい。");
    if (account.ATT != QStringLiteral("1"))
        return {};
    const bool popBeforeSmtp = account.OPTATT == QStringLiteral("0");
    if (popBeforeSmtp && isBlank(account.POP))
        return QCoreApplication::translate("MailAccount", "ﾒｰﾙｱｶｳﾝﾄ設定のPOPｻｰﾊﾞｰ名を入力して下さい。");
    if (isBlank(popBeforeSmtp ? account.USER : account.SMTPUSER))
        return QCoreApplication::translate("MailAccount", "ﾒｰﾙｱｶｳﾝﾄ設定のﾕｰｻﾞｰ名を入力して下さい。");
    if (isBlank(popBeforeSmtp ? account.PASS : account.SMTPPASS))
        return QCoreApplication::translate("MailAccount", "ﾒｰﾙｱｶｳﾝﾄ設定のﾊﾟｽﾜｰﾄﾞを入力して下さい。");
    return {};
}

bool MailReady()
{
    return mailAccountGap().isEmpty();
}
