#include "app/AlarmCountInput.h"

#include <QKeyEvent>

#include <cmath>
#include <limits>

namespace {

constexpr int16_t kAlarmCountFallback = 100;

bool isAllowedCharacter(char16_t code)
{
    return code == 7 || code == 8 || (code >= u'0' && code <= u'9');
}

}  // namespace

int16_t alarmCountFromText(const QString& text)
{
    bool isNumber = false;
    const double value = text.trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(value))
        return kAlarmCountFallback;
    const double rounded = std::nearbyint(value);  // the default rounding mode is half to even
    if (rounded < std::numeric_limits<int16_t>::min() || rounded > std::numeric_limits<int16_t>::max())
        return kAlarmCountFallback;
    return static_cast<int16_t>(rounded);
}

bool AlarmCountFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool isShortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool isNavigation = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                              key->key() == Qt::Key_Delete || key->text().isEmpty();
    if (isShortcut || isNavigation)
        return false;
    return !isAllowedCharacter(key->text().at(0).unicode());
}
