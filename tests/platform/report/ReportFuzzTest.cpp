// Loads mutated report files: every one must either load or raise EQRFileError with the
// pages left as they were, and every page that loads must replay without harm.
#include "tests/platform/report/ReportFiles.h"
#include "tests/platform/report/SampleReport.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <random>

using namespace reportfiles;

namespace {
struct TPageSpan {
    std::size_t Start; // first byte of the page data
    std::size_t End;   // one past its last byte
};

std::vector<TPageSpan> PageSpans(const std::vector<char>& File) {
    std::vector<TPageSpan> Spans;
    std::size_t Pos = FirstRecord(File);
    for (quint32 I = 0; I < U32(File, 8); ++I) {
        const std::size_t Next = U32(File, Pos + 4);
        Spans.push_back({Pos + 8, Next - 4});
        Pos = Next;
    }
    return Spans;
}

// Replaces the data of one page record, fixing up the links of all records.
std::vector<char> WithPageData(const std::vector<char>& File, std::size_t Page, const QByteArray& Data) {
    const std::vector<TPageSpan> Spans = PageSpans(File);
    std::vector<char> Out(File.begin(), File.begin() + static_cast<long>(Spans[Page].Start));
    Out.insert(Out.end(), Data.begin(), Data.end());
    Out.insert(Out.end(), File.begin() + static_cast<long>(Spans[Page].End), File.end());
    const long Shift =
        static_cast<long>(Data.size()) - static_cast<long>(Spans[Page].End - Spans[Page].Start);
    std::size_t Pos = FirstRecord(Out);
    for (std::size_t I = 0; I < Spans.size(); ++I) {
        const std::size_t Next = U32(Out, Pos + 4) + (I >= Page ? Shift : 0);
        Put32(Out, Pos + 4, static_cast<quint32>(Next));
        Put32(Out, Next - 4, static_cast<quint32>(Pos));
        Pos = Next;
    }
    return Out;
}

class TMutator {
public:
    explicit TMutator(unsigned Seed) : mRandom(Seed) {}

    std::size_t Below(std::size_t N) {
        return N == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, N - 1)(mRandom);
    }

    void Scramble(std::vector<char>& Bytes, std::size_t From, std::size_t To) {
        if (To <= From)
            return;
        const std::size_t Edits = 1 + Below(4);
        for (std::size_t E = 0; E < Edits; ++E) {
            const std::size_t At = From + Below(To - From);
            switch (Below(4)) {
            case 0:
                Bytes[At] = static_cast<char>(Bytes[At] ^ (1 << Below(8)));
                break;
            case 1:
                Bytes[At] = static_cast<char>(Below(256));
                break;
            case 2:
                if (At + 4 <= To) {
                    static const quint32 Interesting[] = {0,          1,          2,      0x7F,
                                                          0xFF,       0x7FFF,     0xFFFF, 0x7FFFFFFF,
                                                          0x80000000, 0xFFFFFFFF, 124,    0xFFFFFFFE};
                    const quint32 V = Interesting[Below(std::size(Interesting))];
                    for (int I = 0; I < 4; ++I)
                        Bytes[At + I] = static_cast<char>(V >> (8 * (Below(2) ? I : 3 - I)));
                }
                break;
            default:
                if (Below(2))
                    Bytes.erase(Bytes.begin() + static_cast<long>(At));
                else
                    Bytes.insert(Bytes.begin() + static_cast<long>(At), static_cast<char>(Below(256)));
                return; // spans shift after this
            }
        }
    }

private:
    std::mt19937 mRandom;
};
} // namespace

TEST(ReportFileFuzz, MutatedFilesLoadOrFailCleanly) {
    TSampleReport Report(24);
    TQRPrinter Source;
    Report.Prepare(Source);
    const std::vector<char> Plain = SaveToBytes(Source);
    Source.SetCompression(true);
    const std::vector<char> Packed = SaveToBytes(Source);
    const QByteArray FirstPage(Source.Page(1).data(), Source.Page(1).size());

    TQRPrinter Printer;
    LoadFromBytes(Printer, Plain);
    const int Pages = Printer.PageCount();
    ASSERT_GE(Pages, 2);

    // Damaged pictures make Qt's image reader complain; thousands of those lines say nothing.
    struct TQuiet {
        QtMessageHandler Previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        ~TQuiet() { qInstallMessageHandler(Previous); }
    } Quiet;
    TMutator Random(20240531);
    int Loaded = 0, Refused = 0, DeepLoaded = 0;
    constexpr int Runs = 100000;
    for (int Run = 0; Run < Runs; ++Run) {
        std::vector<char> File;
        const int Kind = Run % 4;
        bool Deep = false;
        if (Kind == 0) {
            File = Plain;
            Random.Scramble(File, 0, File.size());
        } else if (Kind == 1) {
            File = Packed;
            Random.Scramble(File, 0, File.size());
        } else if (Kind == 2 || Kind == 3) {
            // Damage inside a page picture that still passes its checksum, stored plain or packed.
            QByteArray Page = FirstPage;
            std::vector<char> Bytes(Page.begin(), Page.end());
            Random.Scramble(Bytes, 10, Bytes.size());
            Page = QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
            if (Page.size() > 8)
                FixChecksum(Page);
            if (Kind == 2) {
                File = WithPageData(Plain, 0, Page);
            } else {
                uLongf Size = compressBound(static_cast<uLong>(Page.size()));
                QByteArray Data(static_cast<qsizetype>(Size + 4), '\0');
                for (int I = 0; I < 4; ++I)
                    Data[I] = static_cast<char>(static_cast<quint32>(Page.size()) >> (8 * I));
                compress2(reinterpret_cast<Bytef*>(Data.data() + 4), &Size,
                          reinterpret_cast<const Bytef*>(Page.data()), static_cast<uLong>(Page.size()), 1);
                Data.resize(static_cast<qsizetype>(Size + 4));
                File = WithPageData(Packed, 0, Data);
            }
            Deep = true;
        }
        try {
            LoadFromBytes(Printer, File);
        } catch (const EQRFileError&) {
            ++Refused;
            ASSERT_EQ(Printer.PageCount(), Pages) << "run " << Run;
            continue;
        }
        ++Loaded;
        DeepLoaded += Deep;
        for (int P = 1; P <= Printer.PageCount(); ++P)
            Render(Printer, P, 0.02);
        LoadFromBytes(Printer, Plain);
    }
    EXPECT_GT(Refused, Runs / 2);
    EXPECT_GT(DeepLoaded, 100);
    std::printf("fuzz: %d loaded (%d with damaged pictures), %d refused\n", Loaded, DeepLoaded, Refused);
}
