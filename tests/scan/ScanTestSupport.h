#pragma once

#include "scan/ScanImage.h"
#include "scan/ScanSupport.h"

#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace kvx::test {

// One ScanItem row of a hand-made layout.
struct ItemRow
{
    float r;
    float theta;
    int dimx;
    int dimY;
    float dx;
    float dy;
};

// Writes a question database holding only a ScanItem table with these rows (X and Y set to
// -1, so a rewrite shows), at dir/KVX_32.db; returns its path.
QString writeLayoutDb(const QTemporaryDir& dir, const std::vector<ItemRow>& rows);

// A temporary installation holding a copy of the built question database.
QString copyBuiltDatabase(const QTemporaryDir& dir);

// Paints the pixels of the w x h rectangle at image (x, y) black.
void paintBlack(ScanImage& img, int x, int y, int w, int h);

// Paints the first n pixels (row by row) of the 15 x 15 bubble box at image (x, y) black.
void paintBubble(ScanImage& img, int x, int y, int n);

} // namespace kvx::test
