#include "mail/CheckMailAccount.h"

#include "mail/MailAccount.h"
#include "mail/MailMessageBox.h"

#include <QCoreApplication>

bool sCheckMailAccount(QWidget* parent)
{
    const QString gap = mailAccountGap();
    if (gap.isEmpty())
        return true;
    showMailMessage(parent, QMessageBox::Critical, QCoreApplication::translate("CheckMailAccount", "ﾒｰﾙ送信元ﾁｪｯｸ"), gap);
    return false;
}
