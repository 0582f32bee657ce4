#include "scoring/ScoringTables.h"

#include "scoring/FieldReader.h"
#include "store/ClientRecord.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "store/RegularFile.h"

#include <QDir>

#include <optional>

namespace kvx {

QString FileProblem::text() const
{
    if (line > 0)
        return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message);
    return QStringLiteral("%1: %2").arg(file, message);
}

ScoringTables::ScoringTables()
{
    ScaleName = {QString(),
                 QStringLiteral("TRUTHFULNESS"),
                 QStringLiteral("ALCOHOL"),
                 QStringLiteral("CONTROL"),
                 QStringLiteral("DRUG"),
                 QStringLiteral("VIOLENCE"),
                 QStringLiteral("STRESS COPING")};
    ParagraphFile = {QString(),
                     QStringLiteral("KVXVA.TXT"),
                     QStringLiteral("KVXAL.TXT"),
                     QStringLiteral("KVXCL.TXT"),
                     QStringLiteral("KVXDG.TXT"),
                     QStringLiteral("KVXVI.TXT"),
                     QStringLiteral("KVXSC.TXT")};
    for (int item = 95; item <= 134; ++item)
        ScaleItems[6].push_back(item);
}

namespace {

// Reads fields one after another; the first unreadable field stops it for good.
class Parser
{
public:
    Parser(const QString& text, const QString& file, QList<FileProblem>& problems)
        : r_(text), file_(file), problems_(problems)
    {}

    bool stopped() const { return stopped_; }

    void problem(const QString& message, bool fatal = true, int code = err::BadFileContents)
    {
        problems_.append({file_, r_.line(), message, fatal, code});
    }

    std::optional<int> number(const FieldName& what)
    {
        if (stopped_)
            return std::nullopt;
        const Result<int> v = r_.number(what);
        if (!v)
            return stop(v.error());
        return *v;
    }

    // A number that must lie in lo..hi. A count outside stops the reading (what follows
    // cannot be found); any other value outside is listed and reading goes on.
    std::optional<int> numberIn(const FieldName& what, int lo, int hi, bool isCount = false)
    {
        const std::optional<int> v = number(what);
        if (v && (*v < lo || *v > hi)) {
            problem(
                QStringLiteral("%1 is %2, outside %3-%4").arg(what.text()).arg(*v).arg(lo).arg(hi));
            if (isCount) {
                stopped_ = true;
                return std::nullopt;
            }
        }
        return v;
    }

    std::optional<int> item(const FieldName& what) { return numberIn(what, 1, kItemCount); }

    std::optional<QString> text(const FieldName& what)
    {
        if (stopped_)
            return std::nullopt;
        const Result<QString> v = r_.textField(what);
        if (!v)
            return stop(v.error());
        return *v;
    }

    std::optional<QString> line(const FieldName& what)
    {
        if (stopped_)
            return std::nullopt;
        const Result<QString> v = r_.wholeLine(what);
        if (!v)
            return stop(v.error());
        return *v;
    }

    void finishLine() { r_.finishLine(); }
    int lineNo() const { return r_.line(); }

private:
    std::nullopt_t stop(const Error& e)
    {
        problem(e.message, true, e.code);
        stopped_ = true;
        return std::nullopt;
    }

    FieldReader r_;
    QString file_;
    QList<FileProblem>& problems_;
    bool stopped_ = false;
};

void readPointKeys(Parser& p, ScoringTables& t)
{
    static constexpr std::array<int, 6> kTopCode{0, 2, 2, 4, 2, 4};
    for (int block = 1; block <= 5; ++block)
        for (int code = 0; code <= kTopCode[block]; ++code)
            if (const auto v =
                    p.text(fieldName("the point key of block %1, answer %2", block, code)))
                t.PointKey[block][code] = *v;
}

void readNorms(Parser& p, ScoringTables& t)
{
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            for (int scale = 1; scale <= 5; ++scale) {
                const auto n =
                    p.numberIn(fieldName("the norm length of scale %1 (sex %2, race group %3)",
                                         scale, sex, race),
                               0, kMaxNormLength, true);
                if (!n)
                    return;
                std::vector<int>& norm = t.Norm[scale][race][sex];
                for (int raw = 1; raw <= *n; ++raw) {
                    const auto v = p.numberIn(
                        fieldName("the norm of raw score %1 of scale %2 (sex %3, race group %4)",
                                  raw, scale, sex, race),
                        0, 99);
                    if (!v)
                        return;
                    if (!norm.empty() && *v < norm.back())
                        p.problem(QStringLiteral("the norms of scale %1 (sex %2, race group %3) "
                                                 "fall from %4 to %5 at raw score %6")
                                      .arg(scale)
                                      .arg(sex)
                                      .arg(race)
                                      .arg(norm.back())
                                      .arg(*v)
                                      .arg(raw),
                                  false);
                    norm.push_back(*v);
                }
            }
}

void readStress(Parser& p, ScoringTables& t)
{
    for (int i = 1; i <= kStressBoundCount; ++i) {
        const auto v = p.number(fieldName("stress coping bound %1 of 52", i));
        if (!v)
            return;
        if (i > 1 && *v <= t.StressBound[i - 1])
            p.problem(QStringLiteral("stress coping bound %1 (%2) is not above bound %3 (%4)")
                          .arg(i)
                          .arg(*v)
                          .arg(i - 1)
                          .arg(t.StressBound[i - 1]),
                      false);
        t.StressBound[i] = *v;
    }
    for (int sex = 1; sex <= 2; ++sex)
        for (int race = 1; race <= 3; ++race)
            for (int b = 1; b <= kStressBracketCount; ++b)
                if (const auto v = p.numberIn(
                        fieldName("the stress coping norm of bracket %1 (sex %2, race group %3)", b,
                                  sex, race),
                        0, 99))
                    t.StressNorm[sex][race][b] = *v;
}

void readItemLists(Parser& p, ScoringTables& t)
{
    for (int scale = 1; scale <= 5; ++scale) {
        const auto n =
            p.numberIn(fieldName("the item count of scale %1", scale), 0, kMaxScaleItems, true);
        if (!n)
            return;
        t.ScaleItems[scale].clear();
        for (int k = 1; k <= *n; ++k)
            if (const auto v = p.item(fieldName("item %1 of scale %2", k, scale)))
                t.ScaleItems[scale].push_back(*v);
    }
    for (int k = 1; k <= kFloorItemCount; ++k)
        if (const auto v = p.item(fieldName("floor item %1 of 57", k)))
            t.FloorItemNo[k] = *v;
    for (int scale = 2; scale <= kScaleCount; ++scale)
        for (int band = 1; band <= kTruthBands; ++band)
            if (const auto v = p.number(
                    fieldName("the truthfulness correction of scale %1, band %2", scale, band)))
                t.TruthAdjust[scale][band] = *v;
}

} // namespace

void ReadScoringKey(const QString& text, const QString& fileName, ScoringTables& t,
                    QList<FileProblem>& problems)
{
    Parser p(text, fileName, problems);
    for (int k = 1; k <= kSigItemCount; ++k)
        if (const auto v = p.item(fieldName("significant item %1 of 40", k)))
            t.SigItemNo[k] = *v;
    readPointKeys(p, t);
    readNorms(p, t);
    readStress(p, t);
    readItemLists(p, t);
}

void ReadReportText(const QString& text, const QString& fileName, ScoringTables& t,
                    QList<FileProblem>& problems)
{
    Parser p(text, fileName, problems);
    // Four groups of labels (2, 6, 8 and 5) that the report does not use.
    for (int k = 1; k <= 21; ++k)
        p.text(fieldName("label %1 of 21", k));
    for (int r = 1; r <= 4; ++r)
        if (const auto v = p.text(fieldName("risk range name %1 of 4", r)))
            t.RangeName[r] = *v;
    p.finishLine();
    for (int k = 1; k <= kSigItemCount; ++k)
        if (const auto v = p.line(fieldName("significant item text %1 of 40", k)))
            t.SigItemText[k] = *v;
    for (int k = 1; k <= kInterviewTextCount; ++k)
        if (const auto v = p.line(fieldName("interview answer text %1 of 40", k)))
            t.InterviewText[k] = *v;
    for (int k = 1; k <= 10; ++k)
        if (const auto v = p.line(fieldName("treatment need text %1 of 10", k)))
            t.SigItemText[kSigItemCount + k] = *v;
}

Result<QString> ReadInstallationFile(const QString& programDir, const QString& name)
{
    const Result<QByteArray> bytes =
        readRegularFile(resolveFileName(programDir, name), kMaxInstallationFileBytes);
    if (!bytes) {
        if (bytes.error().code == err::FileNotFound)
            return Error{err::FileNotFound, QStringLiteral("%1: file not found").arg(name)};
        return Error{bytes.error().code, QStringLiteral("%1: %2").arg(name, bytes.error().message)};
    }
    return cp1252::decode(*bytes);
}

Result<ScoringTables> LoadScoringTables(const QString& programDir, QList<FileProblem>* problems)
{
    QList<FileProblem> found;
    ScoringTables t;
    const auto readOne = [&](const QString& name, auto reader) {
        const Result<QString> text = ReadInstallationFile(programDir, name);
        if (!text)
            found.append(
                {name, 0, text.error().message.mid(name.size() + 2), true, text.error().code});
        else
            reader(*text, name, t, found);
    };
    readOne(kReportTextFileName, &ReadReportText);
    readOne(kScoringKeyFileName, &ReadScoringKey);
    if (problems)
        *problems = found;
    for (const FileProblem& fp : std::as_const(found))
        if (fp.fatal)
            return Error{fp.code, fp.text()};
    return t;
}

} // namespace kvx
