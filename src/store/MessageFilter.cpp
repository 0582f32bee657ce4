#include "store/MessageFilter.h"

#include <QString>
#include <QtGlobal>

namespace kvx {
namespace {

QtMessageHandler previous = nullptr;

void filter(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (previous)
        previous(type, context, message);
}

} // namespace

void installMessageFilter()
{
    if (!previous)
        previous = qInstallMessageHandler(filter);
}

} // namespace kvx
