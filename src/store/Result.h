#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace kvx {

// Error numbers the callers decide on. They keep the numbering that the drive
// handling and the operator messages use, so one table serves every caller.
namespace err {
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int DiskFull = 61;
inline constexpr int BadRecordNumber = 63;
inline constexpr int PermissionDenied = 70;
inline constexpr int DiskNotReady = 71;
inline constexpr int PathNotFound = 76;
inline constexpr int CannotEncode = 93;
inline constexpr int DbFileNotFound = 3024;
inline constexpr int DbInvalidPath = 3044;
inline constexpr int DbInUse = 3045;
inline constexpr int DbCannotOpen = 3051;
inline constexpr int DbNoSuchTable = 3078;
inline constexpr int DbNoSuchField = 3265;
inline constexpr int DbNoCurrentRecord = 3021;
inline constexpr int DbFailure = 3146;
// The data file is no longer the one this session loaded (another disk, another program).
inline constexpr int DiskChanged = 9001;
// A file larger than any file of its kind; it is not read.
inline constexpr int FileTooLarge = 9002;
// Another program holds the data file locked for longer than a write takes.
inline constexpr int FileLocked = 9003;
// An operating-system error with no number of its own is reported as this base plus errno.
inline constexpr int OsErrorBase = 10000;
} // namespace err

struct Error
{
    int code = 0;
    QString message;
};

// A value or an error; used for file, database and device work.
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Error error) : v_(std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(v_); }
    T& value() & { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const Error& error() const { return std::get<1>(v_); }

private:
    std::variant<T, Error> v_;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *error_; }

private:
    std::optional<Error> error_;
};

using Status = Result<void>;

} // namespace kvx
