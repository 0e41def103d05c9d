#include "mail/CheckMailAccount.h"

#include "mail/MailAccount.h"
#include "mail/MailMessageBox.h"

bool sCheckMailAccount(QWidget* parent)
{
    const QString gap = mailAccountGap();
    if (gap.isEmpty())
        return true;
    showMailMessage(parent, QMessageBox::Critical, QStringLiteral("ﾒｰﾙ送信元ﾁｪｯｸ"), gap);
    return false;
}
