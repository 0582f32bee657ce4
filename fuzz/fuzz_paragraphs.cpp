// The paragraph reader: the input is a paragraph file, looked up by the keys the report uses,
// and the invalid-test text.
#include "FuzzSupport.h"

#include "scoring/Paragraphs.h"

using namespace kvx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList keys = ParagraphKeys(ScoringTables());
    const QByteArray in = fuzz::bytesOf(data, size);
    const QString dir = fuzz::scratchFolder();
    fuzz::writeFile(QDir(dir).filePath(QStringLiteral("ALC.TXT")), in);
    fuzz::writeFile(QDir(dir).filePath(kInvalidTextFileName), in);
    for (const QString& key : keys) {
        const Result<QStringList> p = ReadParagraph(dir, QStringLiteral("ALC.TXT"), key);
        if (p && p->contains(kParagraphEnd))
            std::abort(); // a paragraph ends at its first "END"
    }
    (void)ReadInvalidText(dir);
    (void)CheckParagraphFile(dir, QStringLiteral("ALC.TXT"), keys);
    (void)CheckInvalidText(dir);
    return 0;
}
