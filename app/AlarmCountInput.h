#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

// The alarm count confirmed from the text box: the number the text reads as,
// rounded half to even, when it fits 16 bits; 100 for anything else.
int16_t alarmCountFromText(const QString& text);

// Lets only digits, backspace and code 7 be typed into the alarm count box;
// shortcuts (paste among them) and cursor keys are left alone.
class AlarmCountFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
