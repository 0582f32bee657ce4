#pragma once

#include "scan/ScanImage.h"
#include "store/Result.h"

#include <QString>
#include <QtGlobal>

namespace kvx {

class Recordset;

// Imaging error numbers our layer reports; their texts come from LeadErrorText.
namespace err {
inline constexpr int ImgOutOfMemory = 20001;
inline constexpr int ImgReadingFile = 20007;
inline constexpr int ImgInvalidFormat = 20009;
inline constexpr int ImgFileNotFound = 20010;
inline constexpr int ImgInvalidSize = 20011;
inline constexpr int ImgSubtypeUnsupported = 20012;
inline constexpr int ImgWritingFile = 20005;
inline constexpr int ScanCancelled = 20080;
inline constexpr int ScanOutOfMemory = 20081;
inline constexpr int ScanNoSource = 20082;
inline constexpr int ScanDeviceBusy = 20083;
inline constexpr int ScanDeviceError = 20084;
// A sheet whose registration boxes cannot be found.
inline constexpr int AnchorBoxNotFound = 20201;
inline constexpr int ReferenceBoxNotFound = 20202;
} // namespace err

inline const QString kAnchorNotFoundText = QStringLiteral("Anchor Box not found");
inline const QString kReferenceNotFoundText = QStringLiteral("Reference Box not found");

// A point of the sheet in both forms; X and Y are whole pixels, r and theta single precision
// (theta in degrees, clockwise on the image since y grows downwards).
struct ScanPoint
{
    qint16 X = 0;
    qint16 Y = 0;
    float r = 0.0f;
    float theta = 0.0f;
};

// What the registration of one sheet leaves for the readers. A failed search overwrites only
// what it set before failing, so values of an earlier sheet may remain.
struct ScanState
{
    ScanPoint AnchorBox;    // image coordinates
    ScanPoint ReferenceBox; // relative to the anchor box; theta is the row angle
    qint16 DarkCount = 0;   // dark pixels counted by the last FindMark
    // The sheet's size against the layout's, from the distance between the boxes: a sheet
    // printed "fit to page" comes out at 94 to 98 %. Exactly 1 within 1 %.
    float Scale = 1.0f;
};

// How far the reference box lies from the anchor box on a sheet printed at its true size.
inline constexpr float kReferenceDistance = 761.0f;

// The message for an imaging error code; empty for a code without one.
QString LeadErrorText(int code);

// Sets X and Y from r and theta (halves round to even).
void PolarToXY(ScanPoint& p);
// Sets r and theta from X and Y; theta is 90 when X is 0 and stays within -90..90 otherwise.
void XYToPolar(ScanPoint& p);

// Is the square box at the point dark enough? Size 6: 6 x 6 pixels, more than 10.8 dark;
// otherwise (size + 1) x (size + 1) pixels, more than size * size * 0.05 dark. Sets DarkCount.
bool FindMark(ScanState& st, const ScanImage& img, const ScanPoint& p, qint16 size);

// Searches the anchor box in image coordinates (the origin must still be at 0, 0).
bool FindAnchorBox(ScanState& st, const ScanImage& img);
// FindAnchorBox, then, when the usual window holds none, a second window right of it and
// lower, where a sheet printed smaller and turned puts its anchor box.
bool LocateAnchorBox(ScanState& st, const ScanImage& img);
// Searches the reference box relative to the anchor box (the origin must be there); when the
// usual window holds none, a second one nearer the anchor, for a sheet printed smaller.
bool FindReferenceBox(ScanState& st, const ScanImage& img);

// Prepared image in, origin moved to the anchor box: both boxes found and the scale set, or the
// error with "Anchor Box not found" or "Reference Box not found".
Status RegisterSheet(ScanState& st, ScanImage& img);

// How a row of bubbles came out: how many were marked, and which one wins (the darkest,
// the first on a tie; -1 when none is marked), with the dark counts the doubt rules look at.
struct RowMarks
{
    int marked = 0;
    int chosen = -1;
    int chosenDark = 0;     // dark pixels of the winning bubble
    int strongestUnset = 0; // most dark pixels of a bubble that did not count as marked
};

// One layout row as the readers use it.
struct ScanRow
{
    float r = 0;
    float theta = 0;
    int count = 0;     // dimx, or DimY for a vertical digit column
    float spacing = 0; // dx, or dy
    bool vertical = false;
};

// Reads the geometry of the current ScanItem row and rewrites its X and Y from r and theta.
Result<ScanRow> RewriteLayoutRow(Recordset& row, bool vertical);

// The bubbles of a row on a registered sheet, turned by the row angle and scaled by the sheet's
// scale about the anchor box.
RowMarks ReadScanRow(ScanState& st, const ScanImage& img, const ScanRow& row);

// What each reader makes of a row: a digit or "N"; the list position or 0; the answer code
// (offset 1, "0" for none) or the court count (offset 0, "N" for none).
QString DigitText(const RowMarks& marks);
QString ChoiceText(const RowMarks& marks);
QString MarkText(const RowMarks& marks, int offset);

// The layout readers: each reads the current ScanItem row (r, theta, dimx or DimY, dx or dy),
// rewrites its X and Y, and looks at its bubbles along the row angle. `seen`, when given,
// receives how the row came out.
Status ReadDigitColumn(ScanState& st, const ScanImage& img, Recordset& row, QString& text,
                       RowMarks* seen = nullptr);
Status ReadChoiceRow(ScanState& st, const ScanImage& img, Recordset& row, QString& text,
                     RowMarks* seen = nullptr);
Status ReadMarkRow(ScanState& st, const ScanImage& img, Recordset& row, QString& text, int offset,
                   RowMarks* seen = nullptr);

// Why the reading of a row is a guess the operator should look at, or empty when it is not.
// A bubble counts as marked above 9.8 dark pixels (of 225). The figures:
//   "several": two or more bubbles marked (the darkest won);
//   "faint":   the winning bubble has fewer than 19.6 dark pixels (twice the mark threshold),
//              or no bubble is marked but one has 4.9 or more (half the threshold), so
//              at least 5 pixels: a light mark just missed.
inline constexpr float kBubbleThreshold = 14.0f * 14.0f * 0.05f;
inline constexpr float kFaintWinnerBelow = 2.0f * kBubbleThreshold;
inline constexpr float kNearMissFrom = 0.5f * kBubbleThreshold;
QString RowDoubt(const RowMarks& marks);

// The bubbles of one row or column: the first at base, then along the step direction.
// Exposed for the sheet tests; the readers use it.
RowMarks ReadBubbles(ScanState& st, const ScanImage& img, const ScanPoint& base, int count,
                     float spacing, float angle);

} // namespace kvx
