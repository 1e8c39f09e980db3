#pragma once
// Class-library basics without GUI: the exception classes with their messages, the silent
// abort, checked casts, string formatting and file-name helpers. Strings are 8-bit
// (Windows-1252 bytes), as the scan document stores them; paths use '/'.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <iterator>
#include <string>
#include <string_view>
#include <type_traits>

using Longint = std::int32_t;
using Word = std::uint16_t;
using Byte = std::uint8_t;

/// Root of the class library's objects: a virtual destructor and the class name that
/// messages and streams show.
class TObject {
public:
    virtual ~TObject() = default;
    virtual std::string ClassName() const { return "TObject"; }
};

/// Base of every exception the system raises; carries the message the user sees.
class Exception : public std::exception {
public:
    explicit Exception(std::string Message) : mMessage(std::move(Message)) {}
    const std::string& Message() const noexcept { return mMessage; }
    void SetMessage(std::string Message) { mMessage = std::move(Message); }
    const char* what() const noexcept override { return mMessage.c_str(); }
    virtual std::string ClassName() const { return "Exception"; }

private:
    std::string mMessage;
};

#define QX_DECLARE_EXCEPTION(Name, Base)                                                                     \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
        std::string ClassName() const override { return #Name; }                                             \
    };

QX_DECLARE_EXCEPTION(EConvertError, Exception)
QX_DECLARE_EXCEPTION(EInvalidCast, Exception)
QX_DECLARE_EXCEPTION(EAbstractError, Exception)
QX_DECLARE_EXCEPTION(EListError, Exception)
QX_DECLARE_EXCEPTION(EStringListError, Exception)
QX_DECLARE_EXCEPTION(EStreamError, Exception)
QX_DECLARE_EXCEPTION(EReadError, EStreamError)
QX_DECLARE_EXCEPTION(EWriteError, EStreamError)
QX_DECLARE_EXCEPTION(EFCreateError, EStreamError)
QX_DECLARE_EXCEPTION(EFOpenError, EStreamError)
QX_DECLARE_EXCEPTION(EInOutError, Exception)
QX_DECLARE_EXCEPTION(EOleError, Exception)

/// Failure of an automation call: the database engine and the Access application stand-ins
/// raise it (or EOleException) with a message that says what failed and where.
class EOleSysError : public EOleError {
public:
    explicit EOleSysError(std::string Message, std::int32_t ErrorCode = 0)
        : EOleError(std::move(Message)), mErrorCode(ErrorCode) {}
    std::int32_t ErrorCode() const { return mErrorCode; }
    std::string ClassName() const override { return "EOleSysError"; }

private:
    std::int32_t mErrorCode;
};

class EOleException : public EOleSysError {
public:
    explicit EOleException(std::string Message, std::int32_t ErrorCode = 0, std::string Source = {})
        : EOleSysError(std::move(Message), ErrorCode), mSource(std::move(Source)) {}
    const std::string& Source() const { return mSource; }
    std::string ClassName() const override { return "EOleException"; }

private:
    std::string mSource;
};

/// The silent exception: ends a command or a scan without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
    std::string ClassName() const override { return "EAbort"; }
};

/// Raises the silent exception.
[[noreturn]] void Abort();

namespace rtl_detail {
inline const char* FormatArg(const std::string& S) {
    return S.c_str();
}
inline const char* FormatArg(std::string_view S) = delete;
template <class T>
T FormatArg(T V) requires std::is_arithmetic_v<T> || std::is_pointer_v<T> {
    return V;
}
} // namespace rtl_detail

/// printf-style formatting ("%s" takes std::string as well as C strings).
template <class... Args>
std::string Format(const char* Fmt, const Args&... A) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int N = std::snprintf(nullptr, 0, Fmt, rtl_detail::FormatArg(A)...);
    if (N <= 0)
        return {};
    std::string Out(static_cast<std::size_t>(N), '\0');
    std::snprintf(Out.data(), Out.size() + 1, Fmt, rtl_detail::FormatArg(A)...);
#pragma GCC diagnostic pop
    return Out;
}

/// Checked cast: nil stays nil; an object of another class raises "Invalid class typecast".
template <class T, class U>
T* As(U* Obj) {
    if (Obj == nullptr)
        return nullptr;
    if (T* Result = dynamic_cast<T*>(Obj))
        return Result;
    throw EInvalidCast("Invalid class typecast");
}

// Text helpers. Case folding is that of ASCII letters only.
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
int CompareText(std::string_view A, std::string_view B);
bool SameText(std::string_view A, std::string_view B);
/// The first item of Items whose Name() equals Name without regard to ASCII case, or nullptr.
template <class Range>
auto FindByName(Range& Items, std::string_view Name) -> decltype(&*std::begin(Items)) {
    for (auto& Item : Items)
        if (SameText(Item.Name(), Name))
            return &Item;
    return nullptr;
}
std::string Trim(std::string_view S);
std::string IntToStr(long long V);
/// The value of a hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char C);

// File-name helpers over POSIX paths. A folder part keeps its trailing '/'.
std::string ExtractFilePath(std::string_view FileName);
std::string ExtractFileName(std::string_view FileName);
/// The extension with its dot, taken from the file name only ("" when the name has no dot).
std::string ExtractFileExt(std::string_view FileName);
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Name);
/// What Name is when it is there but is no regular file ("a folder", "a named pipe", "a device",
/// "a socket"); empty for a regular file and for a name that does not exist. Links are followed.
std::string NonFileKind(const std::string& Name);
/// The same for a file's status as stat() gives it.
std::string NonFileKind(const struct stat& Status);
/// The folder of the running program, ending with '/'.
std::string ProgramFolder();
