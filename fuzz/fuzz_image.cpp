// The image reading path: any bytes, as a file chosen in place of a scan would give them, are
// decoded, prepared and searched for the registration boxes without a crash or a runaway.
#include "scan/ScanImage.h"
#include "scan/ScanSupport.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Image plugins (TIFF) are found through the application's library paths.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    kvx::Result<QImage> img = kvx::DecodeScanImage(bytes, QStringLiteral("fuzz"));
    if (!img)
        return 0;
    kvx::ScanImage prepared = kvx::PrepareScanImage(*img);
    kvx::ScanState st;
    (void)kvx::RegisterSheet(st, prepared);
    return 0;
}
