#pragma once

#include <QImage>
#include <QWidget>

// The small picture of the manual mail, crossed out with two red lines
// (line_c1, line_c2) while no picture is to be attached.
class ThumbnailView : public QWidget {
    Q_OBJECT
public:
    explicit ThumbnailView(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    QImage picture() const { return picture_; }
    void setCrossed(bool crossed);
    bool isCrossed() const { return crossed_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    bool crossed_ = false;
};
