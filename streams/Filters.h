#pragma once
// Streamable objects, the class registry, and the filters that write and read whole object
// graphs.
//
// Framing (little-endian, no magic, no version, no padding):
//   short string  1 byte length L (0..255), then L bytes; longer texts are cut to 255 bytes
//   count         4-byte signed integer
//   object        short string with the class name, then the fields Store writes, parents first
// A scan document file is one object: the document root.

#include "platform/rtl/Classes.h"

#include <memory>
#include <string>
#include <vector>

class TFilter;
class TStreamable;

/// A class reference: the registered name, the parent class and a factory that creates an
/// empty object (nullptr for abstract classes). Reading an object creates it through the
/// factory and then calls its Load, which reads the fields.
struct TStreamableClass {
    const char* Name;
    const TStreamableClass* Parent;
    TStreamable* (*Create)();

    bool InheritsFrom(const TStreamableClass& Ancestor) const;
};

/// Base of every object stored in a scan document.
class TStreamable : public TPersistent {
public:
    static const TStreamableClass StaticClass;
    virtual const TStreamableClass& ClassType() const { return StaticClass; }
    std::string ClassName() const final { return ClassType().Name; }

    /// Rebuilds the object's fields from Stream. Overrides call the inherited Load first, so the
    /// parents' fields are read first. The base reports the object to Stream.ObjectLoaded.
    virtual void Load(TFilter& Stream);
    /// Writes the object's fields, parents first. The base writes nothing.
    virtual void Store(TFilter& Stream);
};

// Declares the class reference of a streamable class; QX_STREAMABLE_IMPL defines it.
#define QX_STREAMABLE(Class)                                                                                 \
public:                                                                                                      \
    static const TStreamableClass StaticClass;                                                               \
    const TStreamableClass& ClassType() const override {                                                     \
        return StaticClass;                                                                                  \
    }

#define QX_STREAMABLE_IMPL(Class, ParentClass)                                                               \
    const TStreamableClass Class::StaticClass{#Class, &ParentClass::StaticClass,                             \
                                              []() -> TStreamable* { return new Class(); }};

#define QX_STREAMABLE_ABSTRACT_IMPL(Class, ParentClass)                                                      \
    const TStreamableClass Class::StaticClass{#Class, &ParentClass::StaticClass, nullptr};

/// Unknown class name while reading.
QX_DECLARE_EXCEPTION(EStreamableError, EStreamError)

/// Registers AClass and its ancestors up to TStreamable. A class already listed, or one whose
/// name (ignoring ASCII case) is already taken, is not added again.
void RegisterStreamable(const TStreamableClass& AClass);
/// The first registered class named Name (ignoring ASCII case), or nullptr.
const TStreamableClass* FindStreamable(std::string_view Name);
/// FindStreamable, or EStreamableError "<Name> not registered as streamable", with every byte of
/// Name that is not printable ASCII shown as \xhh (a backslash as \\, an empty name as ""); a
/// name longer than 40 characters so shown is cut and ends with "…".
const TStreamableClass& GetStreamable(std::string_view Name);
/// The registered classes, in registration order.
const std::vector<const TStreamableClass*>& StreamableClasses();

/// Reads a 4-byte signed count ("Stream read error" on a short read).
Longint ReadCount(TStream& Stream);
/// Writes a 4-byte signed count ("Stream write error" on a short write).
void WriteCount(TStream& Stream, Longint Value);

/// A stream over an inner stream that writes and reads tagged objects.
class TFilter : public TStream {
public:
    explicit TFilter(TStream* Stream);
    ~TFilter() override;
    TFilter(const TFilter&) = delete;
    TFilter& operator=(const TFilter&) = delete;

    std::string ClassName() const override { return "TFilter"; }
    Longint Read(void* Buffer, Longint Count) override;
    Longint Write(const void* Buffer, Longint Count) override;
    Longint Seek(Longint Offset, Word Origin) override;

    /// Called with every new object before its fields are read; forwarded to an inner filter.
    virtual void ObjectLoaded(TStreamable* Obj);
    /// Frees the current inner stream when owned, then attaches NewStream.
    virtual void SetStream(TStream* NewStream);
    /// Reads a class-name tag and the object that follows. The caller owns the result and checks
    /// its class. Raises EStreamableError for an unknown name and EReadError on a short stream.
    virtual TStreamable* ReadObject();
    /// Writes Obj's class-name tag and its fields.
    virtual void WriteObject(TStreamable* Obj);

    void ReadShortString(std::string& S);
    std::string ReadShortString();
    /// Writes S as a short string; a text longer than 255 bytes is cut to its first 255.
    void WriteShortString(std::string_view S);

    TStream* GetStream() const { return mStream; }
    /// When true the inner stream is freed when replaced and when the filter is destroyed.
    bool OwnsStream = false;

    /// How deeply objects may nest inside one another while reading; deeper input is corrupt.
    static constexpr int MaxNesting = 64;

protected:
    TFilter();
    TStream* mStream = nullptr;

private:
    int mNesting = 0;
};

/// A filter that moves data through one buffer window of BufSize bytes, so that the many small
/// transfers of the object framing become one inner transfer per window, and that repositions
/// the inner stream only when a transfer needs another position.
class TBufferedFilter : public TFilter {
public:
    /// Raises EStreamError "Buffer size of 0 not allowed" for BufSize 0.
    TBufferedFilter(TStream* Stream, Word BufSize);
    /// Flushes the window; a failing flush here is lost, so writers call FlushBuffer first.
    ~TBufferedFilter() override;

    std::string ClassName() const override { return "TBufferedFilter"; }
    Longint Read(void* Buffer, Longint Count) override;
    Longint Write(const void* Buffer, Longint Count) override;
    /// Moves CurPos, clamped to 0..CurSize; performs no I/O.
    Longint Seek(Longint Offset, Word Origin) override;
    void SetStream(TStream* NewStream) override;
    virtual void FillBuffer();
    /// Writes the dirty window to the inner stream; EStreamError "Unable to flush buffer." when
    /// the inner stream takes fewer bytes.
    virtual void FlushBuffer();

    Word BufSize() const { return mBufSize; }

protected:
    /// For subclasses that hand over an inner stream they own: it is freed also when the
    /// construction fails.
    TBufferedFilter(TStream* Stream, Word BufSize, bool OwnsStream);

private:
    void Init(TStream* Stream, Word BufSize);
    void ResetBuffer();

    Longint mStreamPos = 0;
    Longint mCurSize = 0;
    Word mBufCount = 0;
    Longint mBufEnd = 0;
    std::unique_ptr<char[]> mBuffer;
    bool mDirty = false;
    Word mBufSize = 0;
    Longint mBufStart = 0;
    Longint mCurPos = 0;
};

/// A buffered filter over a file stream that it owns. Mode is the class library's file-open
/// mode word; write-only access becomes read-write, because the buffer must be able to read.
class TBufFileStream final : public TBufferedFilter {
public:
    TBufFileStream(const std::string& FileName, Word Mode, Word BufSize);
    std::string ClassName() const override { return "TBufFileStream"; }
};
