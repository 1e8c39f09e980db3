#pragma once
// Class-library basics without GUI: persistent objects, streams, pointer lists, string lists,
// events and modal results.

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

/// An event handler that takes only its sender.
using TNotifyEvent = std::function<void(TObject* Sender)>;

/// How a modal window answers its caller.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

/// An object that can copy another of a compatible class (Assign) or copy itself to one (AssignTo).
class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }
    /// Copies Source; a class that cannot raises "Cannot assign a <Source> to a <this>".
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

// Seek origins and file-open modes of the class library.
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyNone = 0x0040;
constexpr Word fmCreate = 0xFFFF;

/// Abstract byte stream with a position and a size.
class TStream : public TObject {
public:
    std::string ClassName() const override { return "TStream"; }
    /// Reads up to Count bytes; returns how many were read (0 at the end).
    virtual Longint Read(void* Buffer, Longint Count) = 0;
    /// Writes up to Count bytes; returns how many were written.
    virtual Longint Write(const void* Buffer, Longint Count) = 0;
    /// Moves the position (Origin: soFromBeginning, soFromCurrent, soFromEnd); returns the new one.
    virtual Longint Seek(Longint Offset, Word Origin) = 0;
    /// Changes the size; the base does nothing.
    virtual void SetSize(Longint NewSize);

    Longint Position() { return Seek(0, soFromCurrent); }
    void SetPosition(Longint Pos) { Seek(Pos, soFromBeginning); }
    Longint Size();
    /// Reads exactly Count bytes or raises EReadError "Stream read error".
    void ReadBuffer(void* Buffer, Longint Count);
    /// Writes exactly Count bytes or raises EWriteError "Stream write error".
    void WriteBuffer(const void* Buffer, Longint Count);
    /// Copies Count bytes from Source (0: all of Source from its start); returns the count copied.
    Longint CopyFrom(TStream& Source, Longint Count);

protected:
    /// The position a seek asks for, computed without overflow; an unknown Origin keeps Current.
    static std::int64_t SeekTarget(Longint Current, Longint Size, Longint Offset, Word Origin);
};

/// Raises EFOpenError "Cannot open file %s: it is <a named pipe, a device, ...>, not a file" when
/// FileName is there but is no regular file; files of the user's are read only when they are.
void CheckRegularFile(const std::string& FileName);

/// A stream over a file. Mode is the class library's mode word: access in the low 4 bits
/// (0 read, 1 write, 2 read-write), share bits ignored, or fmCreate to create or truncate. A file
/// is opened or created only when it is a regular file (see CheckRegularFile); fmCreate on
/// anything else raises EFCreateError "Cannot create file %s: it is <...>, not a file".
class TFileStream : public TStream {
public:
    TFileStream(const std::string& FileName, Word Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::string ClassName() const override { return "TFileStream"; }
    Longint Read(void* Buffer, Longint Count) override;
    Longint Write(const void* Buffer, Longint Count) override;
    Longint Seek(Longint Offset, Word Origin) override;
    void SetSize(Longint NewSize) override;
    const std::string& FileName() const { return mFileName; }
    int Handle() const { return mHandle; }
    /// The opened file's status, taken when it was opened (all zero for a file created here).
    const struct stat& Status() const { return mStatus; }

protected:
    /// A stream over a file that is already open under the name FileName: it takes Handle over
    /// and closes it.
    TFileStream(int Handle, std::string FileName) : mFileName(std::move(FileName)), mHandle(Handle) {}

private:
    std::string mFileName;
    int mHandle = -1;
    struct stat mStatus {};
};

/// A stream held in memory.
class TMemoryStream : public TStream {
public:
    std::string ClassName() const override { return "TMemoryStream"; }
    Longint Read(void* Buffer, Longint Count) override;
    Longint Write(const void* Buffer, Longint Count) override;
    Longint Seek(Longint Offset, Word Origin) override;
    void SetSize(Longint NewSize) override;

    void Clear();
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream& Stream);
    void SaveToFile(const std::string& FileName);
    char* Memory() { return mData.data(); }
    const char* Memory() const { return mData.data(); }
    const std::vector<char>& Bytes() const { return mData; }

private:
    std::vector<char> mData;
    Longint mPosition = 0;
};

/// List of untyped pointers; a bad index raises EListError "List index out of bounds (%d)".
class TList : public TObject {
public:
    std::string ClassName() const override { return "TList"; }
    Longint Add(void* Item);
    void Insert(Longint Index, void* Item);
    void Delete(Longint Index);
    void* Get(Longint Index) const;
    void Put(Longint Index, void* Item);
    Longint Count() const { return static_cast<Longint>(mItems.size()); }
    /// Grows with nil items or shrinks; a negative count raises "List count out of bounds (%d)".
    void SetCount(Longint NewCount);
    void Clear() { mItems.clear(); }
    Longint IndexOf(const void* Item) const;
    Longint Remove(const void* Item);
    void Exchange(Longint Index1, Longint Index2);
    void Move(Longint CurIndex, Longint NewIndex);
    void** List() { return mItems.data(); }

private:
    void CheckIndex(Longint Index) const;
    std::vector<void*> mItems;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

/// A number that no other state of any object shares: a copy takes a new one, and Renew gives
/// the next. Answers computed from an object can be kept while its stamp stays the same.
class TChangeStamp {
public:
    TChangeStamp() : mValue(Next()) {}
    TChangeStamp(const TChangeStamp&) : mValue(Next()) {}
    TChangeStamp& operator=(const TChangeStamp&) {
        mValue = Next();
        return *this;
    }
    std::uint64_t Value() const { return mValue; }
    void Renew() { mValue = Next(); }

private:
    static std::uint64_t Next();
    std::uint64_t mValue;
};

/// List of strings with an object pointer each. Sorted lists keep case-insensitive order and
/// find by binary search; Duplicates says what Add does with a string already held.
/// Text loads with lines ended by CR, LF or CR LF and saves with CR LF.
class TStringList : public TObject {
public:
    std::string ClassName() const override { return "TStringList"; }
    /// Compares two entries for IndexOf, Find, Sort and the duplicate test; the base compares
    /// without regard to the case of A-Z (CompareText).
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    Longint Add(const std::string& S);
    Longint AddObject(const std::string& S, void* Obj);
    void Insert(Longint Index, const std::string& S);
    void Delete(Longint Index);
    void Clear();
    void Exchange(Longint Index1, Longint Index2);
    Longint Count() const { return static_cast<Longint>(mItems.size()); }
    const std::string& Strings(Longint Index) const;
    const std::string& operator[](Longint Index) const { return Strings(Index); }
    void Put(Longint Index, const std::string& S);
    void* Objects(Longint Index) const;
    void PutObject(Longint Index, void* Obj);
    /// Index of S (case-insensitive), or -1.
    Longint IndexOf(const std::string& S) const;
    /// Sorted lists: binary search; Index is the position of S or where it would go.
    bool Find(const std::string& S, Longint& Index) const;
    void Sort();

    bool Sorted() const { return mSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return mDuplicates; }
    void SetDuplicates(TDuplicates Value) { mDuplicates = Value; }

    std::string Text() const;
    void SetText(std::string_view Text);
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    void Assign(const TStringList& Source);

    /// Changes with every change of the strings, their order or the way they are looked up.
    std::uint64_t ChangeStamp() const { return mStamp.Value(); }

    TNotifyEvent OnChange;

private:
    struct Item {
        std::string S;
        void* Obj = nullptr;
    };
    TChangeStamp mStamp;
    void CheckIndex(Longint Index) const;
    void Changed();
    std::vector<Item> mItems;
    bool mSorted = false;
    TDuplicates mDuplicates = TDuplicates::dupIgnore;
};
