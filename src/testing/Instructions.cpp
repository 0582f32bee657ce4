#include "testing/Instructions.h"

#include <QStringList>

namespace kvx {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kIndent5 = QString(5, u' ');

QString lines(const QStringList& parts)
{
    return parts.join(kCrLf);
}

// The English paragraphs stand apart by one empty line.
QString paragraphs(const QStringList& parts)
{
    return parts.join(kCrLf + kCrLf);
}

QString indentedLines(int blanks, const QStringList& labels)
{
    QStringList out;
    for (const QString& label : labels)
        out << QString(blanks, u' ') + label;
    return lines(out);
}

InstructionTexts english()
{
    const QString begin = kIndent5 + QStringLiteral("Press Enter to begin.");
    return {
        paragraphs({
            QStringLiteral("General Instructions"),
            QStringLiteral("You are completing this inventory to give the staff information that "
                           "will help them understand your situation and needs."),
            QStringLiteral("The statements are numbered. Each statement must be answered. Read "
                           "each statement carefully and choose the answer that is accurate for "
                           "you."),
            QStringLiteral("Do not lie or give false information. Dishonesty can be detected. "
                           "This inventory measures how truthful and cooperative you are. In "
                           "addition, your court related records may be used to check the "
                           "information you provide."),
            QStringLiteral("A series of questions will be presented.  Read each statement "
                           "carefully and choose the answer that is accurate for you.  Once your "
                           "answer is selected you should depress the Down Arrow key to highlight "
                           "the answer you selected and then press the Enter key.  An answer is "
                           "highlighted when it has light blue around it."),
            QStringLiteral("You may use the Up and Down Arrow keys to change your answers, but be "
                           "sure the answer you selected is highlighted before you press the "
                           "Enter key. You may also use the Tab key to have the question "
                           "repeated."),
            QStringLiteral("Alcohol or drinking refers to beer, wine, or other liquors.  Drugs "
                           "refer to marijuana (pot), cocaine (coke), downers, crack, ice, heroin, "
                           "etc."),
            QStringLiteral("If you have any questions, ask the testing supervisor for help.  When "
                           "you understand these instructions, you may begin. Press the Enter key "
                           "to begin."),
        }),
        paragraphs({
            QStringLiteral("Section 1"),
            QStringLiteral("The following statements must be answered True or False."),
            QStringLiteral("If a statement is TRUE highlight \"True\" then press Enter."),
            QStringLiteral("If a statement is FALSE highlight \"False\" then press Enter."),
            begin,
        }),
        paragraphs({
            QStringLiteral("Section 2"),
            QStringLiteral("The next series of statements contain items you should rate to "
                           "describe yourself.  Rate each statement by selecting the answer that "
                           "is accurate for you.  For example:"),
            indentedLines(36, {QStringLiteral("Rare or Never"), QStringLiteral("Sometimes"),
                               QStringLiteral("Often"), QStringLiteral("Very Often")}),
            QStringLiteral("Highlight the answer you select, then press Enter."),
            begin,
        }),
        paragraphs({
            QStringLiteral("Section 3"),
            QStringLiteral("Several available community resources and programs are listed. "
                           "Highlight Yes if you want to participate, or continue to participate, "
                           "in a program. Highlight No if you do not want to participate. "
                           "Highlight the answer you select, then press Enter."),
            begin,
        }),
        paragraphs({
            QStringLiteral("Section 4"),
            QStringLiteral("The statements in this section describe you or your situation. "
                           "Highlight the answer (1, 2, 3 or 4) that is accurate for you, then "
                           "press Enter. "),
            begin,
        }),
    };
}

InstructionTexts spanish()
{
    const QString begin = QStringLiteral("Oprima la tecla «Enter» para comenzar.");
    return {
        lines({
            QStringLiteral("Instrucciones"),
            kIndent5 + QStringLiteral("Está usted completando este inventario para darle al "
                                      "personal información que les ayudará a ellos comprender su "
                                      "situación y necesidades. "),
            kIndent5 + QStringLiteral("Las declaraciones están numeradas. Cada declaración debe "
                                      "ser contestada. Lea cada declaración cuidadosamente y "
                                      "escoja la espuesta que es cierta para usted."),
            kIndent5 + QStringLiteral("No mienta ni dé información falsa. La deshonestidad puede "
                                      "ser detectada. Este inventario mide que tan veraz y "
                                      "cooperativo es usted. Además, sus archivos tribunales "
                                      "pueden ser usados para confirmar la información que used "
                                      "provee."),
            kIndent5 + QStringLiteral("Se le van a presentar varias preguntas. Lea cada oración "
                                      "con cuidado y escoja la contestación que más le acierte a "
                                      "usted. Una vez usted haya escogido su contestación, debe "
                                      "usted apretar la tecla con la flecha Hacia Abajo para así "
                                      "iluminar la contestación que usted ha escogido. Y luego "
                                      "apriete la tecla «Enter». La contestación se ilumina "
                                      "cuando tiene color azul claro brillando alrededor de "
                                      "ella."),
            kIndent5 + QStringLiteral("Usted puede usar las flechas Hacia Arriba y Hacia Abajo en "
                                      "sus teclas para cambiar las contestaciones. Pero asegúrese "
                                      "de que la contestación que usted escoja esté iluminada "
                                      "antes de que usted apriete la tecla «Enter». Además, usted "
                                      "puede utilizar la tecla «Tab» para que le repitan la "
                                      "pregunta."),
            kIndent5 + QStringLiteral("«El licor» o «la bebida» implica cerveza, vino u otros "
                                      "destilados. «Las drogas» significa tanto las recetadas "
                                      "como las sancionadas, tales como: la marihuana (fuma o "
                                      "mota), cocaína (coca o perico), «crack» (piedra), "
                                      "anfetaminas, barbitúricos y heroína."),
            kIndent5 +
                QStringLiteral("Si tuviera alguna duda, pregúntele al encargado de "
                               "administrar la prueba para que le ayude. Cuando entienda "
                               "bien estas instrucciones, puede comenzar. ") +
                begin,
        }),
        QStringLiteral("Las oraciones de esta sección deben contestarse con «Cierto» o «Falso». "
                       "Si la oración es cierta, ilumine el área que dice «Cierto» y entonces "
                       "apriete «Enter». Si la oración es falsa, ilumine el  área que dice "
                       "«Falso» y entonces apriete «Enter». ") +
            begin,
        QStringLiteral("Escoja la respuesta que más le acierte a usted al presente. Ilumine la "
                       "respuesta que usted escoja en la pantalla y luego oprima la tecla "
                       "«Enter». Use la escala de valores siguiente:") +
            kCrLf + kCrLf +
            indentedLines(12, {QStringLiteral("1. Raro o nunca"), QStringLiteral("2. Hay veces"),
                               QStringLiteral("3. Frecuentemente"),
                               QStringLiteral("4. Muy frecuente")}),
        QStringLiteral("Algunas fuentes y programas disponibles de la comunidad aparecen en la "
                       "siquiente lista. Ilumine Sí, si se interesa en participar, o continuar en "
                       "participar, en un programa. Ilumine No, si no quiere participar. Cada "
                       "articulo debe ser contestado Sí o no. Luego oprima la tecla «Enter».") +
            kCrLf + kCrLf + begin,
        QStringLiteral("Las oraciones de esta sección deben describir su persona o "
                       "circunstancias. Ilumine el número de la contestación que usted escoja y "
                       "que más le acierte: 1, 2, 3 ó 4. Luego oprima la tecla «Enter».") +
            kCrLf + kCrLf + begin,
    };
}

} // namespace

bool isSpanish(const QString& language)
{
    return language.compare(QLatin1String("SPANISH"), Qt::CaseInsensitive) == 0;
}

InstructionTexts BuildInstructions(const QString& language)
{
    return isSpanish(language) ? spanish() : english();
}

QString InstructionAudio(int k)
{
    return QStringLiteral("Inst%1.wav").arg(k);
}

} // namespace kvx
