// The report engine on a report of 10 000 rows in the shape of the hit report's detail band:
// landscape A4, three 32 x 32 pictures and six labels per row. Figures: producing all pages,
// saving and loading the report file (plain and compressed), the file size, peak memory.
#include "platform/report/QuickRep.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

namespace {
constexpr int Rows = 10000;

double PeakMegabytes() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return Usage.ru_maxrss / 1024.0;
}

class THitsLikeReport : public TQuickRep {
public:
    THitsLikeReport() {
        Page.Orientation = poLandscape;
        Font = QFont(QStringLiteral("Tahoma"), 8);
        Options.FirstPageHeader = true;
        Options.LastPageFooter = true;

        TQRBand* Header = AddBand(rbPageHeader);
        Header->Height = 40;
        Header->Frame.DrawBottom = true;
        TQRLabel* Title = Header->Add<TQRLabel>();
        Title->Width = BandWidth();
        Title->Alignment = taCenter;
        Title->SetFont(QFont(QStringLiteral("Tahoma"), 16));
        Title->Caption = "Benchmark document";

        TQRBand* Columns = AddBand(rbColumnHeader);
        Columns->Height = 22;
        Columns->Frame.DrawBottom = true;
        int Left[] = {4, 174, 340, 608, 848, 912};
        const char* Captions[] = {"Project File", "Module",  "Routine Name",
                                  "Variable",     "Line No", "Error Type"};
        for (int I = 0; I < 6; ++I) {
            TQRLabel* L = Columns->Add<TQRLabel>();
            L->Left = Left[I];
            L->Caption = Captions[I];
        }

        TQRBand* Detail = AddBand(rbDetail);
        Detail->Height = 36;
        for (int X : {0, 174, 340}) {
            TQRImage* I = Detail->Add<TQRImage>();
            I->Left = X;
            I->Width = I->Height = 32;
            I->Stretch = true;
            Images.push_back(I);
        }
        Project = Grows(*Detail, 36, 16, 133);
        Module = Grows(*Detail, 208, 16, 129);
        Sub = Detail->Add<TQRLabel>();
        Sub->Left = 374;
        Sub->Width = 233;
        Sub->AutoSize = false;
        Variable = Grows(*Detail, 608, 0, 239);
        LineNo = Detail->Add<TQRLabel>();
        LineNo->Left = 856;
        LineNo->Width = 40;
        LineNo->Alignment = taRightJustify;
        Line = Grows(*Detail, 374, 16, 659);

        TQRBand* Summary = AddBand(rbSummary);
        Summary->Height = 80;
        Summary->Frame.DrawTop = true;
        TQRLabel* Total = Summary->Add<TQRLabel>();
        Total->Caption = "Total Hits:";

        TQRBand* Footer = AddBand(rbPageFooter);
        Footer->Height = 24;
        TQRSysData* PageNo = Footer->Add<TQRSysData>();
        PageNo->Left = 968;
        PageNo->Text = "Page ";

        for (int I = 0; I < 12; ++I) {
            QImage Icon(32, 32, QImage::Format_ARGB32);
            Icon.fill(Qt::transparent);
            QPainter P(&Icon);
            P.setBrush(QColor::fromHsv(I * 30, 200, 220));
            P.drawRoundedRect(2, 2, 28, 28, 6, 6);
            P.end();
            Icons.push_back(Icon);
        }

        BeforePrint = [this](TQuickRep*, bool& PrintReport) {
            mRow = 0;
            PrintReport = true;
        };
        OnNeedData = [this](TObject*, bool& MoreData) {
            MoreData = mRow < Rows;
            if (!MoreData)
                return;
            ++mRow;
            Images[0]->Picture = Icons[1];
            Images[1]->Picture = Icons[2 + mRow % 8];
            Images[2]->Picture = Icons[10 + mRow % 2];
            Project->Caption = "PROJECT" + std::to_string(mRow / 500) + ".VBP";
            Module->Caption = "MODULE" + std::to_string(mRow / 40) + ".BAS";
            Sub->Caption = "CalculateDueDate";
            Variable->Caption = "dtDue" + std::to_string(mRow % 17);
            LineNo->Caption = std::to_string(mRow * 3);
            Line->Caption =
                "    dtDue = DateSerial(Year(Now), Month(Now) + 1, 1) ' row " + std::to_string(mRow);
        };
    }

private:
    static TQRLabel* Grows(TQRBand& Band, int Left, int Top, int Width) {
        TQRLabel* L = Band.Add<TQRLabel>();
        L->Left = Left;
        L->Top = Top;
        L->Width = Width;
        L->Height = 13;
        L->AutoSize = false;
        L->AutoStretch = true;
        return L;
    }

    std::vector<TQRImage*> Images;
    std::vector<QImage> Icons;
    TQRLabel *Project, *Module, *Sub, *Variable, *LineNo, *Line;
    int mRow = 0;
};

THitsLikeReport& Report() {
    static THitsLikeReport R;
    return R;
}

TQRPrinter& Prepared() {
    static TQRPrinter P;
    if (P.PageCount() == 0)
        Report().Prepare(P);
    return P;
}

QTemporaryDir& Folder() {
    static QTemporaryDir Dir;
    return Dir;
}

std::string FileName(bool Compressed) {
    return Folder()
        .filePath(Compressed ? QStringLiteral("packed.QXV") : QStringLiteral("plain.QXV"))
        .toStdString();
}

void ProducePages(benchmark::State& State) {
    int Pages = 0;
    for (auto _ : State) {
        TQRPrinter Printer;
        Report().Prepare(Printer);
        Pages = Printer.PageCount();
    }
    State.counters["pages"] = Pages;
    State.counters["peak_MB"] = PeakMegabytes();
}

void SaveReportFile(benchmark::State& State) {
    TQRPrinter& Printer = Prepared();
    Printer.SetCompression(State.range(0) != 0);
    for (auto _ : State)
        Printer.Save(FileName(State.range(0) != 0));
    TFileStream File(FileName(State.range(0) != 0), fmOpenRead);
    State.counters["file_MB"] = File.Size() / 1048576.0;
    State.counters["peak_MB"] = PeakMegabytes();
}

void LoadReportFile(benchmark::State& State) {
    TQRPrinter& Source = Prepared();
    Source.SetCompression(State.range(0) != 0);
    Source.Save(FileName(State.range(0) != 0));
    int Pages = 0;
    for (auto _ : State) {
        TQRPrinter Printer;
        Printer.Load(FileName(State.range(0) != 0));
        Pages = Printer.PageCount();
    }
    State.counters["pages"] = Pages;
    State.counters["peak_MB"] = PeakMegabytes();
}
} // namespace

BENCHMARK(ProducePages)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SaveReportFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LoadReportFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
