#pragma once

#include "store/Result.h"

#include <QString>

namespace kvx {

inline const QString kIniFileName = QStringLiteral("kvx.ini");

// The installation's settings file "kvx.ini": every section and key with its default and
// reading rule, in one place. A missing file or key means the default.
class Settings
{
public:
    explicit Settings(const QString& programDir);

    QString iniPath() const { return iniPath_; }

    // [Path] FilePath: the data disk folder last loaded; default "a:". Paths are trimmed and
    // read up to any zero character, at most 1023 characters.
    QString GetFilePathSetting() const;
    Status SaveFilePathSetting(const QString& drive);

    // [Path] SndPath: root of the recordings; default "c:".
    QString GetINISndPath() const;

    // [Settings] NumLock and PrintDOS: on when the value starts with "Tru"; default on.
    bool GetNumLockSetting() const;
    Status SaveNumLockSetting(bool on);
    bool GetPrintDOSSetting() const;
    Status SavePrintDOSSetting(bool on);

    // [Settings] BrandCode: "b" selects the second branding; default empty.
    QString GetBrandCode() const;
    // [Settings] RawPrinter: print queue or device for raw printing; empty = default queue.
    QString GetRawPrinter() const;
    // [Scanner] Device: the scanner to use; empty = the first local device.
    QString GetScannerDevice() const;

    // [Options] SystemDB: the database engine's workgroup file, written at every start-up.
    QString GetSystemDB() const;
    Status SaveSystemDB();

    // Raw text of a key as the profile functions return it into a buffer of bufferSize
    // characters: the stored text up to any zero character, blanks trimmed, cut to
    // bufferSize - 1 characters. A missing key gives defaultValue. The file is read afresh.
    // A write changes only its key's line; a value equal to the stored one is not written.
    QString readKey(const QString& section, const QString& key, const QString& defaultValue,
                    int bufferSize) const;
    Status writeKey(const QString& section, const QString& key, const QString& value);

private:
    bool readOnOff(const QString& key) const;

    QString programDir_;
    QString iniPath_;
};

} // namespace kvx
