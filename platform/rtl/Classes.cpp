#include "platform/rtl/Classes.h"

#include "platform/rtl/TextCodec.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// --- TPersistent ---

void TPersistent::Assign(TPersistent* Source) {
    if (Source != nullptr)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    const std::string SourceName = Source != nullptr ? Source->ClassName() : std::string("nil");
    throw EConvertError(Format("Cannot assign a %s to a %s", SourceName, ClassName()));
}

// --- TStream ---

void TStream::SetSize(Longint) {}

Longint TStream::Size() {
    const Longint Pos = Seek(0, soFromCurrent);
    const Longint Result = Seek(0, soFromEnd);
    Seek(Pos, soFromBeginning);
    return Result;
}

void TStream::ReadBuffer(void* Buffer, Longint Count) {
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Longint Count) {
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

std::int64_t TStream::SeekTarget(Longint Current, Longint Size, Longint Offset, Word Origin) {
    switch (Origin) {
    case soFromBeginning:
        return Offset;
    case soFromCurrent:
        return std::int64_t(Current) + Offset;
    case soFromEnd:
        return std::int64_t(Size) + Offset;
    default:
        return Current;
    }
}

Longint TStream::CopyFrom(TStream& Source, Longint Count) {
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    const Longint Result = Count;
    std::vector<char> Buf(static_cast<std::size_t>(std::min<Longint>(Count, 0xF000)));
    while (Count > 0) {
        const Longint N = std::min<Longint>(Count, static_cast<Longint>(Buf.size()));
        Source.ReadBuffer(Buf.data(), N);
        WriteBuffer(Buf.data(), N);
        Count -= N;
    }
    return Result;
}

// --- TFileStream ---

namespace {
[[noreturn]] void RaiseNonFile(const std::string& FileName, const std::string& Kind) {
    throw EFOpenError(Format("Cannot open file %s: it is %s, not a file", FileName, Kind));
}
} // namespace

void CheckRegularFile(const std::string& FileName) {
    if (const std::string Kind = NonFileKind(FileName); !Kind.empty())
        RaiseNonFile(FileName, Kind);
}

TFileStream::TFileStream(const std::string& FileName, Word Mode) : mFileName(FileName) {
    if (Mode == fmCreate) {
        // Writing, too, is for regular files only: a pipe's open would wait for a reader.
        if (const std::string Kind = NonFileKind(FileName); !Kind.empty())
            throw EFCreateError(Format("Cannot create file %s: it is %s, not a file", FileName, Kind));
        mHandle = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (mHandle < 0)
            throw EFCreateError(Format("Cannot create file %s", FileName));
        return;
    }
    int Flags = O_RDONLY;
    switch (Mode & 0x0F) {
    case fmOpenWrite:
        Flags = O_WRONLY;
        break;
    case fmOpenReadWrite:
        Flags = O_RDWR;
        break;
    default:
        break;
    }
    // Only regular files are read or written here: a named pipe or a device would block the
    // program or never end. The name is looked at first, and the file once more after opening it
    // without waiting (a pipe's open would wait for a writer), in case the name changed between.
    CheckRegularFile(FileName);
    mHandle = ::open(FileName.c_str(), Flags | O_CLOEXEC | O_NONBLOCK);
    if (mHandle >= 0) {
        const bool Known = ::fstat(mHandle, &mStatus) == 0;
        if (const std::string Kind = Known ? NonFileKind(mStatus) : std::string(); !Kind.empty()) {
            ::close(mHandle);
            mHandle = -1;
            RaiseNonFile(FileName, Kind);
        }
        if (!Known)
            mStatus = {};
        // The status flags are those it was opened with, less the one that only kept the open
        // from waiting.
        ::fcntl(mHandle, F_SETFL, Flags);
    }
    if (mHandle < 0)
        throw EFOpenError(Format("Cannot open file %s", FileName));
}

TFileStream::~TFileStream() {
    if (mHandle >= 0)
        ::close(mHandle);
}

Longint TFileStream::Read(void* Buffer, Longint Count) {
    Longint Done = 0;
    while (Done < Count) {
        const ssize_t N =
            ::read(mHandle, static_cast<char*>(Buffer) + Done, static_cast<std::size_t>(Count - Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            break;
        Done += static_cast<Longint>(N);
    }
    return Done;
}

Longint TFileStream::Write(const void* Buffer, Longint Count) {
    Longint Done = 0;
    while (Done < Count) {
        const ssize_t N =
            ::write(mHandle, static_cast<const char*>(Buffer) + Done, static_cast<std::size_t>(Count - Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            break;
        Done += static_cast<Longint>(N);
    }
    return Done;
}

Longint TFileStream::Seek(Longint Offset, Word Origin) {
    int Whence = SEEK_SET;
    if (Origin == soFromCurrent)
        Whence = SEEK_CUR;
    else if (Origin == soFromEnd)
        Whence = SEEK_END;
    const off_t R = ::lseek(mHandle, Offset, Whence);
    if (R < 0)
        return -1;
    return static_cast<Longint>(std::min<off_t>(R, INT32_MAX));
}

void TFileStream::SetSize(Longint NewSize) {
    Seek(NewSize, soFromBeginning);
    if (::ftruncate(mHandle, NewSize) != 0)
        throw EStreamError(Format("Cannot change the size of file %s", mFileName));
}

// --- TMemoryStream ---

Longint TMemoryStream::Read(void* Buffer, Longint Count) {
    const Longint Size = static_cast<Longint>(mData.size());
    if (mPosition < 0 || Count <= 0 || mPosition >= Size)
        return 0;
    const Longint N = std::min(Count, Size - mPosition);
    std::memcpy(Buffer, mData.data() + mPosition, static_cast<std::size_t>(N));
    mPosition += N;
    return N;
}

Longint TMemoryStream::Write(const void* Buffer, Longint Count) {
    if (mPosition < 0 || Count <= 0)
        return 0;
    const std::int64_t End = std::int64_t(mPosition) + Count;
    if (End > INT32_MAX)
        return 0;
    if (End > static_cast<std::int64_t>(mData.size()))
        mData.resize(static_cast<std::size_t>(End));
    std::memcpy(mData.data() + mPosition, Buffer, static_cast<std::size_t>(Count));
    mPosition = static_cast<Longint>(End);
    return Count;
}

Longint TMemoryStream::Seek(Longint Offset, Word Origin) {
    const std::int64_t P = SeekTarget(mPosition, static_cast<Longint>(mData.size()), Offset, Origin);
    mPosition = static_cast<Longint>(std::clamp<std::int64_t>(P, INT32_MIN, INT32_MAX));
    return mPosition;
}

void TMemoryStream::SetSize(Longint NewSize) {
    mData.resize(static_cast<std::size_t>(std::max<Longint>(NewSize, 0)));
    if (mPosition > NewSize)
        mPosition = std::max<Longint>(NewSize, 0);
}

void TMemoryStream::Clear() {
    mData.clear();
    mPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
    Stream.SetPosition(0);
    const Longint Count = Stream.Size();
    SetSize(Count);
    if (Count != 0)
        Stream.ReadBuffer(mData.data(), Count);
    mPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream F(FileName, fmOpenRead);
    LoadFromStream(F);
}

void TMemoryStream::SaveToStream(TStream& Stream) {
    if (!mData.empty())
        Stream.WriteBuffer(mData.data(), static_cast<Longint>(mData.size()));
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream F(FileName, fmCreate);
    SaveToStream(F);
}

// --- TList ---

void TList::CheckIndex(Longint Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
}

Longint TList::Add(void* Item) {
    mItems.push_back(Item);
    return Count() - 1;
}

void TList::Insert(Longint Index, void* Item) {
    if (Index < 0 || Index > Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    mItems.insert(mItems.begin() + Index, Item);
}

void TList::Delete(Longint Index) {
    CheckIndex(Index);
    mItems.erase(mItems.begin() + Index);
}

void* TList::Get(Longint Index) const {
    CheckIndex(Index);
    return mItems[static_cast<std::size_t>(Index)];
}

void TList::Put(Longint Index, void* Item) {
    CheckIndex(Index);
    mItems[static_cast<std::size_t>(Index)] = Item;
}

void TList::SetCount(Longint NewCount) {
    if (NewCount < 0)
        throw EListError(Format("List count out of bounds (%d)", NewCount));
    mItems.resize(static_cast<std::size_t>(NewCount), nullptr);
}

Longint TList::IndexOf(const void* Item) const {
    const auto It = std::find(mItems.begin(), mItems.end(), Item);
    return It == mItems.end() ? -1 : static_cast<Longint>(It - mItems.begin());
}

Longint TList::Remove(const void* Item) {
    const Longint I = IndexOf(Item);
    if (I >= 0)
        Delete(I);
    return I;
}

void TList::Exchange(Longint Index1, Longint Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(mItems[static_cast<std::size_t>(Index1)], mItems[static_cast<std::size_t>(Index2)]);
}

void TList::Move(Longint CurIndex, Longint NewIndex) {
    if (CurIndex == NewIndex)
        return;
    CheckIndex(NewIndex);
    void* Item = Get(CurIndex);
    Delete(CurIndex);
    Insert(NewIndex, Item);
}

// --- TStringList ---

void TStringList::CheckIndex(Longint Index) const {
    if (Index < 0 || Index >= Count())
        throw EStringListError(Format("List index out of bounds (%d)", Index));
}

std::uint64_t TChangeStamp::Next() {
    static std::atomic<std::uint64_t> Last{0};
    return ++Last;
}

void TStringList::Changed() {
    mStamp.Renew();
    if (OnChange)
        OnChange(this);
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    return CompareText(S1, S2);
}

Longint TStringList::Add(const std::string& S) {
    return AddObject(S, nullptr);
}

Longint TStringList::AddObject(const std::string& S, void* Obj) {
    Longint Index = Count();
    if (mSorted && Find(S, Index)) {
        if (mDuplicates == TDuplicates::dupIgnore)
            return Index;
        if (mDuplicates == TDuplicates::dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    mItems.insert(mItems.begin() + Index, Item{S, Obj});
    Changed();
    return Index;
}

void TStringList::Insert(Longint Index, const std::string& S) {
    if (mSorted)
        throw EStringListError("Operation not allowed on sorted string list");
    if (Index < 0 || Index > Count())
        throw EStringListError(Format("List index out of bounds (%d)", Index));
    mItems.insert(mItems.begin() + Index, Item{S, nullptr});
    Changed();
}

void TStringList::Delete(Longint Index) {
    CheckIndex(Index);
    mItems.erase(mItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (mItems.empty())
        return;
    mItems.clear();
    Changed();
}

void TStringList::Exchange(Longint Index1, Longint Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(mItems[static_cast<std::size_t>(Index1)], mItems[static_cast<std::size_t>(Index2)]);
    Changed();
}

const std::string& TStringList::Strings(Longint Index) const {
    CheckIndex(Index);
    return mItems[static_cast<std::size_t>(Index)].S;
}

void TStringList::Put(Longint Index, const std::string& S) {
    if (mSorted)
        throw EStringListError("Operation not allowed on sorted string list");
    CheckIndex(Index);
    mItems[static_cast<std::size_t>(Index)].S = S;
    Changed();
}

void* TStringList::Objects(Longint Index) const {
    CheckIndex(Index);
    return mItems[static_cast<std::size_t>(Index)].Obj;
}

void TStringList::PutObject(Longint Index, void* Obj) {
    CheckIndex(Index);
    mItems[static_cast<std::size_t>(Index)].Obj = Obj;
}

Longint TStringList::IndexOf(const std::string& S) const {
    if (mSorted) {
        Longint Index = 0;
        return Find(S, Index) ? Index : -1;
    }
    for (Longint I = 0; I < Count(); ++I)
        if (CompareStrings(mItems[static_cast<std::size_t>(I)].S, S) == 0)
            return I;
    return -1;
}

bool TStringList::Find(const std::string& S, Longint& Index) const {
    bool Result = false;
    Longint L = 0, H = Count() - 1;
    while (L <= H) {
        const Longint I = L + (H - L) / 2;
        const int C = CompareStrings(mItems[static_cast<std::size_t>(I)].S, S);
        if (C < 0) {
            L = I + 1;
        } else {
            H = I - 1;
            if (C == 0) {
                Result = true;
                if (mDuplicates != TDuplicates::dupAccept)
                    L = I;
            }
        }
    }
    Index = L;
    return Result;
}

void TStringList::Sort() {
    std::stable_sort(mItems.begin(), mItems.end(),
                     [this](const Item& A, const Item& B) { return CompareStrings(A.S, B.S) < 0; });
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (Value == mSorted)
        return;
    if (Value)
        Sort();
    mSorted = Value;
    // Sorted lists are searched by halves, others from end to end.
    mStamp.Renew();
}

std::string TStringList::Text() const {
    std::string R;
    for (const Item& I : mItems) {
        R += I.S;
        R += "\r\n";
    }
    return R;
}

void TStringList::SetText(std::string_view Text) {
    const TNotifyEvent Saved = std::move(OnChange);
    OnChange = nullptr;
    mItems.clear();
    std::size_t P = 0;
    const std::size_t N = Text.size();
    while (P < N) {
        std::size_t E = P;
        while (E < N && Text[E] != '\r' && Text[E] != '\n')
            ++E;
        Add(std::string(Text.substr(P, E - P)));
        P = E;
        if (P < N && Text[P] == '\r')
            ++P;
        if (P < N && Text[P] == '\n')
            ++P;
    }
    OnChange = Saved;
    Changed();
}

void TStringList::LoadFromStream(TStream& Stream) {
    const Longint Size = Stream.Size() - Stream.Position();
    std::string Buf(static_cast<std::size_t>(std::max<Longint>(Size, 0)), '\0');
    const Longint N = Buf.empty() ? 0 : Stream.Read(Buf.data(), static_cast<Longint>(Buf.size()));
    Buf.resize(static_cast<std::size_t>(std::max<Longint>(N, 0)));
    // Text saved with a byte-order mark is taken as the Windows-1252 text it stands for.
    if (std::string Decoded; DecodeMarkedText(Buf, Decoded))
        Buf = std::move(Decoded);
    SetText(Buf);
}

void TStringList::SaveToStream(TStream& Stream) const {
    const std::string S = Text();
    Stream.WriteBuffer(S.data(), static_cast<Longint>(S.size()));
}

void TStringList::LoadFromFile(const std::string& FileName) {
    TFileStream F(FileName, fmOpenRead);
    LoadFromStream(F);
}

void TStringList::SaveToFile(const std::string& FileName) const {
    TFileStream F(FileName, fmCreate);
    SaveToStream(F);
}

void TStringList::Assign(const TStringList& Source) {
    if (&Source == this)
        return;
    mItems = Source.mItems;
    if (mSorted)
        Sort();
    Changed();
}
