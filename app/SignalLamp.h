#pragma once

#include <QColor>
#include <QWidget>

// A round alarm lamp: lit, its bright colour shows; out, a dark fill covers it.
class SignalLamp : public QWidget {
    Q_OBJECT
public:
    SignalLamp(QColor bright, QColor border, QColor dark, QWidget* parent);

    void setLit(bool lit);
    bool isLit() const { return lit_; }
    QColor borderColor() const { return border_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor bright_;
    QColor border_;
    QColor dark_;
    bool lit_ = false;
};
