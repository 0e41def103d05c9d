#pragma once

#include <QString>

// Recomputes Settings.COM.MailReady from the mail account settings.
void sCheckMailReady();

// The first gap in the stored mail account, as the message that names it;
// "" when the account is complete.
QString mailAccountGap();
