#include "capture/UrlField.h"

#include "settings/CameraUrlPassword.h"

#include <QFocusEvent>

UrlField::UrlField(QWidget* parent) : QLineEdit(parent) {}

QString UrlField::url() const
{
    return editing_ ? text() : url_;
}

void UrlField::setUrl(const QString& url)
{
    url_ = url;
    if (editing_)
        setText(url_);
    else
        showMasked();
}

void UrlField::showMasked()
{
    const UrlPasswordSpan span = urlPasswordSpan(url_);
    setText(span.length == 0 ? url_ : QString(url_).replace(span.start, span.length, QStringLiteral("***")));
}

void UrlField::focusInEvent(QFocusEvent* event)
{
    if (!editing_) {
        editing_ = true;
        setText(url_);
    }
    QLineEdit::focusInEvent(event);
}

void UrlField::focusOutEvent(QFocusEvent* event)
{
    // The text box's own menu takes the focus while the text is still being edited.
    if (event->reason() != Qt::PopupFocusReason) {
        url_ = text();
        editing_ = false;
        showMasked();
    }
    QLineEdit::focusOutEvent(event);
}
