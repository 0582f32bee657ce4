#include "testing/Presentation.h"

#include "testing/Instructions.h"
#include "testing/QuestionDatabase.h"

namespace kvx {

PresentationTexts TextsFor(const QString& language)
{
    if (isSpanish(language)) {
        const QString choose = QStringLiteral(
            "Ilumine la respuesta que usted escoja y luego oprima la tecla «Enter».");
        return {
            QStringLiteral("Presentación de preguntas"),
            QStringLiteral("Oprima la tecla «Enter» para seguir."),
            QStringLiteral(
                "Oprima las teclas de flechas Hacia Arriba o Hacia Abajo para iluminar su "
                "respuesta. Luego oprima la tecla «Enter». Oprima la tecla «F10» para ver "
                "la pregunta anterior."),
            choose,
            choose,
            QStringLiteral("Nota de Presentación"),
            QStringLiteral(
                "Usted ha terminado esta parte de la prueba. Oprima la tecla «Enter» para "
                "seguir."),
            QStringLiteral("Usted ha terminado la prueba. Se le agradece su participación.\n\n"
                           "Oprima la tecla «Enter» para terminar."),
        };
    }
    return {
        QStringLiteral("Question Presentation"),
        QStringLiteral("When ready press Enter to continue."),
        QStringLiteral("Use Up or Down arrow keys to highlight answer, then press Enter. Press F10 "
                       "to go back to previous question."),
        QStringLiteral("Press Enter to select this answer. Press Tab or Arrows to hear question "
                       "again."),
        QStringLiteral("Press Enter to select this answer."),
        QStringLiteral("Presentation Note"),
        QStringLiteral("You have completed this part of the test. Press Enter to continue."),
        QStringLiteral("You have completed the test. Thank you for your participation.\n\n"
                       "Press Enter to continue."),
    };
}

Result<std::vector<QuestionItem>> ReadQuestionItems(Recordset& rs, const QString& table)
{
    const auto refused = [&table](const QString& why) {
        return Error{err::DbFailure,
                     QStringLiteral("The question table %1 cannot be used: %2").arg(table, why)};
    };
    std::vector<QuestionItem> items;
    items.reserve(kItemCount);
    for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) {
        QuestionItem item;
        bool ok = false;
        item.id = rs.text(QStringLiteral("ID")).trimmed().toInt(&ok);
        if (!ok || item.id != static_cast<int>(items.size()) + 1)
            return refused(QStringLiteral("record %1 is not item %1.").arg(items.size() + 1));
        item.question = rs.text(QStringLiteral("TestQuestion"));
        item.questionAudio =
            rs.text(QStringLiteral("QuestionAudio")).trimmed() + QLatin1String(".wav");
        for (int n = 0; n < kMaxChoices; ++n) {
            const auto i = static_cast<size_t>(n);
            item.answers[i] = rs.text(QStringLiteral("ANSWER%1").arg(n + 1));
            item.choiceAudio[i] = rs.text(QStringLiteral("ChoiceAudio%1").arg(n + 1)).trimmed() +
                                  QLatin1String(".wav");
        }
        items.push_back(std::move(item));
    }
    if (items.size() != static_cast<size_t>(kItemCount))
        return refused(
            QStringLiteral("it holds %1 items, not %2.").arg(items.size()).arg(kItemCount));
    return items;
}

QByteArray AnswersFromTable(const AnswerTable& table)
{
    QByteArray out;
    out.reserve(kItemCount);
    for (const int code : table) {
        const QByteArray digits = QByteArray::number(code);
        out += digits.back();
    }
    return out;
}

} // namespace kvx
