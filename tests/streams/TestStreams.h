#pragma once
// Test doubles shared by the stream and container tests.

#include "streams/Containr.h"

#include <vector>

/// A memory stream that records the transfers and seeks it receives, and can refuse reads or
/// cut writes short, to watch what a buffered filter does to its inner stream.
class TCountingStream : public TMemoryStream {
public:
    std::vector<Longint> Reads, Writes;
    int Seeks = 0;
    bool WriteOnly = false;
    Longint WriteLimit = -1; // bytes accepted per write; -1 for all

    Longint Read(void* Buffer, Longint Count) override {
        if (WriteOnly)
            return 0;
        Reads.push_back(Count);
        return TMemoryStream::Read(Buffer, Count);
    }
    Longint Write(const void* Buffer, Longint Count) override {
        Writes.push_back(Count);
        if (WriteLimit >= 0 && Count > WriteLimit)
            Count = WriteLimit;
        return TMemoryStream::Write(Buffer, Count);
    }
    Longint Seek(Longint Offset, Word Origin) override {
        if (!(Offset == 0 && Origin == soFromCurrent))
            ++Seeks;
        return TMemoryStream::Seek(Offset, Origin);
    }
    void ClearLog() {
        Reads.clear();
        Writes.clear();
        Seeks = 0;
    }
};

/// A small streamable class with one short string and two counts.
class TTestItem : public TStreamable {
    QX_STREAMABLE(TTestItem)
public:
    std::string Text;
    Longint A = 0, B = 0;
    static int Alive;
    TTestItem() { ++Alive; }
    TTestItem(std::string T, Longint X, Longint Y) : Text(std::move(T)), A(X), B(Y) { ++Alive; }
    ~TTestItem() override { --Alive; }
    void Load(TFilter& S) override {
        TStreamable::Load(S);
        S.ReadShortString(Text);
        A = ReadCount(S);
        B = ReadCount(S);
    }
    void Store(TFilter& S) override {
        TStreamable::Store(S);
        S.WriteShortString(Text);
        WriteCount(S, A);
        WriteCount(S, B);
    }
};

/// A descendant of the item class, to check ancestor registration.
class TTestSubItem : public TTestItem {
    QX_STREAMABLE(TTestSubItem)
};

/// An object holding a child object, to exercise nesting.
class TTestHolder : public TStreamable {
    QX_STREAMABLE(TTestHolder)
public:
    std::unique_ptr<TStreamable> Child;
    void Load(TFilter& S) override {
        TStreamable::Load(S);
        Child.reset(S.ReadObject());
    }
    void Store(TFilter& S) override {
        TStreamable::Store(S);
        S.WriteObject(Child.get());
    }
};

/// Registers the test classes once.
void RegisterTestClasses();
