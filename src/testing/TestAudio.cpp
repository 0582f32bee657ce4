#include "testing/TestAudio.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace kvx {

QString RecordingFileName(const QString& name)
{
    QString base = name.trimmed();
    if (base.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
        base.chop(4);
    if (base.size() == 1) {
        switch (base.at(0).toUpper().unicode()) {
        case u'T':
            return QStringLiteral("True.wav");
        case u'F':
            return QStringLiteral("False.wav");
        case u'Y':
            return QStringLiteral("Yes.wav");
        case u'N':
            return QStringLiteral("No.wav");
        default:
            break;
        }
    }
    return name.trimmed();
}

QString FindFileAnyCase(const QString& folder, const QString& relative)
{
    const QString exact = QDir(folder).filePath(relative);
    if (QFileInfo(exact).isFile())
        return exact;
    QString at = folder;
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const bool last = i == parts.size() - 1;
        const QString direct = QDir(at).filePath(part);
        const QFileInfo info(direct);
        if (last ? info.isFile() : info.isDir()) {
            at = direct;
            continue;
        }
        const QStringList entries =
            QDir(at).entryList(last ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot);
        const auto match = std::find_if(entries.begin(), entries.end(), [&part](const QString& e) {
            return e.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return QString();
        at = QDir(at).filePath(*match);
    }
    return parts.isEmpty() ? QString() : at;
}

TestAudio::TestAudio(AudioPlayer& player, QString soundPath, QString language)
    : player_(player), root_(soundPath.trimmed()), language_(std::move(language))
{}

void TestAudio::Prepare()
{
    soundOn_ = player_.Prepare();
}

void TestAudio::Play(const QString& fileName)
{
    if (!soundOn_)
        return;
    player_.Stop();
    if (fileName.trimmed().isEmpty())
        return;
    const QString path = FindFileAnyCase(
        root_, QStringLiteral("KVXTest/sound/%1/%2").arg(language_, RecordingFileName(fileName)));
    if (!path.isEmpty())
        player_.Play(path);
}

void TestAudio::Stop()
{
    player_.Stop();
}

} // namespace kvx
