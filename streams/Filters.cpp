#include "streams/Filters.h"

#include "streams/Numutils.h"

#include <algorithm>
#include <cstring>

// --- class registry ---

const TStreamableClass TStreamable::StaticClass{"TStreamable", nullptr,
                                                []() -> TStreamable* { return new TStreamable(); }};

bool TStreamableClass::InheritsFrom(const TStreamableClass& Ancestor) const {
    for (const TStreamableClass* C = this; C != nullptr; C = C->Parent)
        if (C == &Ancestor)
            return true;
    return false;
}

namespace {
std::vector<const TStreamableClass*>& Registry() {
    static std::vector<const TStreamableClass*> Classes;
    return Classes;
}

// A class name as read from a stream, fit for a message: a file that is no object stream yields
// any bytes here, so everything but printable ASCII is shown as \xhh, a backslash as \\, and an
// empty name as "". A name longer than MaxShownName characters is cut there, before the escape
// that would not fit, and ends with "…", so that the message stays one readable line.
constexpr std::size_t MaxShownName = 40;

std::string PrintableName(std::string_view Name) {
    if (Name.empty())
        return "\"\"";
    static constexpr char Hex[] = "0123456789abcdef";
    std::string Out;
    for (const char C : Name) {
        const auto B = static_cast<unsigned char>(C);
        std::string Shown;
        if (B == '\\')
            Shown = "\\\\";
        else if (B >= 0x20 && B < 0x7f)
            Shown = C;
        else
            Shown = {'\\', 'x', Hex[B >> 4], Hex[B & 0x0f]};
        if (Out.size() + Shown.size() > MaxShownName)
            return Out + "\xE2\x80\xA6"; // "…" in UTF-8
        Out += Shown;
    }
    return Out;
}
} // namespace

const std::vector<const TStreamableClass*>& StreamableClasses() {
    return Registry();
}

void RegisterStreamable(const TStreamableClass& AClass) {
    auto& Classes = Registry();
    for (const TStreamableClass* C = &AClass; C != nullptr; C = C->Parent) {
        if (std::find(Classes.begin(), Classes.end(), C) != Classes.end())
            break;
        if (FindStreamable(C->Name) == nullptr)
            Classes.push_back(C);
    }
}

const TStreamableClass* FindStreamable(std::string_view Name) {
    for (const TStreamableClass* C : Registry())
        if (SameText(C->Name, Name))
            return C;
    return nullptr;
}

const TStreamableClass& GetStreamable(std::string_view Name) {
    if (const TStreamableClass* C = FindStreamable(Name))
        return *C;
    throw EStreamableError(PrintableName(Name) + " not registered as streamable");
}

// --- TStreamable ---

void TStreamable::Load(TFilter& Stream) {
    Stream.ObjectLoaded(this);
}

void TStreamable::Store(TFilter&) {}

// --- counts ---

Longint ReadCount(TStream& Stream) {
    unsigned char B[4];
    Stream.ReadBuffer(B, 4);
    return static_cast<Longint>(std::uint32_t(B[0]) | std::uint32_t(B[1]) << 8 | std::uint32_t(B[2]) << 16 |
                                std::uint32_t(B[3]) << 24);
}

void WriteCount(TStream& Stream, Longint Value) {
    const auto V = static_cast<std::uint32_t>(Value);
    const unsigned char B[4] = {static_cast<unsigned char>(V), static_cast<unsigned char>(V >> 8),
                                static_cast<unsigned char>(V >> 16), static_cast<unsigned char>(V >> 24)};
    Stream.WriteBuffer(B, 4);
}

// --- TFilter ---

TFilter::TFilter() = default;

TFilter::TFilter(TStream* Stream) {
    TFilter::SetStream(Stream);
    OwnsStream = false;
}

TFilter::~TFilter() {
    TFilter::SetStream(nullptr);
}

Longint TFilter::Read(void* Buffer, Longint Count) {
    return mStream != nullptr ? mStream->Read(Buffer, Count) : 0;
}

Longint TFilter::Write(const void* Buffer, Longint Count) {
    return mStream != nullptr ? mStream->Write(Buffer, Count) : 0;
}

Longint TFilter::Seek(Longint Offset, Word Origin) {
    return mStream != nullptr ? mStream->Seek(Offset, Origin) : 0;
}

void TFilter::ObjectLoaded(TStreamable* Obj) {
    if (auto* Inner = dynamic_cast<TFilter*>(mStream))
        Inner->ObjectLoaded(Obj);
}

void TFilter::SetStream(TStream* NewStream) {
    if (OwnsStream && mStream != NewStream)
        delete mStream;
    mStream = NewStream;
}

TStreamable* TFilter::ReadObject() {
    const std::string Name = ReadShortString();
    const TStreamableClass& Class = GetStreamable(Name);
    if (Class.Create == nullptr)
        throw EStreamableError(Name + " cannot be created: the class is abstract");
    if (mNesting >= MaxNesting)
        throw EReadError("Stream read error: objects nested too deeply");
    std::unique_ptr<TStreamable> Obj(Class.Create());
    ++mNesting;
    try {
        Obj->Load(*this);
    } catch (...) {
        --mNesting;
        throw;
    }
    --mNesting;
    return Obj.release();
}

void TFilter::WriteObject(TStreamable* Obj) {
    WriteShortString(Obj->ClassName());
    Obj->Store(*this);
}

void TFilter::ReadShortString(std::string& S) {
    unsigned char Len = 0;
    ReadBuffer(&Len, 1);
    S.resize(Len);
    if (Len != 0)
        ReadBuffer(S.data(), Len);
}

std::string TFilter::ReadShortString() {
    std::string S;
    ReadShortString(S);
    return S;
}

void TFilter::WriteShortString(std::string_view S) {
    unsigned char Buf[256];
    const std::size_t Len = std::min<std::size_t>(S.size(), 255);
    Buf[0] = static_cast<unsigned char>(Len);
    std::memcpy(Buf + 1, S.data(), Len);
    WriteBuffer(Buf, static_cast<Longint>(Len + 1));
}

// --- TBufferedFilter ---

TBufferedFilter::TBufferedFilter(TStream* Stream, Word BufSize) {
    Init(Stream, BufSize);
}

TBufferedFilter::TBufferedFilter(TStream* Stream, Word BufSize, bool Owns) {
    OwnsStream = Owns;
    try {
        Init(Stream, BufSize);
    } catch (...) {
        // The destructor will not run: free what this filter was given to own.
        if (mStream == Stream)
            TFilter::SetStream(nullptr);
        else if (Owns)
            delete Stream;
        throw;
    }
}

void TBufferedFilter::Init(TStream* Stream, Word BufSize) {
    // The stream is attached while the buffer size is still 0, so the window is empty and the
    // first transfer opens one at the current position.
    const bool Owns = OwnsStream;
    SetStream(Stream);
    OwnsStream = Owns;
    if (BufSize == 0)
        throw EStreamError("Buffer size of 0 not allowed");
    mBufSize = BufSize;
    mBuffer = std::make_unique<char[]>(BufSize);
    ResetBuffer();
}

TBufferedFilter::~TBufferedFilter() {
    try {
        FlushBuffer();
    } catch (...) {
        // A destructor cannot report; callers that must know flush first.
    }
    mBuffer.reset();
    mBufSize = 0;
    mDirty = false;
}

void TBufferedFilter::ResetBuffer() {
    mBufCount = 0;
    mBufStart = mCurPos;
    mBufEnd = mCurPos + mBufSize;
}

void TBufferedFilter::FillBuffer() {
    if (mStream == nullptr || mBufSize == 0)
        return;
    const Longint P = mBufStart + mBufCount;
    if (P >= mCurSize)
        return;
    if (P != mStreamPos)
        mStream->Seek(P, soFromBeginning);
    const Longint N = IntMin(mBufSize - mBufCount, mCurSize - P);
    const Longint Got = mStream->Read(mBuffer.get() + mBufCount, N);
    if (Got > 0)
        mBufCount = static_cast<Word>(mBufCount + Got);
    mStreamPos = mBufStart + mBufCount;
}

void TBufferedFilter::FlushBuffer() {
    if (!mDirty || mBufCount == 0 || mStream == nullptr)
        return;
    if (mBufStart != mStreamPos)
        mStream->Seek(mBufStart, soFromBeginning);
    const Longint Written = mStream->Write(mBuffer.get(), mBufCount);
    if (Written == mBufCount) {
        mDirty = false;
        mStreamPos = mBufStart + mBufCount;
    } else {
        mStreamPos = mStream->Position();
        throw EStreamError("Unable to flush buffer.");
    }
}

Longint TBufferedFilter::Read(void* Buffer, Longint Count) {
    if (mBufSize == 0 || Count <= 0)
        return 0;
    if (IntInRange(mCurPos, mBufStart, mBufEnd - 1)) {
        if (mBufCount < mBufSize)
            FillBuffer();
    } else {
        FlushBuffer();
        ResetBuffer();
        FillBuffer();
    }
    Longint N = Count;
    while (N > 0) {
        // The inner stream may have delivered fewer bytes than CurSize promised, leaving the
        // position beyond the valid bytes: nothing can then be read.
        const Longint K = IntMin(mBufStart + mBufCount - mCurPos, N);
        if (K <= 0)
            break;
        std::memcpy(static_cast<char*>(Buffer) + (Count - N), mBuffer.get() + (mCurPos - mBufStart),
                    static_cast<std::size_t>(K));
        mCurPos += K;
        if (mCurPos >= mBufStart + mBufCount) {
            FlushBuffer();
            ResetBuffer();
            FillBuffer();
        }
        N -= K;
        if (N > 0 && mBufCount == 0)
            break;
    }
    return Count - N;
}

Longint TBufferedFilter::Write(const void* Buffer, Longint Count) {
    if (mBufSize == 0 || Count <= 0)
        return 0;
    if (IntInRange(mCurPos, mBufStart, mBufEnd - 1)) {
        if (mBufStart + mBufCount < mCurPos)
            FillBuffer();
    } else {
        FlushBuffer();
        ResetBuffer();
    }
    // Bytes between the valid ones and the write position that the inner stream did not
    // deliver are zeroed rather than written back as whatever the buffer held.
    if (mBufStart + mBufCount < mCurPos) {
        std::memset(mBuffer.get() + mBufCount, 0, static_cast<std::size_t>(mCurPos - mBufStart - mBufCount));
        mBufCount = static_cast<Word>(mCurPos - mBufStart);
    }
    Longint N = Count;
    while (N > 0) {
        mDirty = true;
        const Longint K = IntMin(mBufEnd - mCurPos, N);
        std::memcpy(mBuffer.get() + (mCurPos - mBufStart), static_cast<const char*>(Buffer) + (Count - N),
                    static_cast<std::size_t>(K));
        mCurPos += K;
        mCurSize = IntMax(mCurSize, mCurPos);
        mBufCount = WordMax(mBufCount, static_cast<Word>(mCurPos - mBufStart));
        if (mCurPos >= mBufEnd) {
            FlushBuffer();
            ResetBuffer();
        }
        N -= K;
    }
    return Count;
}

Longint TBufferedFilter::Seek(Longint Offset, Word Origin) {
    const std::int64_t P = SeekTarget(mCurPos, mCurSize, Offset, Origin);
    mCurPos = static_cast<Longint>(std::clamp<std::int64_t>(P, 0, mCurSize));
    return mCurPos;
}

void TBufferedFilter::SetStream(TStream* NewStream) {
    if (mStream != nullptr)
        FlushBuffer();
    TFilter::SetStream(NewStream);
    mDirty = false;
    if (NewStream != nullptr) {
        mCurSize = NewStream->Size();
        mCurPos = NewStream->Position();
        if (mCurSize > 0) {
            char Probe;
            NewStream->Seek(0, soFromBeginning);
            if (NewStream->Read(&Probe, 1) != 1)
                throw EStreamError("Buffering of write only stream might cause problems");
            NewStream->Seek(mCurPos, soFromBeginning);
        }
    } else {
        mCurPos = 0;
        mCurSize = 0;
    }
    mStreamPos = mCurPos;
    ResetBuffer();
}

// --- TBufFileStream ---

namespace {
TFileStream* OpenBuffered(const std::string& FileName, Word Mode) {
    if (Mode != fmCreate && (Mode & 0x0F) == fmOpenWrite)
        Mode = static_cast<Word>((Mode & ~0x0F) | fmOpenReadWrite);
    return new TFileStream(FileName, Mode);
}
} // namespace

TBufFileStream::TBufFileStream(const std::string& FileName, Word Mode, Word BufSize)
    : TBufferedFilter(OpenBuffered(FileName, Mode), BufSize, true) {}
