// The data file reader with its journal: the input's first 512 bytes are the journal file (when
// the input is that long), the rest the data file. Loading must not crash, must load at most
// 51 clients, and after a load the journal holds no complete entry.
#include "FuzzSupport.h"

#include "store/DataFile.h"
#include "store/Journal.h"

using namespace kvx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray in = fuzz::bytesOf(data, size);
    const QString dir = fuzz::scratchFolder();
    const bool withJournal = in.size() >= kJournalSize;
    fuzz::writeFile(QDir(dir).filePath(kJournalFileName),
                    withJournal ? in.left(kJournalSize) : QByteArray());
    fuzz::writeFile(QDir(dir).filePath(kDataFileName), withJournal ? in.mid(kJournalSize) : in);

    Session s;
    SetDataPath(s, dir);
    if (ReadAllClients(s)) {
        if (s.NumClients < 0 || s.NumClients > kMaxClients)
            std::abort();
        for (int n = 1; n <= s.NumClients; ++n) {
            const ClientRecord& r = s.client(n);
            if (r.bytes().size() != ClientRecord::Size)
                std::abort();
            (void)r.trimmed(Field::Name);
            (void)r.code(Field::Gender);
        }
        QFile j(QDir(dir).filePath(kJournalFileName));
        if (j.open(QIODevice::ReadOnly) && decodeJournal(j.readAll()))
            std::abort();
    }
    return 0;
}
