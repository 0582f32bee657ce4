#pragma once

#include <QString>
#include <QStringView>

namespace kvx {

// Builds the lines of a fixed-pitch text report. Items are written left to right; a line
// ends only when end() is called, so a line can be continued by the next item list.
// Columns are counted from 1. Lines end with CR LF.
class LineWriter
{
public:
    LineWriter& spc(int n);
    // Blanks up to column n; when the line is already past it, a new line starts and is
    // filled up to column n.
    LineWriter& tab(int n);
    LineWriter& text(QStringView s);
    // A number: the sign place (a blank when not negative), the digits, one blank.
    LineWriter& number(int n);
    void end();

    void emptyLine() { end(); }
    void formFeedLine();

    // Column where the next character lands.
    int column() const { return static_cast<int>(line_.size()) + 1; }
    const QString& contents() const { return out_; }

private:
    QString out_;
    QString line_;
};

} // namespace kvx
