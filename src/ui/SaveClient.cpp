#include "ui/SaveClient.h"

#include "store/DataFile.h"

namespace kvx {

bool SaveCurrentClient(Session& s, Prompter& prompter)
{
    for (;;) {
        const int n = s.CurClient;
        const Status written = WriteClient(s, n);
        if (written) {
            if (n > s.NumClients)
                s.NumClients = n;
            return true;
        }
        const QString text =
            QStringLiteral("The client could not be saved on the data disk.\n%1\nCheck that the "
                           "data disk is in its drive and can be written to, then choose Retry.")
                .arg(written.error().message);
        if (prompter.Message(text, Prompter::Buttons::RetryCancel, Prompter::Icon::Critical,
                             kDataDiskErrorTitle) != Prompter::Answer::Retry)
            return false;
    }
}

} // namespace kvx
