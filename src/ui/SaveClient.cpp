#include "ui/SaveClient.h"

#include "store/DataFile.h"

namespace kvx {
namespace {

// A new client is appended (the disk may give it a later number); an existing one is
// written in place.
Result<int> writeCurrent(Session& s)
{
    if (s.CurClient > s.NumClients)
        return AppendClient(s);
    if (const Status st = WriteClient(s, s.CurClient); !st)
        return st.error();
    return s.CurClient;
}

} // namespace

bool SaveCurrentClient(Session& s, Prompter& prompter)
{
    for (;;) {
        const int expected = s.CurClient;
        const Result<int> written = writeCurrent(s);
        if (written) {
            if (*written != expected) {
                prompter.Message(
                    QStringLiteral("Another program has added clients to this data disk. This "
                                   "client was saved as client number %1.")
                        .arg(*written),
                    Prompter::Buttons::Ok, Prompter::Icon::Information,
                    QStringLiteral("Data Disk"));
            }
            return true;
        }
        const QString text =
            written.error().code == err::DiskChanged
                ? written.error().message
                : QStringLiteral("The client could not be saved on the data disk.\n%1\nCheck "
                                 "that the data disk is in its drive and can be written to, "
                                 "then choose Retry.")
                      .arg(written.error().message);
        if (prompter.Message(text, Prompter::Buttons::RetryCancel, Prompter::Icon::Critical,
                             kDataDiskErrorTitle) != Prompter::Answer::Retry)
            return false;
    }
}

} // namespace kvx
