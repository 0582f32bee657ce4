#include "scoring/Paragraphs.h"

namespace kvx {

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar ch = text[i];
        if (ch != u'\r' && ch != u'\n') {
            ++i;
            continue;
        }
        lines.append(text.mid(start, i - start));
        i += (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

namespace {

struct Found
{
    qsizetype keyLine = -1; // index of the key line
    qsizetype endLine = -1; // index of the "END" line after it
};

Found findParagraph(const QStringList& lines, const QString& key)
{
    Found f;
    f.keyLine = lines.indexOf(key);
    if (f.keyLine >= 0)
        f.endLine = lines.indexOf(kParagraphEnd, f.keyLine + 1);
    return f;
}

FileProblem problemOf(const QString& file, const QString& key, const Found& f)
{
    if (f.keyLine < 0)
        return {file, 0, QStringLiteral("no paragraph for the key \"%1\"").arg(key)};
    return {file, static_cast<int>(f.keyLine) + 1,
            QStringLiteral("the paragraph \"%1\" is not ended by \"END\"").arg(key)};
}

} // namespace

Result<QStringList> ReadParagraph(const QString& programDir, const QString& file,
                                  const QString& key)
{
    const Result<QString> text = ReadInstallationFile(programDir, file);
    if (!text)
        return text.error();
    const QStringList lines = SplitLines(*text);
    const Found f = findParagraph(lines, key);
    if (f.endLine < 0)
        return Error{err::BadFileContents, problemOf(file, key, f).text()};
    return lines.mid(f.keyLine + 1, f.endLine - f.keyLine - 1);
}

Result<QStringList> ReadInvalidText(const QString& programDir)
{
    const Result<QString> text = ReadInstallationFile(programDir, kInvalidTextFileName);
    if (!text)
        return text.error();
    const QStringList lines = SplitLines(*text);
    const qsizetype end = lines.indexOf(kParagraphEnd);
    return end < 0 ? lines : lines.first(end);
}

QList<FileProblem> CheckParagraphFile(const QString& programDir, const QString& file,
                                      const QStringList& keys)
{
    const Result<QString> text = ReadInstallationFile(programDir, file);
    if (!text)
        return {{file, 0, text.error().message.mid(file.size() + 2)}};
    const QStringList lines = SplitLines(*text);
    QList<FileProblem> problems;
    for (const QString& key : keys)
        if (const Found f = findParagraph(lines, key); f.endLine < 0)
            problems.append(problemOf(file, key, f));
    return problems;
}

QList<FileProblem> CheckInvalidText(const QString& programDir)
{
    const Result<QString> text = ReadInstallationFile(programDir, kInvalidTextFileName);
    if (!text)
        return {
            {kInvalidTextFileName, 0, text.error().message.mid(kInvalidTextFileName.size() + 2)}};
    const QStringList lines = SplitLines(*text);
    if (!lines.contains(kParagraphEnd))
        return {{kInvalidTextFileName, static_cast<int>(lines.size()),
                 QStringLiteral("the text is not ended by \"END\"")}};
    return {};
}

QStringList ParagraphKeys(const ScoringTables& t)
{
    return {t.RangeName[1], QStringLiteral("MEDIUM-LOW"),  QStringLiteral("MEDIUM-HIGH"),
            t.RangeName[3], QStringLiteral("MAXIMUM-LOW"), QStringLiteral("MAXIMUM-HIGH")};
}

} // namespace kvx
