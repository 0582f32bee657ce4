#pragma once

#include "scan/SheetReader.h"
#include "store/Result.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

namespace kvx {

class Workspace;

// Our printed answer sheet, drawn from the scan layout so that sheet and layout agree.
// Page pixels are 1/100 inch on a legal page (850 x 1400).
namespace sheet {
inline constexpr int kPageWidth = 850;
inline constexpr int kPageHeight = 1400;
inline constexpr QPoint kAnchorCorner{35, 50};
inline constexpr QPoint kReferenceCorner{796, 50};
inline constexpr int kBoxSide = 20;
inline constexpr int kBubbleSide = 15;
// Printed in this colour, bubbles and texts vanish in the black plane of a scan.
inline constexpr QColor kDropOut{255, 160, 160};
inline constexpr int kPencilGrey = 135;
} // namespace sheet

// One ScanItem row as the sheet needs it.
struct LayoutRow
{
    QString name;
    float r = 0;
    float theta = 0;
    int dimx = 0;
    int dimY = 0;
    float dx = 0;
    float dy = 0;
};

// The 177 rows of the installation's layout, in table order (the database is opened shared).
Result<std::vector<LayoutRow>> LoadSheetLayout(const Workspace& ws, const QString& dbPath);

// Page rectangle of bubble k of layout row `row` on a straight sheet.
QRect BubbleRect(const std::vector<LayoutRow>& layout, int row, int k);

// Which bubble a value marks, for each layout row (-1: none), or an error when a value does
// not fit its row (a court value past the row's last bubble, a letter other than N, ...).
Result<std::vector<int>> BubblesForValues(const std::vector<LayoutRow>& layout,
                                          const SheetTexts& values);

// The blank sheet: the two black boxes and everything else in the drop-out colour.
void DrawAnswerSheet(QPainter& p, const std::vector<LayoutRow>& layout);

// A pencil mark filling bubble k of a row.
void DrawPencilMark(QPainter& p, const QRect& bubble, QColor pencil);

// The blank sheet at 100 dpi, with the values marked when fill is given.
Result<QImage> RenderAnswerSheet(const std::vector<LayoutRow>& layout, const SheetTexts* fill,
                                 QColor pencil = QColor(sheet::kPencilGrey, sheet::kPencilGrey,
                                                        sheet::kPencilGrey));

// The sheet as a legal-size PDF for printing.
Status WriteAnswerSheetPdf(const QString& path, const std::vector<LayoutRow>& layout,
                           const SheetTexts* fill);

} // namespace kvx
