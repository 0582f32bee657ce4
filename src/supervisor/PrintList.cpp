#include "supervisor/PrintList.h"

#include "store/DataFile.h"

#include <algorithm>

namespace kvx {

QString PrintSelectedInstructions()
{
    static const char* const lines[] = {
        "- Select the client names of the ",
        "  reports you want to print by ",
        "  clicking on them.",
        "- Use the scroll bar to view more",
        "  names.",
        "- If some of the names you have",
        "  selected scroll up or down out",
        "  of view, they are still selected ",
        "  and will print.",
        "- Click the \"Select All\" button to ",
        "  select all the names in the list.",
        "- Click the \"Print Selected\" button ",
        "  to print all the reports you have ",
        "  selected.",
        "- Click the \"Return to Main Menu\" ",
        "  button to cancel selections and ",
        "  return to the Main Menu.",
    };
    QString text;
    for (const char* line : lines)
        text += QLatin1String(line) + QStringLiteral("\r\n");
    return text;
}

QStringList PrintListLines(const Session& s)
{
    QStringList lines;
    for (int n = 1; n <= std::min(s.NumClients, kMaxClients); ++n)
        lines << ClientListLine(s, n);
    return lines;
}

QList<int> RecordsForRows(QList<int> rows, int lineCount)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<int> records;
    for (int row : rows) {
        if (row >= 0 && row < lineCount)
            records << row + 1;
    }
    return records;
}

} // namespace kvx
