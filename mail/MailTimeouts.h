#pragma once

#include <QDeadlineTimer>

// Bounds of one mail, so that a dead or silent server never holds the
// program for long: connecting, and the whole mail from the first connection
// to the last goodbye, POP before SMTP included. A server that accepted the
// work but does not answer QUIT is left after goodbyeSeconds.
struct MailTimeouts {
    long connectSeconds = 30;
    long wholeSeconds = 120;
    long goodbyeSeconds = 5;
};
MailTimeouts mailTimeouts();
void setMailTimeouts(const MailTimeouts& timeouts);

// The moment by which a mail starting now must be over.
QDeadlineTimer newMailDeadline();
