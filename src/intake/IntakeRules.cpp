#include "intake/IntakeRules.h"

#include "store/CodeTables.h"
#include "store/Cp1252.h"
#include "store/DataFile.h"

namespace kvx {
namespace {

bool isLoneN(QStringView s)
{
    return s.size() == 1 && (s[0] == u'N' || s[0] == u'n');
}

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Two digits at pos, or -1.
int twoDigits(QStringView s, int pos)
{
    const QStringView part = s.mid(pos, 2);
    return (part.size() == 2 && allDigits(part)) ? part.toInt() : -1;
}

struct Match
{
    const char16_t* typed;  // the code typed as a digit
    const char16_t* prefix; // or the first letters of the entry
    int code;
};

} // namespace

int leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    int value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 100000)
            break; // far past every range checked here
    }
    return value;
}

QString infoFieldName(InfoField f)
{
    switch (f) {
    case InfoField::Name:
        return QStringLiteral("Name");
    case InfoField::Age:
        return QStringLiteral("Age");
    case InfoField::DateOfBirth:
        return QStringLiteral("DateOfBirth");
    case InfoField::Gender:
        return QStringLiteral("Gender");
    case InfoField::Race:
        return QStringLiteral("Race");
    case InfoField::Education:
        return QStringLiteral("Education");
    case InfoField::Marital:
        return QStringLiteral("Marital");
    }
    return {};
}

bool GoodDate(QStringView text)
{
    if (text.size() != 10 || text[2] != u'/' || text[5] != u'/')
        return false;
    const int month = twoDigits(text, 0);
    const int day = twoDigits(text, 3);
    const QStringView yearText = text.mid(6, 4);
    if (month < 0 || day < 0 || !allDigits(yearText))
        return false;
    // QDate knows the month lengths, leap years included.
    return QDate(yearText.toInt(), month, day).isValid();
}

Verdict CheckName(const QString& text)
{
    if (text.trimmed().isEmpty())
        return {text, QStringLiteral("Enter client's name. Press Enter to continue.")};
    return {text, {}};
}

Verdict CheckAge(const QString& text)
{
    const QString t = text.trimmed();
    if (isLoneN(t))
        return {QStringLiteral("N"), {}};
    const int years = leadingNumber(t);
    if (years > 10 && years < 100)
        return {t, {}};
    return {QString(),
            QStringLiteral("Enter age of client in number of years. Press Enter to continue.")};
}

Verdict CheckDateOfBirth(const QString& text)
{
    const QString t = text.trimmed().toUpper();
    if (t.startsWith(u'N') || GoodDate(t))
        return {t, {}};
    return {t, QStringLiteral("Enter date of birth month, day, year as mm/dd/yyyy or N for Not "
                              "Available. Press Enter to continue.")};
}

bool NameCharAccepted(QChar c)
{
    return cp1252::canEncode(c);
}

InfoField fieldOf(InfoList list)
{
    switch (list) {
    case InfoList::Gender:
        return InfoField::Gender;
    case InfoList::Race:
        return InfoField::Race;
    case InfoList::Education:
        return InfoField::Education;
    case InfoList::Marital:
        break;
    }
    return InfoField::Marital;
}

QStringList listEntries(InfoList list)
{
    switch (list) {
    case InfoList::Gender:
        return GenderLabel().labels;
    case InfoList::Race:
        return RaceLabel().labels;
    case InfoList::Education:
        return EducationLabel().labels;
    case InfoList::Marital:
        break;
    }
    return MaritalLabel().labels;
}

bool ListKeyAccepted(InfoList list, QChar c)
{
    if (c == u'N' || c == u'n')
        return true;
    const int highest = static_cast<int>(listEntries(list).size()) - 1;
    return c >= u'0' && c.unicode() <= u'0' + highest;
}

int MatchListEntry(InfoList list, QStringView text)
{
    static const Match gender[] = {{u"1", u"M", 1}, {u"2", u"F", 2}, {u"0", u"N", 0}};
    static const Match race[] = {{u"1", u"CA", 1}, {u"2", u"BL", 2}, {u"3", u"HI", 3},
                                 {u"4", u"AS", 4}, {u"5", u"NA", 5}, {u"6", u"OT", 6},
                                 {u"0", u"N/", 0}};
    static const Match marital[] = {{u"1", u"SI", 1}, {u"2", u"MA", 2}, {u"3", u"DI", 3},
                                    {u"4", u"SE", 4}, {u"5", u"WI", 5}, {u"0", u"N/", 0}};
    const QString t = text.toString().toUpper();
    if (list == InfoList::Education) {
        if (t.size() == 1 && t[0] >= u'0' && t[0] <= u'8')
            return t[0].unicode() - u'0';
        return -1;
    }
    const Match* begin = gender;
    const Match* end = std::end(gender);
    if (list == InfoList::Race) {
        begin = race;
        end = std::end(race);
    } else if (list == InfoList::Marital) {
        begin = marital;
        end = std::end(marital);
    }
    for (const Match* m = begin; m != end; ++m) {
        const QStringView prefix(m->prefix);
        if (t == QStringView(m->typed) || t.left(prefix.size()) == prefix)
            return m->code;
    }
    return -1;
}

Verdict CheckList(InfoList list, int index)
{
    if (index >= 0)
        return {QString::number(index), {}};
    switch (list) {
    case InfoList::Gender:
        return {{},
                QStringLiteral("Press down arrow to select sex or N for not available. Press "
                               "Enter to continue.")};
    case InfoList::Race:
        return {{},
                QStringLiteral("Press down arrow to select ethnicity. Press Enter to continue.")};
    case InfoList::Education:
        return {
            {},
            QStringLiteral("Press down arrow to select education level. Press Enter to continue.")};
    case InfoList::Marital:
        break;
    }
    return {
        {},
        QStringLiteral("Press down arrow key to select marital status. Press Enter to continue.")};
}

EditOutcome CountEditRule(QString& accepted, const QString& current, int& editCount)
{
    if (current == accepted)
        return EditOutcome::Unchanged;
    ++editCount;
    if (editCount < kEditLimit) {
        accepted = current;
        return EditOutcome::Counted;
    }
    editCount = kEditLimit;
    return EditOutcome::LimitReached;
}

InfoValues valuesOfRecord(const ClientRecord& r)
{
    InfoValues v;
    // An old disk may hold controls; the screen shows (and compares) them as blanks.
    v.name = cp1252::shownText(r.trimmed(Field::Name));
    v.age = cp1252::shownText(r.trimmed(Field::Age));
    const QString dob = r.text(Field::DateOfBirth);
    v.dateOfBirth = dob.startsWith(u'N') ? QStringLiteral("N") : cp1252::shownText(dob);
    v.gender = r.code(Field::Gender);
    v.race = r.code(Field::Race);
    v.education = r.code(Field::Education);
    v.marital = r.code(Field::Marital);
    return v;
}

QString acceptedText(const InfoValues& v, InfoField f)
{
    switch (f) {
    case InfoField::Name:
        return v.name.trimmed();
    case InfoField::Age:
        return v.age.trimmed();
    case InfoField::DateOfBirth:
        return v.dateOfBirth;
    case InfoField::Gender:
        return QString::number(v.gender);
    case InfoField::Race:
        return QString::number(v.race);
    case InfoField::Education:
        return QString::number(v.education);
    case InfoField::Marital:
        break;
    }
    return QString::number(v.marital);
}

bool InfoChanged(const ClientRecord& stored, const InfoValues& screen)
{
    const InfoValues shown = valuesOfRecord(stored);
    return shown.name.trimmed() != screen.name.trimmed() ||
           shown.age.trimmed() != screen.age.trimmed() ||
           stored.trimmed(Field::DateOfBirth) != screen.dateOfBirth.trimmed() ||
           stored.code(Field::Gender) != screen.gender || stored.code(Field::Race) != screen.race ||
           stored.code(Field::Education) != screen.education ||
           stored.code(Field::Marital) != screen.marital;
}

SaveAction DecideSave(const SaveContext& c)
{
    if (c.editMode && !c.changed)
        return SaveAction::CloseUnchanged;
    if (c.loadedEditCount >= kEditLimit && c.numClients > 0 && !c.scanEditMode)
        return SaveAction::CloseAtLimit;
    if (!c.editMode)
        return c.numClients >= kMaxClients ? SaveAction::RefuseDiskFull : SaveAction::StoreNew;
    return SaveAction::StoreAndWrite;
}

Status StoreInfo(ClientRecord& r, const InfoValues& v, int nameDeleted, int editCount)
{
    ClientRecord out = r;
    // A name shown as stored stays as stored, blanks in place of controls or not.
    const bool nameAsStored = valuesOfRecord(r).name.trimmed() == v.name.trimmed();
    if (Status s = nameAsStored ? Status{} : out.setText(Field::Name, v.name); !s)
        return s;
    if (Status s = out.setText(Field::Age, v.age); !s)
        return s;
    if (Status s = out.setText(Field::DateOfBirth, storedDateOfBirth(v.dateOfBirth)); !s)
        return s;
    out.setCode(Field::Gender, v.gender);
    out.setCode(Field::Race, v.race);
    out.setCode(Field::Education, v.education);
    out.setCode(Field::Marital, v.marital);
    out.setCode(Field::NameDeleted, nameDeleted);
    out.setCode(Field::EditCount, editCount);
    r = out;
    return {};
}

bool ValidCourtCount(QStringView value)
{
    const QStringView t = value.trimmed();
    if (isLoneN(t) || t == u"0")
        return true;
    // Only digits: a stray letter after the number would reach the record and the report.
    if (!allDigits(t))
        return false;
    const int n = leadingNumber(t);
    return n > 0 && n <= 99;
}

bool ValidCourtAge(QStringView value)
{
    const QStringView t = value.trimmed();
    if (isLoneN(t))
        return true;
    if (!allDigits(t))
        return false;
    const int n = leadingNumber(t);
    return n >= 5 && n <= 99;
}

Verdict CheckCourtItem(int item, const QString& text)
{
    const QString t = text.trimmed();
    if (item == 1 ? ValidCourtAge(t) : ValidCourtCount(t))
        return {isLoneN(t) ? QStringLiteral("N") : t, {}};
    if (item == 1)
        return {t, QStringLiteral("Enter age in years from 5 to 99 or N for Not Available. "
                                  "Press Enter to continue.")};
    return {t, QStringLiteral("Type a number from 0 to 99 or N for Not Available. Press Enter "
                              "to continue.")};
}

Status StoreCourtValues(ClientRecord& r, const std::array<QString, 15>& values)
{
    ClientRecord out = r;
    for (int item = 1; item <= kCourtItemCount; ++item) {
        if (Status s = out.setText(courtField(item), values[static_cast<size_t>(item - 1)]); !s)
            return s;
    }
    r = out;
    return {};
}

} // namespace kvx
