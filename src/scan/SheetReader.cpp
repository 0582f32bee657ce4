#include "scan/SheetReader.h"

#include "install/Settings.h"
#include "store/CodeTables.h"
#include "testing/QuestionDatabase.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kvx {
namespace {

const QString kScanItemTable = QStringLiteral("ScanItem");
// The vertical digit columns among the layout rows: the age and the age at first conviction.
constexpr int kAgeRow = 0;
constexpr int kFirstConvictionRow = 6;

Error layoutError(const Error& cause)
{
    return Error{cause.code, QStringLiteral("The scan layout cannot be read: ") + cause.message};
}

QString jsonNumber(float v)
{
    return QString::number(double(v), 'g', 7);
}

} // namespace

QString JsonText(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

Workspace DefaultWorkspace(const QString& programDir)
{
    return Workspace(EngineDefaults{QStringLiteral("QELTest"), QStringLiteral("tamvoli"),
                                    QDir(programDir).filePath(kIniFileName)},
                     QString(), QStringLiteral("admin"), QString());
}

Result<ScanLayout> OpenScanLayout(const Workspace& ws, const QString& dbPath)
{
    auto db = ws.OpenDatabase(dbPath, true);
    if (!db)
        return layoutError(db.error());
    Result<Recordset> rs = (*db)->OpenRecordset(kScanItemTable);
    if (!rs)
        return layoutError(rs.error());
    for (const char16_t* column : {u"r", u"theta", u"X", u"Y", u"dimx", u"DimY", u"dx", u"dy"}) {
        if (!rs->hasField(QString::fromUtf16(column)))
            return layoutError(
                Error{err::DbNoSuchField, QStringLiteral("the table ScanItem has no column '%1'.")
                                              .arg(QString::fromUtf16(column))});
    }
    if (rs->RecordCount() < kScanItemRows)
        return layoutError(Error{err::DbNoCurrentRecord,
                                 QStringLiteral("the table ScanItem has %1 of its %2 rows.")
                                     .arg(rs->RecordCount())
                                     .arg(kScanItemRows)});
    // One write for all 177 rewrites; a commit per row is slow on a real disk.
    if (Status s = (*db)->BeginTrans(); !s)
        return layoutError(s.error());
    ScanLayout layout;
    layout.rows.reserve(kScanItemRows);
    Recordset& row = *rs;
    row.MoveFirst();
    for (int i = 0; i < kScanItemRows; ++i) {
        if (i > 0)
            row.MoveNext();
        const bool digitColumn = i == kAgeRow || i == kAgeRow + 1 || i == kFirstConvictionRow ||
                                 i == kFirstConvictionRow + 1;
        Result<ScanRow> g = RewriteLayoutRow(row, digitColumn);
        if (!g) {
            (*db)->Rollback();
            return layoutError(g.error());
        }
        layout.rows.push_back(*g);
    }
    if (Status s = (*db)->CommitTrans(); !s) {
        (*db)->Rollback();
        return layoutError(s.error());
    }
    return layout;
}

SheetTexts ReadLayout(ScanState& st, const ScanImage& img, const ScanLayout& layout,
                      QList<SheetDoubt>* doubts)
{
    SheetTexts t;
    QList<SheetDoubt> found;
    auto note = [&](const QString& field, int item, const QString& reason) {
        if (reason.isEmpty())
            return;
        // Both columns of the first conviction are court item 1: one entry, "several" first.
        for (SheetDoubt& d : found) {
            if (d.field == field && d.item == item) {
                if (reason == u"several")
                    d.reason = reason;
                return;
            }
        }
        found.append(SheetDoubt{field, item, reason});
    };
    int next = 0;
    // A layout short of rows (never one OpenScanLayout gave) reads the missing rows as empty.
    auto read = [&]() {
        const size_t at = static_cast<size_t>(next++);
        return at < layout.rows.size() ? ReadScanRow(st, img, layout.rows[at]) : RowMarks{};
    };

    for (int i = 0; i < 2; ++i) {
        const RowMarks m = read();
        t.age += DigitText(m);
        note(QStringLiteral("age"), i + 1, RowDoubt(m));
    }
    const std::pair<QString*, const CodeTable*> choices[] = {{&t.gender, &GenderLabel()},
                                                             {&t.race, &RaceLabel()},
                                                             {&t.marital, &MaritalLabel()},
                                                             {&t.education, &EducationLabel()}};
    const char16_t* choiceFields[] = {u"gender", u"race", u"marital", u"education"};
    for (int c = 0; c < 4; ++c) {
        auto [text, list] = choices[c];
        const RowMarks m = read();
        *text = ChoiceText(m);
        const QString field = QString::fromUtf16(choiceFields[c]);
        // A layout row with more bubbles than its list has entries: no such list position.
        if (text->toInt() >= list->labels.size()) {
            *text = QStringLiteral("0");
            note(field, 1, QStringLiteral("beyond"));
        } else {
            note(field, 1, RowDoubt(m));
        }
    }
    QString firstConviction;
    for (int i = 0; i < 2; ++i) {
        const RowMarks m = read();
        firstConviction += DigitText(m);
        note(QStringLiteral("court"), 1, RowDoubt(m));
    }
    t.court << firstConviction;
    for (int i = 1; i < kCourtItems; ++i) {
        const RowMarks m = read();
        t.court << MarkText(m, 0);
        note(QStringLiteral("court"), i + 1, RowDoubt(m));
    }
    t.answers.reserve(kAnswerItems);
    for (int item = 1; item <= kAnswerItems; ++item) {
        const RowMarks m = read();
        t.answers += MarkText(m, 1);
        note(QStringLiteral("answers"), item, RowDoubt(m));
    }
    if (doubts)
        *doubts += found;
    return t;
}

Result<SheetTexts> ReadScanLayout(ScanState& st, const ScanImage& img, const Workspace& ws,
                                  const QString& dbPath, QList<SheetDoubt>* doubts)
{
    Result<ScanLayout> layout = OpenScanLayout(ws, dbPath);
    if (!layout)
        return layout.error();
    return ReadLayout(st, img, *layout, doubts);
}

Result<SheetReading> ReadSheetImage(const QImage& acquired, const Workspace& ws,
                                    const QString& dbPath)
{
    ScanImage img = PrepareSheetImage(acquired);
    ScanState st;
    if (Status s = RegisterSheet(st, img); !s)
        return s.error();
    QList<SheetDoubt> doubts;
    Result<SheetTexts> texts = ReadScanLayout(st, img, ws, dbPath, &doubts);
    if (!texts)
        return texts.error();
    return SheetReading{st.AnchorBox, st.ReferenceBox, std::move(*texts), std::move(doubts)};
}

Result<SheetReading> ReadSheetImage(const QImage& acquired, const ScanLayout& layout)
{
    ScanImage img = PrepareSheetImage(acquired);
    ScanState st;
    if (Status s = RegisterSheet(st, img); !s)
        return s.error();
    QList<SheetDoubt> doubts;
    SheetTexts texts = ReadLayout(st, img, layout, &doubts);
    return SheetReading{st.AnchorBox, st.ReferenceBox, std::move(texts), std::move(doubts)};
}

QString SheetReadingJson(const SheetReading& r)
{
    QStringList court;
    for (const QString& c : r.texts.court)
        court << JsonText(c);
    QStringList doubts;
    for (const SheetDoubt& d : r.doubtful)
        doubts << QStringLiteral("{\"field\": %1, \"item\": %2, \"reason\": %3}")
                      .arg(JsonText(d.field))
                      .arg(d.item)
                      .arg(JsonText(d.reason));
    return QStringLiteral("{\"anchor\": [%1, %2], \"reference\": [%3, %4, %5], ")
               .arg(r.anchor.X)
               .arg(r.anchor.Y)
               .arg(r.reference.X)
               .arg(r.reference.Y)
               .arg(jsonNumber(r.reference.theta)) +
           QStringLiteral("\"age\": %1, \"gender\": %2, \"race\": %3, \"marital\": %4, "
                          "\"education\": %5, ")
               .arg(JsonText(r.texts.age), JsonText(r.texts.gender), JsonText(r.texts.race),
                    JsonText(r.texts.marital), JsonText(r.texts.education)) +
           QStringLiteral("\"court\": [%1], \"answers\": %2, \"doubtful\": [%3]}")
               .arg(court.join(QStringLiteral(", ")), JsonText(r.texts.answers),
                    doubts.join(QStringLiteral(", ")));
}

Result<SheetTexts> SheetTextsFromJson(const QByteArray& json)
{
    QJsonParseError perr;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &perr);
    if (doc.isNull() || !doc.isObject())
        return Error{err::ImgInvalidFormat,
                     QStringLiteral("not a JSON object: ") + perr.errorString()};
    const QJsonObject o = doc.object();
    SheetTexts t;
    auto text = [&](const char16_t* key, QString& into) -> bool {
        const QJsonValue v = o.value(QString::fromUtf16(key));
        if (v.isUndefined())
            return true;
        into = v.toString();
        return v.isString();
    };
    bool ok = text(u"age", t.age) && text(u"gender", t.gender) && text(u"race", t.race) &&
              text(u"marital", t.marital) && text(u"education", t.education) &&
              text(u"answers", t.answers);
    const QJsonValue court = o.value(QStringLiteral("court"));
    if (court.isArray()) {
        for (const QJsonValue& v : court.toArray()) {
            ok = ok && v.isString();
            t.court << v.toString();
        }
    } else if (!court.isUndefined()) {
        ok = false;
    }
    if (!ok)
        return Error{err::ImgInvalidFormat,
                     QStringLiteral("the sheet values must be texts (court: a list of texts)")};
    return t;
}

} // namespace kvx
