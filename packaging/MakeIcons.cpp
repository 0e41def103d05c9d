// Draws the desktop icon, the dog of the program's own pictures, into a hicolor
// icon theme tree at build time:
//   houndly_icons OUTDIR NAME  ->  OUTDIR/hicolor/NxN/apps/NAME.png, .../scalable/apps/NAME.svg
#include "app/DogHead.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

constexpr int kPixelSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kScalableSize = 128;

// The head fills nine tenths of the square; its outline sits a little above its centre.
void drawIcon(QPainter& painter, int size)
{
    drawDogHead(painter, size / 2.0, size * 0.52, size * 0.9);
}

bool writePng(const QString& folder, int size, const QString& name)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawIcon(painter, size);
    painter.end();
    const QString sized = QStringLiteral("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
    return QDir().mkpath(sized) && image.save(QStringLiteral("%1/%2.png").arg(sized, name));
}

bool writeSvg(const QString& folder, const QString& name)
{
    const QString scalable = folder + QStringLiteral("/hicolor/scalable/apps");
    if (!QDir().mkpath(scalable))
        return false;
    QSvgGenerator svg;
    svg.setFileName(QStringLiteral("%1/%2.svg").arg(scalable, name));
    svg.setSize(QSize(kScalableSize, kScalableSize));
    svg.setViewBox(QRect(0, 0, kScalableSize, kScalableSize));
    svg.setTitle(QStringLiteral("Houndly"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    drawIcon(painter, kScalableSize);
    return painter.end();
}

}  // namespace

int main(int argc, char* argv[])
{
    // Drawing needs no screen; the offscreen platform keeps the build machine's display out of it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: houndly_icons OUTDIR NAME\n", stderr);
        return 2;
    }
    bool written = writeSvg(arguments[1], arguments[2]);
    for (const int size : kPixelSizes)
        written = writePng(arguments[1], size, arguments[2]) && written;
    if (!written)
        std::fprintf(stderr, "houndly_icons: cannot write the icons into %s\n", qPrintable(arguments[1]));
    return written ? 0 : 1;
}
