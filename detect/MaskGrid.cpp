#include "detect/MaskGrid.h"

#include <algorithm>

MaskGrid::MaskGrid() : cells_(size_t{kColumns} * kRows, 255) {}

MaskGrid::MaskGrid(const QImage& weights) : MaskGrid()
{
    if (weights.isNull())
        return;
    const QImage grey = weights.convertToFormat(QImage::Format_Grayscale8);
    for (int row = 0; row < kRows; ++row) {
        const uint8_t* line = grey.constScanLine((2 * row + 1) * grey.height() / (2 * kRows));
        for (int column = 0; column < kColumns; ++column)
            cells_[size_t(row * kColumns + column)] = line[(2 * column + 1) * grey.width() / (2 * kColumns)];
    }
}

uint8_t MaskGrid::weight(int column, int row) const
{
    return cells_[size_t(row * kColumns + column)];
}

void MaskGrid::paint(int column, int row, int brush, uint8_t weight)
{
    const int reach = brush / 2;
    for (int y = std::max(0, row - reach); y <= std::min(kRows - 1, row + reach); ++y)
        for (int x = std::max(0, column - reach); x <= std::min(kColumns - 1, column + reach); ++x)
            cells_[size_t(y * kColumns + x)] = weight;
}

void MaskGrid::clear()
{
    std::fill(cells_.begin(), cells_.end(), uint8_t{255});
}

void MaskGrid::invert()
{
    for (uint8_t& cell : cells_)
        cell = static_cast<uint8_t>(255 - cell);
}

QImage MaskGrid::picture() const
{
    QImage picture(kColumns, kRows, QImage::Format_Grayscale8);
    for (int row = 0; row < kRows; ++row)
        std::copy_n(cells_.begin() + row * kColumns, kColumns, picture.scanLine(row));
    return picture;
}
