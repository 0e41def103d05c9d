#pragma once

#include <QString>

// The stored mail account is complete, so an alarm sends mail; derived from
// Settings.MAIL whenever it is asked.
bool MailReady();

// The first gap in the stored mail account, as the message that names it;
// "" when the account is complete.
QString mailAccountGap();
