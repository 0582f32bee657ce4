#pragma once

// Small synthetic installation files for the scoring tests and benchmarks: every value is
// made up here and chosen so that a test can work out the expected results by hand.

#include "store/ClientRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace kvx::test {

// The scoring key "KVXB2.TXT", field by field; index 0 unused as in the file's numbering.
struct KeyFixture
{
    std::array<int, 41> sigItemNo{};
    std::array<std::array<QString, 5>, 6> pointKey;                     // [block][code]
    std::array<std::array<std::array<std::vector<int>, 3>, 4>, 6> norm; // [scale][race][sex]
    std::array<int, 53> stressBound{};
    std::array<std::array<std::array<int, 52>, 4>, 3> stressNorm{}; // [sex][race][bracket]
    std::array<std::vector<int>, 6> scaleItems;                     // scales 1..5
    std::array<int, 58> floorItemNo{};
    std::array<std::array<int, 10>, 7> truthAdjust{}; // [scale 2..6][band 1..9]

    // The standard key:
    //  - scales: 1 items 1-20, 2 items 21-40, 3 items 41-60, 4 items 61-80,
    //    5 items 81-94 and 146-151;
    //  - a True answer earns 1 point in section 1; in sections 2 and 4 code c earns c-1;
    //  - norms: 40 raw scores, percentile = min(99, 2*raw + 10*(sex-1) + 3*(race-1));
    //  - stress bounds 0, 2, 4, ..., 102; stress norm of bracket b = b + 10*(sex-1) +
    //    3*(race-1);
    //  - floor items: alcohol 21-32, control 41-52, drugs 61-73, violence 81-94, 146-151;
    //  - significant items: alcohol 21-29, drugs 61-70, domestic violence 81-89,
    //    control 41-52;
    //  - no Truthfulness corrections.
    static KeyFixture standard();
    QByteArray render() const;
};

// The report text file "KVXRPT.TXT".
struct TextFixture
{
    std::array<QString, 5> rangeName;
    std::array<QString, 51> sigItemText;
    std::array<QString, 41> interviewText;

    static TextFixture standard();
    QByteArray render() const;
};

// Paragraph file of scale s: for each key, linesPerKey lines naming the scale and key, "END".
QByteArray paragraphFile(int scale, const QStringList& keys, int linesPerKey);

// Writes a complete installation (key, text, six paragraph files, "INVAL.TXT",
// "branding.ini") into dir.
void writeInstallation(const QString& dir, const KeyFixture& key = KeyFixture::standard(),
                       const TextFixture& text = TextFixture::standard(), int linesPerKey = 3);

// A client record: answers given as 155 characters (shorter: padded with "0").
struct ClientFixture
{
    QString name = QStringLiteral("Doe, Jane");
    QString age = QStringLiteral("34");
    QString dob = QStringLiteral("04/07/1990");
    int gender = 1;
    int race = 1;
    int marital = 2;
    int education = 4;
    QString testDate = QStringLiteral("03/05/2024");
    std::array<QString, 16> court{}; // 1..15; empty: "0"
    QByteArray answers;

    ClientRecord record() const;
};

// Answers of the standard key that give the client no point on any scale and no omission:
// False in section 1, "Rare or Never" in section 2, No in section 3, 1 in section 4.
QByteArray neutralAnswers();

} // namespace kvx::test
