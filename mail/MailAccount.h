#pragma once

// Recomputes Settings.COM.MailReady from the mail account settings.
void sCheckMailReady();
