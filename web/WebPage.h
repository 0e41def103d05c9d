#pragma once

#include <QByteArray>

// GET /: the one page, in the language the program speaks, carrying `token`
// for its watch switch.
QByteArray webPage(const QByteArray& token);
