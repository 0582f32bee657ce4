#include "supervisor/DelNames.h"

#include "scan/ScanImage.h"
#include "scoring/ReportOutput.h"
#include "scoring/ReportWriter.h"
#include "store/DataFile.h"
#include "ui/SaveClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace kvx {

RandomBelow SystemRandom()
{
    // QRandomGenerator::system() reads the kernel's random source (getrandom).
    return [](quint32 bound) { return QRandomGenerator::system()->bounded(bound); };
}

void ScrambleName(QByteArray& name, const RandomBelow& random)
{
    const RandomBelow& draw = random ? random : SystemRandom();
    for (char& c : name) {
        if (c == ' ')
            continue;
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        const bool letter = upper >= 'A' && upper <= 'Z';
        // Letters other than the old one (25 of them), or any of the 26 for a non-letter.
        quint32 pick = draw(letter ? 25u : 26u);
        if (letter && pick >= static_cast<quint32>(upper - 'A'))
            ++pick;
        c = static_cast<char>('A' + pick);
    }
}

bool NameIsDeleted(const ClientRecord& r)
{
    return r.code(Field::NameDeleted) != 0;
}

QStringList ScratchFileNames()
{
    QStringList names{kReportFileName, kRawImageFileName};
    for (int k = 1; k <= kMaxClients; ++k)
        names << BatchCopyName(k);
    return names;
}

QStringList RemoveScratchFiles(const QString& programDir)
{
    QStringList left;
    if (programDir.isEmpty())
        return left;
    for (const QString& name : ScratchFileNames()) {
        const QString path = resolveFileName(programDir, name);
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        if (!QFile::remove(path))
            left << QDir::toNativeSeparators(path);
    }
    return left;
}

QString DeleteNamesFailedText(int deleted, int total)
{
    return QStringLiteral("%1 of %2 names were deleted; the rest are unchanged. Check the disk, "
                          "then choose Retry.")
        .arg(deleted)
        .arg(total);
}

namespace {

void call(const std::function<void()>& f)
{
    if (f)
        f();
}

} // namespace

DeleteNamesOutcome DeleteNames(Session& s, Prompter& prompter, const DeleteNamesHooks& hooks)
{
    if (prompter.Message(kDeleteNamesWarning, Prompter::Buttons::YesNo, Prompter::Icon::Critical,
                         kDeleteNamesTitle) != Prompter::Answer::Yes)
        return DeleteNamesOutcome::Declined;

    call(hooks.busy);
    QList<int> pending;
    for (int n = 1; n <= s.NumClients; ++n) {
        if (!NameIsDeleted(s.client(n)))
            pending << n;
    }
    int deleted = 0;
    for (const int n : pending) {
        ClientRecord& r = s.client(n);
        const ClientRecord before = r;
        QByteArray name = r.raw(Field::Name);
        ScrambleName(name, hooks.random);
        r.setRaw(Field::Name, name);
        r.setRaw(Field::NameDeleted, "1");
        s.NameDeleted = 1;
        while (!WriteClient(s, n)) {
            call(hooks.normal);
            if (prompter.Message(DeleteNamesFailedText(deleted, static_cast<int>(pending.size())),
                                 Prompter::Buttons::RetryCancel, Prompter::Icon::Critical,
                                 kDataDiskErrorTitle) != Prompter::Answer::Retry) {
                // The disk still holds this record as it was; so must the table.
                r = before;
                s.NameDeleted = s.CurClient > 0 && NameIsDeleted(s.current()) ? 1 : 0;
                s.RefreshNames = true;
                return DeleteNamesOutcome::Abandoned;
            }
            call(hooks.busy);
        }
        ++deleted;
    }
    const QStringList left = RemoveScratchFiles(s.ProgramDir);
    call(hooks.normal);
    if (!left.isEmpty()) {
        prompter.Message(QStringLiteral("These files in the program folder still hold client names "
                                        "and could not be removed:\n%1")
                             .arg(left.join(u'\n')),
                         Prompter::Buttons::Ok, Prompter::Icon::Warning);
    }
    prompter.Message(kDeleteNamesDone);
    s.RefreshNames = true;
    return DeleteNamesOutcome::Completed;
}

} // namespace kvx
