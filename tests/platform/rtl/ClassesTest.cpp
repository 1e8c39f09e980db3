#include "platform/rtl/Classes.h"
#include "tests/support/ExceptionMessage.h"
#include "tests/support/NamedPipe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/socket.h>
#include <sys/un.h>

namespace {

using testsupport::MessageOf;

std::string TempFile(const char* Name) {
    return (std::filesystem::temp_directory_path() / (std::string("qx_rtl_") + Name)).string();
}

std::string ReadAll(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

TEST(StringList, SortedListIgnoresCaseAndDuplicates) {
    TStringList L;
    L.SetSorted(true);
    L.Add("Year");
    L.Add("date");
    EXPECT_EQ(L.Add("DATE"), 0); // the duplicate answers with the held index
    L.Add("Now");
    ASSERT_EQ(L.Count(), 3);
    EXPECT_EQ(L[0], "date");
    EXPECT_EQ(L[1], "Now");
    EXPECT_EQ(L[2], "Year");
    EXPECT_EQ(L.IndexOf("YEAR"), 2);
    EXPECT_EQ(L.IndexOf("Month"), -1);
    Longint Index = -1;
    EXPECT_FALSE(L.Find("Month", Index));
    EXPECT_EQ(Index, 1); // where it would be inserted
}

TEST(StringList, AcceptedDuplicatesAndErrors) {
    TStringList L;
    L.SetSorted(true);
    L.SetDuplicates(TDuplicates::dupAccept);
    L.Add("b");
    L.Add("B");
    EXPECT_EQ(L.Count(), 2);
    L.SetDuplicates(TDuplicates::dupError);
    EXPECT_EQ(MessageOf<EStringListError>([&] { L.Add("b"); }), "String list does not allow duplicates");
    EXPECT_EQ(MessageOf<EStringListError>([&] { L.Insert(0, "a"); }),
              "Operation not allowed on sorted string list");
    EXPECT_EQ(MessageOf<EStringListError>([&] { (void)L.Strings(5); }), "List index out of bounds (5)");
}

TEST(StringList, LoadsEveryLineEndAndSavesWithCrLf) {
    const std::string Name = TempFile("lines.txt");
    {
        std::ofstream Out(Name, std::ios::binary);
        Out << "one\r\ntwo\nthree\rfour\r\n\r\nsix";
    }
    TStringList L;
    L.LoadFromFile(Name);
    ASSERT_EQ(L.Count(), 6);
    EXPECT_EQ(L[0], "one");
    EXPECT_EQ(L[2], "three");
    EXPECT_EQ(L[3], "four");
    EXPECT_EQ(L[4], "");
    EXPECT_EQ(L[5], "six");

    L.SaveToFile(Name);
    EXPECT_EQ(ReadAll(Name), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
    std::remove(Name.c_str());
}

// Text saved with a byte-order mark reads as the Windows-1252 text it stands for, without the
// mark; what Windows-1252 cannot show becomes '?'. Without a mark the bytes stay as they are.
TEST(StringList, DecodesTextThatBeginsWithAByteOrderMark) {
    const std::string Name = TempFile("marked.txt");
    const std::pair<std::string, std::string> Cases[] = {
        {"\xEF\xBB\xBF"
         "Date\r\nGeb\xC3\xBChr\r\n\xE2\x82\xAC\xE4\xB8\xAD",
         "Date|Geb\xFChr|\x80?"},
        {std::string("\xFF\xFE"
                     "D\0a\0\r\0\n\0\xFC\0\x2D\x4E",
                     14),
         "Da|\xFC?"},
        {std::string("\xFE\xFF"
                     "\0D\0a\0\n\0\xFC",
                     10),
         "Da|\xFC"},
        {"\xEF\xBB-no mark\r\n", "\xEF\xBB-no mark"},
    };
    for (const auto& [Bytes, Lines] : Cases) {
        std::ofstream(Name, std::ios::binary) << Bytes;
        TStringList L;
        L.LoadFromFile(Name);
        std::string Joined;
        for (Longint I = 0; I < L.Count(); ++I)
            Joined += (I > 0 ? "|" : "") + L[I];
        EXPECT_EQ(Joined, Lines);
    }
    std::remove(Name.c_str());
}

// A pipe, a device, a socket or a folder is refused before anything is read from it or written
// to it, by name and kind; a pipe would otherwise wait for a writer or a reader for ever.
TEST(FileStream, RefusesWhatIsNoRegularFile) {
    const std::string Folder = TempFile("nonfiles");
    std::filesystem::remove_all(Folder);
    std::filesystem::create_directories(Folder);
    testsupport::TNamedPipe Pipe(Folder + "/pipe.txt");
    ASSERT_TRUE(Pipe.Made());
    const std::string Socket = Folder + "/socket";
    const int Fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    Socket.copy(Address.sun_path, sizeof Address.sun_path - 1);
    ASSERT_EQ(::bind(Fd, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
    const std::pair<std::string, std::string> Cases[] = {
        {Pipe.Name(), "a named pipe"}, {"/dev/null", "a device"}, {Socket, "a socket"}, {Folder, "a folder"}};
    for (const auto& [Name, Kind] : Cases) {
        const std::string Expected = "Cannot open file " + Name + ": it is " + Kind + ", not a file";
        EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream F(Name, fmOpenRead); }), Expected);
        EXPECT_EQ(MessageOf<EFOpenError>([&] { TStringList().LoadFromFile(Name); }), Expected);
        EXPECT_EQ(MessageOf<EFOpenError>([&] { TMemoryStream().LoadFromFile(Name); }), Expected);
        EXPECT_EQ(MessageOf<EFCreateError>([&] { TStringList().SaveToFile(Name); }),
                  "Cannot create file " + Name + ": it is " + Kind + ", not a file");
    }
    EXPECT_FALSE(Pipe.Released());
    ::close(Fd);
    std::filesystem::remove_all(Folder);
}

TEST(StringList, KeepsBytesOfEightBitText) {
    TStringList L;
    L.SetText(std::string("caf\xE9\0x\n", 7));
    ASSERT_EQ(L.Count(), 1);
    EXPECT_EQ(L[0], std::string("caf\xE9\0x", 6));
}

TEST(StringList, ChangeNotification) {
    TStringList L;
    int Notices = 0;
    L.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &L);
        ++Notices;
    };
    L.Add("a");
    L.SetText("x\ny\nz");
    L.Delete(0);
    EXPECT_EQ(Notices, 3); // a whole text counts as one change
}

TEST(List, IndexErrorsCarryTheIndex) {
    TList L;
    int A = 0, B = 0;
    L.Add(&A);
    L.Add(&B);
    EXPECT_EQ(MessageOf<EListError>([&] { L.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(MessageOf<EListError>([&] { L.Delete(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<EListError>([&] { L.SetCount(-3); }), "List count out of bounds (-3)");
    L.Move(0, 1);
    EXPECT_EQ(L.Get(0), &B);
    EXPECT_EQ(L.Remove(&A), 1);
    EXPECT_EQ(L.Count(), 1);
}

TEST(FileStream, ModesAndMessages) {
    const std::string Name = TempFile("modes.bin");
    std::remove(Name.c_str());
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream F(Name, fmOpenRead); }), "Cannot open file " + Name);
    EXPECT_EQ(MessageOf<EFCreateError>([&] { TFileStream F("/nonexistent-dir/x", fmCreate); }),
              "Cannot create file /nonexistent-dir/x");
    {
        TFileStream F(Name, fmCreate);
        F.WriteBuffer("hello", 5);
        EXPECT_EQ(F.Size(), 5);
    }
    {
        TFileStream F(Name, fmOpenRead);
        char Buf[8] = {};
        EXPECT_EQ(MessageOf<EReadError>([&] { F.ReadBuffer(Buf, 6); }), "Stream read error");
        F.SetPosition(1);
        EXPECT_EQ(F.Read(Buf, 8), 4);
        EXPECT_EQ(std::string(Buf, 4), "ello");
        EXPECT_EQ(MessageOf<EWriteError>([&] { F.WriteBuffer("x", 1); }), "Stream write error");
    }
    std::remove(Name.c_str());
}

TEST(MemoryStream, ReadWriteSeek) {
    TMemoryStream M;
    M.WriteBuffer("abcdef", 6);
    EXPECT_EQ(M.Position(), 6);
    EXPECT_EQ(M.Seek(-2, soFromEnd), 4);
    char Buf[4] = {};
    EXPECT_EQ(M.Read(Buf, 4), 2);
    EXPECT_EQ(std::string(Buf, 2), "ef");
    M.SetPosition(8);
    M.WriteBuffer("z", 1); // writing past the end grows with zero bytes
    ASSERT_EQ(M.Size(), 9);
    EXPECT_EQ(M.Bytes()[6], '\0');
    M.SetSize(3);
    EXPECT_EQ(M.Position(), 3);
}

class TThing : public TPersistent {
public:
    std::string ClassName() const override { return "TThing"; }
};

TEST(Persistent, AssignErrorNamesBothClasses) {
    TThing A, B;
    EXPECT_EQ(MessageOf<EConvertError>([&] { A.Assign(&B); }), "Cannot assign a TThing to a TThing");
    EXPECT_EQ(MessageOf<EConvertError>([&] { A.Assign(nullptr); }), "Cannot assign a nil to a TThing");
}

TEST(SysUtils, CastsAbortAndFormatting) {
    TThing T;
    TObject* O = &T;
    EXPECT_EQ(As<TThing>(O), &T);
    EXPECT_EQ(As<TThing>(static_cast<TObject*>(nullptr)), nullptr);
    EXPECT_EQ(MessageOf<EInvalidCast>([&] { As<TStream>(O); }), "Invalid class typecast");
    EXPECT_EQ(MessageOf<EAbort>([] { Abort(); }), "Operation aborted");
    EXPECT_EQ(Format("%s: %d", std::string("n"), 42), "n: 42");
}

TEST(SysUtils, FileNameParts) {
    EXPECT_EQ(ExtractFilePath("/a/b.c/file"), "/a/b.c/");
    EXPECT_EQ(ExtractFileName("/a/b.c/file"), "file");
    EXPECT_EQ(ExtractFileExt("/a/b.c/file"), ""); // a dot in a folder name is no extension
    EXPECT_EQ(ExtractFileExt("/a/doc.QXS"), ".QXS");
    EXPECT_EQ(ChangeFileExt("/a.b/doc", ".QXS"), "/a.b/doc.QXS");
    EXPECT_EQ(ChangeFileExt("doc.old.txt", ".csv"), "doc.old.csv");
    EXPECT_TRUE(SameText("KeyWords.TXT", "KEYWORDS.txt"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_EQ(Trim("  x y \t"), "x y");
}

} // namespace
