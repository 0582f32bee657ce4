#pragma once

#include "store/ClientRecord.h"
#include "store/Result.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace kvx {

class Recordset;

inline constexpr int kMaxChoices = 5;

// The fixed texts of the presentation screen in the client's language.
struct PresentationTexts
{
    QString caption;
    QString instructionsHelp;
    QString questionHelp;
    QString answerHelpSoundOn;
    QString answerHelpSoundOff;
    QString noteTitle;
    QString sectionNote;
    QString testEndNote;
};
PresentationTexts TextsFor(const QString& language);

// The waiting state after the final write failed, and the question before dropping the answers.
inline const QString kAnswersNotSaved =
    QStringLiteral("The answers are not saved yet. Ask the testing supervisor.");
inline const QString kAbandonUnsaved =
    QStringLiteral("The answers will be lost. Abandon the test?");

// One item as the question table holds it; audio names with ".wav" added.
struct QuestionItem
{
    int id = 0;
    QString question;
    QString questionAudio;
    std::array<QString, kMaxChoices> answers;
    std::array<QString, kMaxChoices> choiceAudio;

    // Choices 1 and 2 always count; 3 to 5 when their label is not empty.
    bool hasChoice(int index) const
    {
        return index < 2 || !answers[static_cast<size_t>(index)].isEmpty();
    }
    QString caption() const { return QString::number(id) + QStringLiteral(". ") + question; }
};

// The items of a question table in stored order. The table must hold the 155 items with the
// IDs 1 to 155 in that order; anything else is refused with the reason.
Result<std::vector<QuestionItem>> ReadQuestionItems(Recordset& rs, const QString& table);

// The answer table of an on-screen test: one code per item, 0 while unanswered.
using AnswerTable = std::array<int, kItemCount>;

// The record's Answers field from the answer table: the last decimal digit of each entry.
QByteArray AnswersFromTable(const AnswerTable& table);

} // namespace kvx
