"""The five instruction texts per language, as the presentation screen shows them.
The recordings Inst0.wav to Inst4.wav speak these texts."""

CRLF = "\r\n"

# English: paragraphs joined by an empty line.
_EN_PARAGRAPHS = [
    [
        'General Instructions',
        'You are completing this inventory to give the staff information that will help them understand your situation and needs.',
        'The statements are numbered. Each statement must be answered. Read each statement carefully and choose the answer that is accurate for you.',
        'Do not lie or give false information. Dishonesty can be detected. This inventory measures how truthful and cooperative you are. In addition, your court related records may be used to check the information you provide.',
        'A series of questions will be presented.  Read each statement carefully and choose the answer that is accurate for you.  Once your answer is selected you should depress the Down Arrow key to highlight the answer you selected and then press the Enter key.  An answer is highlighted when it has light blue around it.',
        'You may use the Up and Down Arrow keys to change your answers, but be sure the answer you selected is highlighted before you press the Enter key. You may also use the Tab key to have the question repeated.',
        'Alcohol or drinking refers to beer, wine, or other liquors.  Drugs refer to marijuana (pot), cocaine (coke), downers, crack, ice, heroin, etc.',
        'If you have any questions, ask the testing supervisor for help.  When you understand these instructions, you may begin. Press the Enter key to begin.',
    ],
    [
        'Section 1',
        'The following statements must be answered True or False.',
        'If a statement is TRUE highlight "True" then press Enter.',
        'If a statement is FALSE highlight "False" then press Enter.',
        '     Press Enter to begin.',
    ],
    [
        'Section 2',
        'The next series of statements contain items you should rate to describe yourself.  Rate each statement by selecting the answer that is accurate for you.  For example:',
        CRLF.join(" " * 36 + label for label in
                  ["Rare or Never", "Sometimes", "Often", "Very Often"]),
        'Highlight the answer you select, then press Enter.',
        '     Press Enter to begin.',
    ],
    [
        'Section 3',
        'Several available community resources and programs are listed. Highlight Yes if you want to participate, or continue to participate, in a program. Highlight No if you do not want to participate. Highlight the answer you select, then press Enter.',
        '     Press Enter to begin.',
    ],
    [
        'Section 4',
        'The statements in this section describe you or your situation. Highlight the answer (1, 2, 3 or 4) that is accurate for you, then press Enter. ',
        '     Press Enter to begin.',
    ],
]
ENGLISH = [(CRLF + CRLF).join(paragraphs) for paragraphs in _EN_PARAGRAPHS]

# Spanish: paragraphs joined by a single line break unless an empty line stands between.
_ES_BEGIN = 'Oprima la tecla «Enter» para comenzar.'
SPANISH = [
    CRLF.join([
        'Instrucciones',
        '     Está usted completando este inventario para darle al personal información que les ayudará a ellos comprender su situación y necesidades. ',
        '     Las declaraciones están numeradas. Cada declaración debe ser contestada. Lea cada declaración cuidadosamente y escoja la espuesta que es cierta para usted.',
        '     No mienta ni dé información falsa. La deshonestidad puede ser detectada. Este inventario mide que tan veraz y cooperativo es usted. Además, sus archivos tribunales pueden ser usados para confirmar la información que used provee.',
        '     Se le van a presentar varias preguntas. Lea cada oración con cuidado y escoja la contestación que más le acierte a usted. Una vez usted haya escogido su contestación, debe usted apretar la tecla con la flecha Hacia Abajo para así iluminar la contestación que usted ha escogido. Y luego apriete la tecla «Enter». La contestación se ilumina cuando tiene color azul claro brillando alrededor de ella.',
        '     Usted puede usar las flechas Hacia Arriba y Hacia Abajo en sus teclas para cambiar las contestaciones. Pero asegúrese de que la contestación que usted escoja esté iluminada antes de que usted apriete la tecla «Enter». Además, usted puede utilizar la tecla «Tab» para que le repitan la pregunta.',
        '     «El licor» o «la bebida» implica cerveza, vino u otros destilados. «Las drogas» significa tanto las recetadas como las sancionadas, tales como: la marihuana (fuma o mota), cocaína (coca o perico), «crack» (piedra), anfetaminas, barbitúricos y heroína.',
        '     Si tuviera alguna duda, pregúntele al encargado de administrar la prueba para que le ayude. Cuando entienda bien estas instrucciones, puede comenzar. ' + _ES_BEGIN,
    ]),
    'Las oraciones de esta sección deben contestarse con «Cierto» o «Falso». Si la oración es cierta, ilumine el área que dice «Cierto» y entonces apriete «Enter». Si la oración es falsa, ilumine el  área que dice «Falso» y entonces apriete «Enter». ' + _ES_BEGIN,
    'Escoja la respuesta que más le acierte a usted al presente. Ilumine la respuesta que usted escoja en la pantalla y luego oprima la tecla «Enter». Use la escala de valores siguiente:' + CRLF + CRLF + CRLF.join(
        " " * 12 + line for line in ['1. Raro o nunca', '2. Hay veces', '3. Frecuentemente', '4. Muy frecuente']),
    'Algunas fuentes y programas disponibles de la comunidad aparecen en la siquiente lista. Ilumine Sí, si se interesa en participar, o continuar en participar, en un programa. Ilumine No, si no quiere participar. Cada articulo debe ser contestado Sí o no. Luego oprima la tecla «Enter».' + CRLF + CRLF + _ES_BEGIN,
    'Las oraciones de esta sección deben describir su persona o circunstancias. Ilumine el número de la contestación que usted escoja y que más le acierte: 1, 2, 3 ó 4. Luego oprima la tecla «Enter».' + CRLF + CRLF + _ES_BEGIN,
]
