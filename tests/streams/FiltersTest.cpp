#include "TestStreams.h"
#include "tests/support/ExceptionMessage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

QX_STREAMABLE_IMPL(TTestItem, TStreamable)
QX_STREAMABLE_IMPL(TTestSubItem, TTestItem)
QX_STREAMABLE_IMPL(TTestHolder, TStreamable)
int TTestItem::Alive = 0;

void RegisterTestClasses() {
    RegisterStreamable(TTestSubItem::StaticClass);
    RegisterStreamable(TTestHolder::StaticClass);
    RegisterStreamable(TCollection::StaticClass);
}

namespace {

using testsupport::MessageOf;

std::string TempFile(const char* Name) {
    return (std::filesystem::temp_directory_path() / (std::string("qx_streams_") + Name)).string();
}

std::string Bytes(const TMemoryStream& M) {
    return std::string(M.Bytes().begin(), M.Bytes().end());
}

TEST(Registry, RegistersAncestorsOnceAndFindsByNameIgnoringCase) {
    RegisterTestClasses();
    const auto Before = StreamableClasses().size();
    RegisterStreamable(TTestSubItem::StaticClass);
    EXPECT_EQ(StreamableClasses().size(), Before);
    EXPECT_EQ(FindStreamable("ttestitem"), &TTestItem::StaticClass);
    EXPECT_EQ(FindStreamable("TSTREAMABLE"), &TStreamable::StaticClass);
    EXPECT_EQ(FindStreamable("TNothing"), nullptr);
    EXPECT_EQ(MessageOf<EStreamableError>([] { GetStreamable("TNothing"); }),
              "TNothing not registered as streamable");

    // A different class with a name already taken is not added.
    static const TStreamableClass Impostor{"TTestItem", &TStreamable::StaticClass, nullptr};
    RegisterStreamable(Impostor);
    EXPECT_EQ(StreamableClasses().size(), Before);
    EXPECT_EQ(FindStreamable("TTestItem"), &TTestItem::StaticClass);
    EXPECT_TRUE(TTestSubItem::StaticClass.InheritsFrom(TStreamable::StaticClass));
    EXPECT_FALSE(TTestItem::StaticClass.InheritsFrom(TTestSubItem::StaticClass));
}

TEST(Framing, ObjectsRoundTripWithTagsAndShortStrings) {
    RegisterTestClasses();
    TMemoryStream M;
    {
        TFilter F(&M);
        TTestItem Item("", 7, -1);
        F.WriteObject(&Item);
        TTestItem Long(std::string(300, 'x'), 0, 0);
        F.WriteObject(&Long);
    }
    const std::string B = Bytes(M);
    // Tag, zero-length string as one byte, two counts little-endian.
    EXPECT_EQ(B.substr(0, 19), std::string("\x09TTestItem\x00\x07\x00\x00\x00\xFF\xFF\xFF\xFF", 19));
    EXPECT_EQ(static_cast<unsigned char>(B[29]), 255); // a long text is cut to 255 bytes

    M.SetPosition(0);
    TFilter F(&M);
    std::unique_ptr<TStreamable> A(F.ReadObject());
    std::unique_ptr<TStreamable> L(F.ReadObject());
    auto* Item = As<TTestItem>(A.get());
    EXPECT_EQ(Item->Text, "");
    EXPECT_EQ(Item->A, 7);
    EXPECT_EQ(Item->B, -1);
    EXPECT_EQ(As<TTestItem>(L.get())->Text, std::string(255, 'x'));
}

TEST(Framing, TagInOtherCaseAndUnknownOrTruncatedInput) {
    RegisterTestClasses();
    TMemoryStream M;
    M.WriteBuffer("\x09tTESTiTEM\x01z\x01\x00\x00\x00\x02\x00\x00\x00", 20);
    M.SetPosition(0);
    TFilter F(&M);
    std::unique_ptr<TStreamable> Obj(F.ReadObject());
    EXPECT_EQ(Obj->ClassName(), "TTestItem");

    TMemoryStream U;
    U.WriteBuffer("\x04TBad", 5);
    U.SetPosition(0);
    TFilter FU(&U);
    EXPECT_EQ(MessageOf<EStreamableError>([&] { FU.ReadObject(); }), "TBad not registered as streamable");
    // A name read from bytes that are no object stream shows only printable ASCII.
    TMemoryStream G;
    G.WriteBuffer("\x06\x03T\\\xE9\x7F\x00", 7);
    G.SetPosition(0);
    TFilter FG(&G);
    EXPECT_EQ(MessageOf<EStreamableError>([&] { FG.ReadObject(); }),
              "\\x03T\\\\\\xe9\\x7f\\x00 not registered as streamable");
    EXPECT_EQ(MessageOf<EStreamableError>([] { GetStreamable(""); }), "\"\" not registered as streamable");
    // A long name is cut at 40 characters as shown, never inside an escape, and ends with "…".
    std::string Escapes;
    for (int I = 0; I < 10; ++I)
        Escapes += "\\x01";
    EXPECT_EQ(MessageOf<EStreamableError>([] { GetStreamable(std::string(255, '\x01')); }),
              Escapes + "\xE2\x80\xA6 not registered as streamable");
    EXPECT_EQ(MessageOf<EStreamableError>([] { GetStreamable(std::string(38, 'A') + "\x01"); }),
              std::string(38, 'A') + "\xE2\x80\xA6 not registered as streamable");
    EXPECT_EQ(MessageOf<EStreamableError>([] { GetStreamable(std::string(40, 'A')); }),
              std::string(40, 'A') + " not registered as streamable");

    const int Alive = TTestItem::Alive;
    TMemoryStream T;
    T.WriteBuffer("\x09TTestItem\x01z\x01\x00", 14);
    T.SetPosition(0);
    TFilter FT(&T);
    EXPECT_EQ(MessageOf<EReadError>([&] { FT.ReadObject(); }), "Stream read error");
    EXPECT_EQ(TTestItem::Alive, Alive); // the half-read object is freed
}

TEST(Framing, DeepNestingIsRejected) {
    RegisterTestClasses();
    TMemoryStream M;
    for (int I = 0; I < 10000; ++I)
        M.WriteBuffer("\x0BTTestHolder", 12);
    M.SetPosition(0);
    TFilter F(&M);
    EXPECT_THROW(F.ReadObject(), EReadError);
}

TEST(BufferedFilter, SequentialWriteReachesInnerStreamInWholeWindows) {
    TCountingStream Inner;
    {
        TBufferedFilter F(&Inner, 4096);
        Inner.ClearLog(); // attaching asks the inner stream for its size
        std::string Data(10000, 'a');
        EXPECT_EQ(F.Write(Data.data(), 10000), 10000);
        EXPECT_EQ(F.Size(), 10000);
        EXPECT_EQ(Inner.Writes, (std::vector<Longint>{4096, 4096}));
    }
    EXPECT_EQ(Inner.Writes, (std::vector<Longint>{4096, 4096, 1808})); // the rest at destruction
    EXPECT_EQ(Inner.Seeks, 0);
    EXPECT_EQ(Inner.Size(), 10000);
}

TEST(BufferedFilter, SequentialReadIssuesOneInnerReadPerWindowAndNoSeek) {
    TCountingStream Inner;
    std::string Data(10000, '\0');
    for (std::size_t I = 0; I < Data.size(); ++I)
        Data[I] = static_cast<char>(I * 7);
    Inner.WriteBuffer(Data.data(), 10000);
    Inner.SetPosition(0);
    Inner.ClearLog();

    TBufferedFilter F(&Inner, 4096);
    Inner.ClearLog(); // attaching probes the first byte
    std::string Got;
    char Buf[3];
    Longint N;
    while ((N = F.Read(Buf, 3)) > 0)
        Got.append(Buf, static_cast<std::size_t>(N));
    EXPECT_EQ(Got, Data);
    EXPECT_EQ(Inner.Reads, (std::vector<Longint>{4096, 4096, 1808}));
    EXPECT_EQ(Inner.Seeks, 0);
}

TEST(BufferedFilter, SeeksClampAndDoNoIo) {
    TCountingStream Inner;
    Inner.WriteBuffer("0123456789", 10);
    Inner.SetPosition(4);
    TBufferedFilter F(&Inner, 16);
    EXPECT_EQ(F.Seek(0, soFromCurrent), 4); // the inner position at attach time
    Inner.ClearLog();
    EXPECT_EQ(F.Seek(-5, soFromBeginning), 0);
    EXPECT_EQ(F.Seek(5, soFromEnd), 10);
    EXPECT_EQ(F.Seek(3, 7), 10); // an unknown origin leaves the position
    EXPECT_EQ(F.Seek(INT32_MAX, soFromCurrent), 10);
    EXPECT_EQ(F.Seek(INT32_MIN, soFromCurrent), 0);
    EXPECT_TRUE(Inner.Reads.empty());
    EXPECT_TRUE(Inner.Writes.empty());
    EXPECT_EQ(Inner.Seeks, 0);
}

TEST(BufferedFilter, WriteInsideAFileKeepsTheBytesAround) {
    const std::string Name = TempFile("middle.bin");
    std::string Data(10000, '\0');
    for (std::size_t I = 0; I < Data.size(); ++I)
        Data[I] = static_cast<char>('A' + I % 26);
    {
        std::ofstream Out(Name, std::ios::binary);
        Out << Data;
    }
    {
        TBufFileStream F(Name, fmOpenReadWrite, 4096);
        F.WriteBuffer("0123456789", 10);
        char Buf[5];
        F.ReadBuffer(Buf, 5);
        EXPECT_EQ(std::string(Buf, 5), Data.substr(10, 5));
    }
    std::ifstream In(Name, std::ios::binary);
    std::string After((std::istreambuf_iterator<char>(In)), {});
    Data.replace(0, 10, "0123456789");
    EXPECT_EQ(After, Data);
    std::remove(Name.c_str());
}

TEST(BufferedFilter, ReadsAtTheEnd) {
    TMemoryStream Inner;
    Inner.WriteBuffer("abc", 3);
    Inner.SetPosition(0);
    TBufferedFilter F(&Inner, 4096);
    char Buf[10];
    EXPECT_EQ(F.Read(Buf, 10), 3);
    EXPECT_EQ(F.Read(Buf, 10), 0);
    EXPECT_EQ(MessageOf<EReadError>([&] { F.ReadBuffer(Buf, 1); }), "Stream read error");
}

TEST(BufferedFilter, WriteOnlyInnerStreamAndFailingFlush) {
    TCountingStream WriteOnly;
    WriteOnly.WriteBuffer("x", 1);
    WriteOnly.WriteOnly = true;
    EXPECT_EQ(MessageOf<EStreamError>([&] { TBufferedFilter F(&WriteOnly, 16); }),
              "Buffering of write only stream might cause problems");

    TCountingStream Short;
    Short.WriteLimit = 3;
    TBufferedFilter F(&Short, 8);
    F.WriteBuffer("abcd", 4);
    EXPECT_EQ(MessageOf<EStreamError>([&] { F.FlushBuffer(); }), "Unable to flush buffer.");
    Short.WriteLimit = -1;
    F.FlushBuffer(); // still dirty: a second flush writes the window again
    EXPECT_EQ(Bytes(Short), "abcd");
}

TEST(BufferedFilter, InnerStreamShorterThanPromised) {
    // The inner stream reports a size but delivers nothing past its first byte.
    class TShrinking : public TMemoryStream {
    public:
        Longint Read(void* Buffer, Longint Count) override {
            return Position() == 0 ? TMemoryStream::Read(Buffer, Count < 1 ? Count : 1) : 0;
        }
    } Inner;
    Inner.WriteBuffer("abcdefgh", 8);
    Inner.SetPosition(0);
    {
        TBufferedFilter F(&Inner, 16);
        F.Seek(5, soFromBeginning);
        char Buf[4] = {};
        EXPECT_EQ(F.Read(Buf, 4), 0);
        F.WriteBuffer("XY", 2);
    }
    // The gap the inner stream did not deliver is written as zeros, never as stale memory.
    EXPECT_EQ(Bytes(Inner), std::string("a\0\0\0\0XYh", 8));
}

TEST(BufFileStream, WriteOnlyModeBecomesReadWriteAndZeroBufferFails) {
    const std::string Name = TempFile("mode.bin");
    {
        std::ofstream Out(Name, std::ios::binary);
        Out << "hello";
    }
    {
        TBufFileStream F(Name, fmOpenWrite | fmShareDenyWrite, 4096);
        char Buf[5];
        F.ReadBuffer(Buf, 5); // readable although opened for writing
        EXPECT_EQ(std::string(Buf, 5), "hello");
    }
    EXPECT_EQ(MessageOf<EStreamError>([&] { TBufFileStream F(Name, fmOpenRead, 0); }),
              "Buffer size of 0 not allowed");
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TBufFileStream F(Name + ".missing", fmOpenRead, 4096); }),
              "Cannot open file " + Name + ".missing");
    std::remove(Name.c_str());
}

TEST(BufFileStream, DocumentLikeRoundTripThroughAFile) {
    RegisterTestClasses();
    const std::string Name = TempFile("objects.bin");
    {
        TBufFileStream F(Name, fmCreate, 4096);
        for (int I = 0; I < 2000; ++I) {
            TTestItem Item("item " + std::to_string(I), I, -I);
            F.WriteObject(&Item);
        }
        F.FlushBuffer();
    }
    TBufFileStream F(Name, fmOpenRead, 4096);
    for (int I = 0; I < 2000; ++I) {
        std::unique_ptr<TStreamable> Obj(F.ReadObject());
        auto* Item = As<TTestItem>(Obj.get());
        ASSERT_EQ(Item->Text, "item " + std::to_string(I));
        ASSERT_EQ(Item->B, -I);
    }
    EXPECT_EQ(F.Position(), F.Size());
    std::remove(Name.c_str());
}

} // namespace
