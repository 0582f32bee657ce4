#include "testing/Instructions.h"
#include "testing/Presentation.h"
#include "testing/TestAudio.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kvx;
using kvx::test::str;

namespace {

const char* const kEnglish[] = {
    "General Instructions\r\n\r\n"
    "You are completing this inventory to give the staff information that will help them "
    "understand your situation and needs.\r\n\r\n"
    "The statements are numbered. Each statement must be answered. Read each statement carefully "
    "and choose the answer that is accurate for you.\r\n\r\n"
    "Do not lie or give false information. Dishonesty can be detected. This inventory measures "
    "how truthful and cooperative you are. In addition, your court related records may be used "
    "to check the information you provide.\r\n\r\n"
    "A series of questions will be presented.  Read each statement carefully and choose the "
    "answer that is accurate for you.  Once your answer is selected you should depress the Down "
    "Arrow key to highlight the answer you selected and then press the Enter key.  An answer is "
    "highlighted when it has light blue around it.\r\n\r\n"
    "You may use the Up and Down Arrow keys to change your answers, but be sure the answer you "
    "selected is highlighted before you press the Enter key. You may also use the Tab key to have "
    "the question repeated.\r\n\r\n"
    "Alcohol or drinking refers to beer, wine, or other liquors.  Drugs refer to marijuana (pot), "
    "cocaine (coke), downers, crack, ice, heroin, etc.\r\n\r\n"
    "If you have any questions, ask the testing supervisor for help.  When you understand these "
    "instructions, you may begin. Press the Enter key to begin.",
    "Section 1\r\n\r\nThe following statements must be answered True or False.\r\n\r\n"
    "If a statement is TRUE highlight \"True\" then press Enter.\r\n\r\n"
    "If a statement is FALSE highlight \"False\" then press Enter.\r\n\r\n"
    "     Press Enter to begin.",
    "Section 2\r\n\r\nThe next series of statements contain items you should rate to describe "
    "yourself.  Rate each statement by selecting the answer that is accurate for you.  For "
    "example:\r\n\r\n"
    "                                    Rare or Never\r\n"
    "                                    Sometimes\r\n"
    "                                    Often\r\n"
    "                                    Very Often\r\n\r\n"
    "Highlight the answer you select, then press Enter.\r\n\r\n     Press Enter to begin.",
    "Section 3\r\n\r\nSeveral available community resources and programs are listed. Highlight "
    "Yes if you want to participate, or continue to participate, in a program. Highlight No if "
    "you do not want to participate. Highlight the answer you select, then press Enter.\r\n\r\n"
    "     Press Enter to begin.",
    "Section 4\r\n\r\nThe statements in this section describe you or your situation. Highlight "
    "the answer (1, 2, 3 or 4) that is accurate for you, then press Enter. \r\n\r\n"
    "     Press Enter to begin.",
};

const char* const kSpanish[] = {
    "Instrucciones\r\n"
    "     Está usted completando este inventario para darle al personal información que les "
    "ayudará a ellos comprender su situación y necesidades. \r\n"
    "     Las declaraciones están numeradas. Cada declaración debe ser contestada. Lea cada "
    "declaración cuidadosamente y escoja la espuesta que es cierta para usted.\r\n"
    "     No mienta ni dé información falsa. La deshonestidad puede ser detectada. Este "
    "inventario mide que tan veraz y cooperativo es usted. Además, sus archivos tribunales pueden "
    "ser usados para confirmar la información que used provee.\r\n"
    "     Se le van a presentar varias preguntas. Lea cada oración con cuidado y escoja la "
    "contestación que más le acierte a usted. Una vez usted haya escogido su contestación, debe "
    "usted apretar la tecla con la flecha Hacia Abajo para así iluminar la contestación que usted "
    "ha escogido. Y luego apriete la tecla «Enter». La contestación se ilumina cuando tiene color "
    "azul claro brillando alrededor de ella.\r\n"
    "     Usted puede usar las flechas Hacia Arriba y Hacia Abajo en sus teclas para cambiar las "
    "contestaciones. Pero asegúrese de que la contestación que usted escoja esté iluminada antes "
    "de que usted apriete la tecla «Enter». Además, usted puede utilizar la tecla «Tab» para que "
    "le repitan la pregunta.\r\n"
    "     «El licor» o «la bebida» implica cerveza, vino u otros destilados. «Las drogas» "
    "significa tanto las recetadas como las sancionadas, tales como: la marihuana (fuma o mota), "
    "cocaína (coca o perico), «crack» (piedra), anfetaminas, barbitúricos y heroína.\r\n"
    "     Si tuviera alguna duda, pregúntele al encargado de administrar la prueba para que le "
    "ayude. Cuando entienda bien estas instrucciones, puede comenzar. Oprima la tecla «Enter» "
    "para comenzar.",
    "Las oraciones de esta sección deben contestarse con «Cierto» o «Falso». Si la oración es "
    "cierta, ilumine el área que dice «Cierto» y entonces apriete «Enter». Si la oración es "
    "falsa, ilumine el  área que dice «Falso» y entonces apriete «Enter». Oprima la tecla "
    "«Enter» para comenzar.",
    "Escoja la respuesta que más le acierte a usted al presente. Ilumine la respuesta que usted "
    "escoja en la pantalla y luego oprima la tecla «Enter». Use la escala de valores "
    "siguiente:\r\n\r\n"
    "            1. Raro o nunca\r\n            2. Hay veces\r\n"
    "            3. Frecuentemente\r\n            4. Muy frecuente",
    "Algunas fuentes y programas disponibles de la comunidad aparecen en la siquiente lista. "
    "Ilumine Sí, si se interesa en participar, o continuar en participar, en un programa. "
    "Ilumine No, si no quiere participar. Cada articulo debe ser contestado Sí o no. Luego oprima "
    "la tecla «Enter».\r\n\r\nOprima la tecla «Enter» para comenzar.",
    "Las oraciones de esta sección deben describir su persona o circunstancias. Ilumine el número "
    "de la contestación que usted escoja y que más le acierte: 1, 2, 3 ó 4. Luego oprima la "
    "tecla «Enter».\r\n\r\nOprima la tecla «Enter» para comenzar.",
};

TEST(Instructions, TenTextsByTheLanguageRule)
{
    const struct
    {
        const char* language;
        const char* const* texts;
    } cases[] = {
        {"SPANISH", kSpanish}, {"Spanish", kSpanish},  {"sPaNiSh", kSpanish}, {"English", kEnglish},
        {"", kEnglish},        {"Spanish ", kEnglish}, {"Español", kEnglish},
    };
    for (const auto& c : cases) {
        const InstructionTexts texts = BuildInstructions(QString::fromUtf8(c.language));
        for (int k = 0; k < kInstructionCount; ++k)
            EXPECT_EQ(str(texts[static_cast<size_t>(k)]), c.texts[k])
                << "language '" << c.language << "', text " << k;
    }
    EXPECT_EQ(str(InstructionAudio(3)), "Inst3.wav");
}

TEST(Recordings, LetterNamesStandForTheirWords)
{
    const std::pair<const char*, const char*> cases[] = {
        {"T.wav", "True.wav"},    {" f ", "False.wav"}, {"y.WAV", "Yes.wav"}, {"N", "No.wav"},
        {"Q001.wav", "Q001.wav"}, {"TT.wav", "TT.wav"}, {"X.wav", "X.wav"},
    };
    for (const auto& [name, file] : cases)
        EXPECT_EQ(str(RecordingFileName(QString::fromLatin1(name))), file) << name;
}

// Records what the play routine asks of the device.
struct LogPlayer : AudioPlayer
{
    bool device = true;
    QStringList log;
    bool Prepare() override { return device; }
    void Play(const QString& path) override { log << QStringLiteral("play ") + path; }
    void Stop() override { log << QStringLiteral("stop"); }
};

TEST(Recordings, FoundWhateverTheLetterCaseAndSkippedWhenMissing)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString spanish = root.filePath(QStringLiteral("kvxtest/SOUND/Spanish"));
    ASSERT_TRUE(QDir().mkpath(spanish));
    for (const char* f : {"INST0.WAV", "True.wav"})
        ASSERT_TRUE(test::writeBytes(spanish + u'/' + QLatin1String(f), "RIFF"));

    LogPlayer player;
    TestAudio audio(player, root.path() + QStringLiteral("  "), QStringLiteral("Spanish"));
    audio.Play(QStringLiteral("Inst0.wav")); // before Prepare: sound is off
    EXPECT_TRUE(player.log.isEmpty());
    audio.Prepare();
    ASSERT_TRUE(audio.soundOn());
    for (const char* name : {"Inst0.wav", "t.wav", "Q001.wav", ""})
        audio.Play(QLatin1String(name));
    EXPECT_EQ(player.log,
              QStringList({QStringLiteral("stop"),
                           QStringLiteral("play ") + spanish + QStringLiteral("/INST0.WAV"),
                           QStringLiteral("stop"),
                           QStringLiteral("play ") + spanish + QStringLiteral("/True.wav"),
                           QStringLiteral("stop"), QStringLiteral("stop")}));
    EXPECT_TRUE(
        FindFileAnyCase(root.path(), QStringLiteral("KVXTest/sound/English/Inst0.wav")).isEmpty());
    EXPECT_EQ(FindFileAnyCase(root.path(), QStringLiteral("KVXTest/sound/SPANISH/true.WAV")),
              spanish + QStringLiteral("/True.wav"));
    // A folder is not a recording.
    EXPECT_TRUE(FindFileAnyCase(root.path(), QStringLiteral("KVXTest/sound")).isEmpty());

    LogPlayer mute;
    mute.device = false;
    TestAudio silent(mute, root.path(), QStringLiteral("Spanish"));
    silent.Prepare();
    silent.Play(QStringLiteral("Inst0.wav"));
    EXPECT_FALSE(silent.soundOn());
    EXPECT_TRUE(mute.log.isEmpty());
}

} // namespace
