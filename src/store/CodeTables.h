#pragma once

#include <QString>
#include <QStringList>

namespace kvx {

// The code tables of the demographic fields: code = list position, 0 = "N/A".
struct CodeTable
{
    int width;          // labels are padded with blanks to this width
    QStringList labels; // in code order
};

const CodeTable& GenderLabel();
const CodeTable& RaceLabel();
const CodeTable& MaritalLabel();
const CodeTable& EducationLabel();
const CodeTable& YesNoLabel();

// The label of a code padded to the table width; an unknown code reads as "N/A".
QString paddedLabel(const CodeTable& table, int code);

} // namespace kvx
