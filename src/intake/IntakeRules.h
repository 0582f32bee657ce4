#pragma once

// The rules of the client information and court history screens, apart from the widgets:
// each check returns what the field shows afterwards and, when it refuses, the message.

#include "store/ClientRecord.h"
#include "store/Result.h"
#include "store/Session.h"
#include "ui/Prompter.h"

#include <QDate>
#include <QString>

#include <array>

namespace kvx {

struct Verdict
{
    QString value;   // what the field holds after the check
    QString message; // empty when the value is accepted
    bool ok() const { return message.isEmpty(); }
};

// The value of the digits a text starts with (blanks before them skipped); 0 when none.
int leadingNumber(QStringView text);

// --- client information ---

// The seven fields in screen order (the order of Enter, Tab and the checks on Save).
enum class InfoField
{
    Name,
    Age,
    DateOfBirth,
    Gender,
    Race,
    Education,
    Marital
};
inline constexpr int kInfoFieldCount = 7;

// The name CountEdit is called with ("Name", "Age", "DateOfBirth", ...).
QString infoFieldName(InfoField f);

// A calendar date written mm/dd/yyyy.
bool GoodDate(QStringView text);

Verdict CheckName(const QString& text);
// "N" in either case, or a number of years from 11 to 99; a refused age is emptied.
Verdict CheckAge(const QString& text);
// "N..." in either case, or a good mm/dd/yyyy date; the value is trimmed and upper-cased.
Verdict CheckDateOfBirth(const QString& text);

// The name field holds only what the data disk can store.
bool NameCharAccepted(QChar c);

// --- the four lists ---

enum class InfoList
{
    Gender,
    Race,
    Education,
    Marital
};

InfoField fieldOf(InfoList list);
// The list's entries, in code order, starting with "N/A".
QStringList listEntries(InfoList list);
// The characters the list takes while typing.
bool ListKeyAccepted(InfoList list, QChar c);
// The entry a text selects, or -1 when none (the list then drops down).
int MatchListEntry(InfoList list, QStringView text);
// A list is valid when one of its entries is chosen (index >= 0).
Verdict CheckList(InfoList list, int index);

// --- edit counting and saving ---

enum class EditOutcome
{
    Unchanged,    // the value is the accepted one
    Counted,      // a change, under the limit: the value is accepted now
    LimitReached, // the third change: the count stays at 3 and the fields lock
};

// Counts one field's change against editCount (an existing client's information may change
// three times). accepted is the field's accepted value.
EditOutcome CountEditRule(QString& accepted, const QString& current, int& editCount);

inline constexpr int kEditLimit = 3;

// The seven values as the screen holds them (lists as code, -1 when nothing is chosen).
struct InfoValues
{
    QString name;
    QString age;
    QString dateOfBirth;
    int gender = -1;
    int race = -1;
    int education = -1;
    int marital = -1;
};

// The values a stored record shows on screen.
InfoValues valuesOfRecord(const ClientRecord& r);
// A value as the accepted-value bookkeeping compares it (texts trimmed, lists as a number).
QString acceptedText(const InfoValues& v, InfoField f);
// Whether the screen differs from the stored record (texts without surrounding blanks).
bool InfoChanged(const ClientRecord& stored, const InfoValues& screen);

enum class SaveAction
{
    CloseUnchanged, // accepted, nothing to store
    CloseAtLimit,   // accepted, but the information was locked when loaded: nothing stored
    StoreNew,       // a new client: initialise entry NumClients + 1, fill it, write nothing yet
    StoreAndWrite,  // an existing client: fill the entry and write it to the data disk
    RefuseDiskFull, // a new client but the data disk has no free record
};

struct SaveContext
{
    bool editMode = false;
    bool scanEditMode = false;
    int numClients = 0;
    int loadedEditCount = 0;
    bool changed = false;
};

SaveAction DecideSave(const SaveContext& c);

// Copies the screen's values into a record; fails, leaving the record as it was, when a text
// cannot be stored.
Status StoreInfo(ClientRecord& r, const InfoValues& v, int nameDeleted, int editCount);

// --- court history ---

// Court item 1..15.
bool ValidCourtCount(QStringView value); // "N", "0", or 1..99
bool ValidCourtAge(QStringView value);   // "N", or 5..99
// Enter or Tab in item's box: the trimmed value ("n" becomes "N") or the message.
Verdict CheckCourtItem(int item, const QString& text);

// The order "Information OK" checks the items in.
inline constexpr std::array<int, 15> kCourtCheckOrder = {8, 1,  2,  3,  4,  5,  6, 7,
                                                         9, 10, 11, 12, 13, 14, 15};

// Copies the fifteen values (item 1 first) into the record's court fields.
Status StoreCourtValues(ClientRecord& r, const std::array<QString, 15>& values);

} // namespace kvx
