#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// The mask as the editor paints it: a grid of cells over the picture, each
// holding one weight (0 ignored, 128 half, 255 counted).
class MaskGrid {
public:
    static constexpr int kColumns = 32;
    static constexpr int kRows = 24;

    // Every cell counted.
    MaskGrid();
    // The cells of a picture of weights of any size: each takes the weight
    // under its centre, as the picture stretched over the grid shows it there.
    explicit MaskGrid(const QImage& weights);

    uint8_t weight(int column, int row) const;
    // The cell, or with a brush of 3 the 3 x 3 cells around it, takes the weight.
    void paint(int column, int row, int brush, uint8_t weight);
    // Every cell counted.
    void clear();
    // What was ignored is counted and the other way round: each weight w becomes 255 - w.
    void invert();
    // kColumns x kRows, Format_Grayscale8: what mask.pgm holds.
    QImage picture() const;

private:
    std::vector<uint8_t> cells_;
};
