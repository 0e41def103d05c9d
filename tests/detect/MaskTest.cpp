// mask.pgm: every damaged file told from a good one.
#include "detect/MaskFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>


namespace {

QByteArray pgm(const QByteArray& header, int values, uint8_t value = 0x80)
{
    return header + QByteArray(values, static_cast<char>(value));
}

// A damaged file is never a mask; a good one in any of PGM's spellings is.
TEST(Mask, FilesThatCannotBeUsedAreToldFromGoodOnes)
{
    using enum MaskProblem;
    const struct {
        const char* what;
        QByteArray bytes;  // null: no file
        MaskProblem problem;
        uint8_t firstWeight = 0;
    } rows[] = {
        {"missing", QByteArray(), Missing},
        {"ASCII PGM", "P2\n2 2\n255\n1 2 3 4\n", NotBinaryPgm},
        {"a PNG", "\x89PNG\r\n\x1a\n", NotBinaryPgm},
        {"magic run into the width", pgm("P52 2\n255\n", 4), NotBinaryPgm},
        {"header cut short", "P5\n4 4\n", NotBinaryPgm},
        {"empty", "", NotBinaryPgm},
        {"16-bit", pgm("P5\n2 2\n256\n", 8), NotEightBit},
        {"maximum 0", pgm("P5\n2 2\n0\n", 4), NotEightBit},
        {"no width", pgm("P5\n0 2\n255\n", 4), BadSize},
        {"absurd height, 2 past 2^64", pgm("P5\n2 18446744073709551618\n255\n", 4), BadSize},
        {"no height", pgm("P5\n2 0\n255\n", 4), BadSize},
        {"wider than 8192", pgm("P5\n8193 1\n255\n", 8193), BadSize},
        {"8192 wide", pgm("P5\n8192 1\n255\n", 8192, 9), None, 9},
        {"short data", pgm("P5\n4 4\n255\n", 15), ShortData},
        {"no blank after the maximum", pgm("P5\n2 2\n255", 4), NotBinaryPgm},
        {"a value above the maximum", pgm("P5\n2 2\n15\n", 4, 16), BadValue},
        {"good, with comments and blanks", pgm("P5 # made by hand\n\v2\t2\f#\n255\r", 4, 7), None, 7},
        {"a comment of 4000 bytes", pgm("P5\n#" + QByteArray(4000, 'c') + "\n2 2\n255\n", 4, 7), None, 7},
        {"fewer levels are scaled and rounded", pgm("P5\n2 2\n2\n", 4, 1), None, 128},
        {"bytes after the values are left", pgm("P5\n2 1\n255\n", 9, 200), None, 200},
    };
    QTemporaryDir folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QString path = folder.filePath(QString::fromLatin1(row.what) + QStringLiteral(".pgm"));
        if (!row.bytes.isNull()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.bytes);
        }
        const MaskRead read = readMaskFile(path);
        EXPECT_EQ(read.problem, row.problem);
        EXPECT_EQ(read.weights.isNull(), row.problem != None);
        if (row.problem == None && read.problem == None) {
            EXPECT_EQ(read.weights.constScanLine(0)[0], row.firstWeight);
        }
    }
    EXPECT_EQ(readMaskFile(folder.path()).problem, Unreadable) << "a folder";
}

}  // namespace
