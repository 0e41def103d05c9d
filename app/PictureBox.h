#pragma once

#include <QImage>
#include <QWidget>

// A black box that keeps one picture and repaints it whenever needed.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Fit { Stretch, PixelForPixel };
    PictureBox(Fit fit, QWidget* parent);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    // Drawn over the image, stretched as it is, without smoothing; null for none.
    void setOverlay(const QImage& overlay);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Fit fit_;
    QImage image_;
    QImage overlay_;
};
