// The viewer's window opening hostile report files and showing their first page: a file of
// under 1 MB whose pages expand about a thousandfold (in three shapes), and one that holds 30 distinct
// pictures of 25 million pixels that no page draws. Run one benchmark at a time (--benchmark_filter) for its
// own peak memory: peak_MB is the process's high-water mark since the benchmark began; refused is 1 when the
// window refused the file.
#include "VbProjectGen.h"
#include "platform/report/QRPreview.h"
#include "reports/fPreview.h"
#include "tests/platform/report/ReportFiles.h"

#include <QApplication>
#include <QBuffer>
#include <QPicture>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>

namespace {
using namespace reportfiles;

// The files made by this run, removed at its end.
std::vector<std::string> Made;

// Png with a text chunk holding Text after its header chunk: a PNG file of other bytes and the
// same pixels.
QByteArray WithTextChunk(const QByteArray& Png, const QByteArray& Text) {
    QByteArray Chunk(4, '\0');
    for (int I = 0; I < 4; ++I)
        Chunk[I] = static_cast<char>(static_cast<quint32>(Text.size()) >> (24 - 8 * I));
    Chunk.append("tEXt").append(Text);
    const uLong Sum =
        crc32(0, reinterpret_cast<const Bytef*>(Chunk.constData() + 4), static_cast<uInt>(Chunk.size() - 4));
    for (int I = 0; I < 4; ++I)
        Chunk.append(static_cast<char>(Sum >> (24 - 8 * I)));
    // After the signature (8 bytes) and the header chunk (25).
    return Png.left(33) + Chunk + Png.mid(33);
}

// Report file Source with Pngs added to its picture table (Source keeps its pictures once).
std::vector<char> WithPictures(const std::vector<char>& Source, const std::vector<QByteArray>& Pngs) {
    const std::size_t First = FirstRecord(Source);
    std::vector<char> Prefix(Source.begin(), Source.begin() + static_cast<std::ptrdiff_t>(First));
    Put32(Prefix, 124, U32(Source, 124) + static_cast<quint32>(Pngs.size()));
    for (const QByteArray& Png : Pngs) {
        Prefix.resize(Prefix.size() + 4);
        Put32(Prefix, Prefix.size() - 4, static_cast<quint32>(Png.size()));
        Prefix.insert(Prefix.end(), Png.begin(), Png.end());
    }
    std::vector<QByteArray> Pages;
    for (int I = 1; I <= static_cast<int>(U32(Source, 8)); ++I)
        Pages.push_back(PageData(Source, I));
    return WithPages(Prefix, Pages);
}

// A PNG file of a picture of Size pixels, plain but for a few lines.
QByteArray LargePng(QSize Size) {
    QImage Image(Size, QImage::Format_RGB32);
    Image.fill(QColor(230, 240, 250));
    QPainter Paint(&Image);
    for (int Y = 0; Y < Size.height(); Y += Size.height() / 8)
        Paint.drawLine(0, Y, Size.width(), Size.height() - Y);
    Paint.end();
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, "PNG");
    return Png;
}

// Report file Source with Count distinct pictures of Size pixels added to its table, which no
// page draws.
std::vector<char> UnusedPicturesFile(const std::vector<char>& Source, int Count, QSize Size) {
    const QByteArray Png = LargePng(Size);
    std::vector<QByteArray> Pngs;
    for (int I = 0; I < Count; ++I)
        Pngs.push_back(WithTextChunk(Png, QByteArray("Comment") + '\0' + QByteArray::number(I)));
    return WithPictures(Source, Pngs);
}

double PeakMegabytes() {
    return static_cast<double>(qxbench::StatusKb("VmHWM")) / 1024.0;
}

// A one-page compressed report of a few lines of text.
std::vector<char> TextReport() {
    QPicture Page;
    Page.setBoundingRect(QRect(0, 0, 8419, 5953));
    QPainter P(&Page);
    P.setFont(QFont(QStringLiteral("Tahoma"), 8));
    for (int Line = 0; Line < 20; ++Line)
        P.drawText(100, 200 + Line * 150,
                   QStringLiteral("    dtDue = DateSerial(Year(Now), Month(Now) + 1, 1)"));
    P.end();
    TQRPrinter Printer;
    Printer.SetPages({Page});
    Printer.SetCompression(true);
    return reportfiles::SaveToBytes(Printer);
}

// A file of Pages pages of PageMB megabytes each, made once per shape.
const std::string& HighExpansionFile(int PageMB, int Pages) {
    static std::map<std::pair<int, int>, std::string> Files;
    std::string& Name = Files[{PageMB, Pages}];
    if (Name.empty()) {
        Name = qxbench::TempName("expanding" + std::to_string(PageMB) + "x" + std::to_string(Pages) + ".QXV");
        reportfiles::WriteFile(Name,
                               reportfiles::HighExpansionFile(TextReport(), qsizetype(PageMB) << 20, Pages));
        Made.push_back(Name);
    }
    return Name;
}

const std::string& PicturesFile() {
    static const std::string Name = [] {
        const std::string File = qxbench::TempName("pictures.QXV");
        reportfiles::WriteFile(File, UnusedPicturesFile(TextReport(), 30, QSize(5000, 5000)));
        Made.push_back(File);
        return File;
    }();
    return Name;
}

void OpenInViewer(benchmark::State& State, const std::string& File) {
    qxbench::ResetPeakMemory();
    int Pages = 0;
    bool Refused = false;
    for (auto _ : State) {
        TQRPrinter Printer;
        auto Window = TfrmPreview::Open(&Printer, {});
        try {
            Window->LoadReportFile(File);
        } catch (const EQRFileError& E) {
            Refused = true;
            State.SetLabel(E.Message());
        }
        // Page 1 drawn as the window shows it.
        benchmark::DoNotOptimize(Window->QRPreview()->viewport()->grab());
        Pages = Printer.PageCount();
        Window->close();
    }
    State.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(File)) / 1048576.0;
    State.counters["pages"] = Pages;
    State.counters["refused"] = Refused;
    State.counters["peak_MB"] = PeakMegabytes();
}

// Arguments: megabytes a page expands to, and pages.
void ViewerOpensHighExpansionFile(benchmark::State& State) {
    const std::string& File =
        HighExpansionFile(static_cast<int>(State.range(0)), static_cast<int>(State.range(1)));
    OpenInViewer(State, File);
}

void ViewerOpensThirtyPicturesFile(benchmark::State& State) {
    const std::string& File = PicturesFile();
    OpenInViewer(State, File);
}
} // namespace

// 756 MB in a file of 0.74 MB; 64 MB in 8 pages of 8 MB; 800 MB in 100 such pages (0.78 MB).
BENCHMARK(ViewerOpensHighExpansionFile)
    ->Args({63, 12})
    ->Args({8, 8})
    ->Args({8, 100})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(ViewerOpensThirtyPicturesFile)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::string& File : Made)
        std::filesystem::remove(File);
    return 0;
}
