#include "store/CodeTables.h"

namespace kvx {

const CodeTable& GenderLabel()
{
    static const CodeTable t{
        6, {QStringLiteral("N/A"), QStringLiteral("Male"), QStringLiteral("Female")}};
    return t;
}

const CodeTable& RaceLabel()
{
    static const CodeTable t{15,
                             {QStringLiteral("N/A"), QStringLiteral("Caucasian"),
                              QStringLiteral("Black"), QStringLiteral("Hispanic"),
                              QStringLiteral("Asian"), QStringLiteral("Native American"),
                              QStringLiteral("Other")}};
    return t;
}

const CodeTable& MaritalLabel()
{
    static const CodeTable t{9,
                             {QStringLiteral("N/A"), QStringLiteral("Single"),
                              QStringLiteral("Married"), QStringLiteral("Divorced"),
                              QStringLiteral("Separated"), QStringLiteral("Widowed")}};
    return t;
}

const CodeTable& EducationLabel()
{
    static const CodeTable t{
        28,
        {QStringLiteral("N/A"), QStringLiteral("8th Grade or Less"),
         QStringLiteral("Partially Completed H.S."), QStringLiteral("G.E.D."),
         QStringLiteral("H.S. Graduate"), QStringLiteral("Partially Completed College"),
         QStringLiteral("Tech./Business School"), QStringLiteral("College Graduate"),
         QStringLiteral("Prof./Grad School")}};
    return t;
}

const CodeTable& YesNoLabel()
{
    static const CodeTable t{3,
                             {QStringLiteral("N/A"), QStringLiteral("Yes"), QStringLiteral("No")}};
    return t;
}

QString paddedLabel(const CodeTable& table, int code)
{
    const QString& label =
        (code >= 0 && code < table.labels.size()) ? table.labels[code] : table.labels[0];
    return label.leftJustified(table.width, u' ', true);
}

} // namespace kvx
