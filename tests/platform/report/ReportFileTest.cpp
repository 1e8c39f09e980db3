#include "tests/platform/report/ReportFiles.h"
#include "tests/platform/report/SampleReport.h"

#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QPainterPath>
#include <QPolygonF>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <zlib.h>

#include <cstring>
#include <functional>

using namespace reportfiles;

TEST(ReportFile, HeaderAndRecordsHaveTheirExactLayout) {
    TSampleReport Report(40);
    TQRPrinter Printer;
    Report.Prepare(Printer);
    const std::vector<char> File = SaveToBytes(Printer);
    ASSERT_GE(File.size(), 124u);

    EXPECT_EQ(U16(File, 0), 3);
    EXPECT_EQ(U16(File, 2), 207);
    EXPECT_EQ(U32(File, 8), static_cast<quint32>(Printer.PageCount()));
    double Date;
    std::memcpy(&Date, File.data() + 12, 8);
    const QDateTime Now = QDateTime::currentDateTime();
    const double Today =
        QDate(1899, 12, 30).daysTo(Now.date()) + Now.time().msecsSinceStartOfDay() / 86400000.0;
    EXPECT_NEAR(Date, Today, 1.0 / 24);
    EXPECT_EQ(File[21], 0);
    EXPECT_EQ(File[22], 1);
    for (int I : {4, 5, 6, 7, 20})
        EXPECT_EQ(File[I], 0) << I;
    for (int I = 23; I < 124; ++I)
        EXPECT_EQ(File[I], 0) << I;

    // The table of pictures: the sample's row picture, once, whatever the number of rows.
    const qrpage::TPictureTable& Pictures = Printer.Pictures();
    ASSERT_EQ(U32(File, 124), 1u);
    ASSERT_EQ(Pictures.Count(), 1);
    const quint32 PngSize = U32(File, 128);
    EXPECT_EQ(QByteArray(File.data() + 132, PngSize), Pictures.Png(0));
    EXPECT_EQ(QImage::fromData(Pictures.Png(0), "PNG").size(), QSize(32, 32));

    std::size_t Pos = 132 + PngSize;
    EXPECT_EQ(FirstRecord(File), Pos);
    for (int Page = 1; Page <= Printer.PageCount(); ++Page) {
        EXPECT_EQ(U32(File, Pos), static_cast<quint32>(Page));
        const std::size_t Next = U32(File, Pos + 4);
        ASSERT_LE(Next, File.size());
        EXPECT_EQ(U32(File, Next - 4), Pos);
        // The stored page refers to the picture; with it put back, it is the page Qt replays.
        const QByteArray Stored(File.data() + Pos + 8, static_cast<qsizetype>(Next - Pos - 12));
        EXPECT_FALSE(Stored.contains("\x89PNG")) << Page;
        const QPicture& Picture = Printer.Page(Page);
        EXPECT_EQ(qrpage::ResolveImages(Stored, Pictures), QByteArray(Picture.data(), Picture.size()))
            << Page;
        Pos = Next;
    }
    EXPECT_EQ(Pos, File.size());
    // The last 4 bytes give the offset of the last record, which holds the last page.
    EXPECT_EQ(U32(File, U32(File, File.size() - 4)), static_cast<quint32>(Printer.PageCount()));
}

TEST(ReportFile, CompressedPagesHoldTheirLengthAndAZlibStream) {
    TSampleReport Report(40);
    Report.Options.Compression = true;
    TQRPrinter Printer;
    Report.Prepare(Printer);
    const std::vector<char> File = SaveToBytes(Printer);
    EXPECT_EQ(File[21], 1);
    const std::size_t First = FirstRecord(File);
    const std::size_t Next = U32(File, First + 4);
    const quint32 Length = U32(File, First + 8);
    std::vector<char> Unpacked(Length);
    uLongf Size = Length;
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(Unpacked.data()), &Size,
                         reinterpret_cast<const Bytef*>(File.data() + First + 12),
                         static_cast<uLong>(Next - First - 12 - 4)),
              Z_OK);
    EXPECT_EQ(Size, Length);
    const QPicture& Picture = Printer.Page(1);
    EXPECT_EQ(qrpage::ResolveImages(QByteArray(Unpacked.data(), Length), Printer.Pictures()),
              QByteArray(Picture.data(), Picture.size()));
}

TEST(ReportFile, ASavedAndLoadedReportDrawsTheSamePages) {
    QTemporaryDir Dir;
    for (bool Compressed : {false, true}) {
        TSampleReport Report(60);
        Report.Options.Compression = Compressed;
        TQRPrinter Original;
        Report.Prepare(Original);
        const std::string Name = Dir.filePath(QStringLiteral("round.QXV")).toStdString();
        ASSERT_TRUE(Original.Save(Name));

        TQRPrinter Loaded;
        Loaded.Load(Name);
        ASSERT_EQ(Loaded.PageCount(), Original.PageCount());
        EXPECT_TRUE(Loaded.Complete());
        for (int Page = 1; Page <= Original.PageCount(); ++Page) {
            EXPECT_EQ(Loaded.PageSize(Page), Original.PageSize(Page));
            const QImage Before = Render(Original, Page), After = Render(Loaded, Page);
            EXPECT_EQ(Before, After) << "page " << Page << (Compressed ? " compressed" : "");
            EXPECT_GT(InkedPixels(After), 1000) << Page;
        }
        // Saved again, with its pages as loaded, in either layout.
        for (bool Again : {false, true}) {
            Loaded.SetCompression(Again);
            const std::string Copy = Dir.filePath(QStringLiteral("again.QXV")).toStdString();
            ASSERT_TRUE(Loaded.Save(Copy));
            TQRPrinter Reloaded;
            Reloaded.Load(Copy);
            ASSERT_EQ(Reloaded.PageCount(), Original.PageCount());
            for (int Page = 1; Page <= Original.PageCount(); ++Page)
                EXPECT_EQ(Render(Reloaded, Page), Render(Original, Page)) << "page " << Page;
        }
    }
}

TEST(ReportFile, LoadingReplacesThePagesAndAdoptsTheFirstPagesPaper) {
    TSampleReport Landscape(30);
    TQRPrinter Saved;
    Landscape.Prepare(Saved);
    const std::vector<char> LandscapeFile = SaveToBytes(Saved);

    TSampleReport Letter(2);
    Letter.Page.PaperSize = TQRPaperSize::Letter;
    Letter.Page.Orientation = poPortrait;
    TQRPrinter Printer;
    Letter.Prepare(Printer);
    EXPECT_EQ(Printer.PageCount(), 1);

    LoadFromBytes(Printer, LandscapeFile);
    EXPECT_EQ(Printer.PageCount(), Saved.PageCount());
    EXPECT_EQ(Printer.PaperSize(), TQRPaperSize::A4);
    EXPECT_EQ(Printer.Orientation(), poLandscape);

    TQRPrinter Other;
    Letter.Prepare(Other);
    LoadFromBytes(Printer, SaveToBytes(Other));
    EXPECT_EQ(Printer.PageCount(), 1);
    EXPECT_EQ(Printer.PaperSize(), TQRPaperSize::Letter);
    EXPECT_EQ(Printer.Orientation(), poPortrait);

    // A report without pages is a header and an empty picture table, and loads as no pages.
    TQRPrinter Empty;
    Empty.SetPages({});
    const std::vector<char> Header = SaveToBytes(Empty);
    EXPECT_EQ(Header.size(), 128u);
    LoadFromBytes(Printer, Header);
    EXPECT_EQ(Printer.PageCount(), 0);
    EXPECT_EQ(Printer.PaperSize(), TQRPaperSize::Letter);
}

TEST(ReportFile, IncompletePagesAreNotSaved) {
    QTemporaryDir Dir;
    const std::string Name = Dir.filePath(QStringLiteral("never.QXV")).toStdString();
    TQRPrinter Fresh;
    EXPECT_FALSE(Fresh.Save(Name));
    EXPECT_FALSE(FileExists(Name));
}

TEST(ReportFile, DamagedFilesRaiseAClearErrorAndKeepThePages) {
    TSampleReport Report(40);
    TQRPrinter Source;
    Report.Prepare(Source);
    const std::vector<char> Good = SaveToBytes(Source);
    const std::size_t First = FirstRecord(Good);
    const std::size_t Second = U32(Good, First + 4);
    const std::size_t Png = 132; // the first picture's PNG file

    struct TCase {
        const char* Name;
        std::function<void(std::vector<char>&)> Damage;
        const char* Message;
    };
    const std::vector<TCase> Cases = {
        {"other signature", [](auto& F) { F[2] = 'x'; }, "not a report file"},
        {"shorter than a header", [](auto& F) { F.resize(100); }, "not a report file"},
        {"negative page count", [](auto& F) { Put32(F, 8, 0xFFFFFFFF); }, "invalid page count -1"},
        {"more pages than records", [](auto& F) { Put32(F, 8, 40000); }, "truncated"},
        // A lower count would leave pages out without a word (none at all for 0).
        {"fewer pages than records", [](auto& F) { Put32(F, 8, 1); },
         "its page count (1) is lower than the page records it holds"},
        {"no pages but records", [](auto& F) { Put32(F, 8, 0); },
         "its page count (0) is lower than the page records it holds"},
        {"data after the last page", [](auto& F) { F.insert(F.end(), 6, 'x'); },
         "it holds data after its last page record"},
        {"cut inside the last page", [](auto& F) { F.resize(F.size() - 50); }, "broken link"},
        {"cut after the header", [](auto& F) { F.resize(124 + 6); }, "truncated"},
        {"cut inside the pictures", [](auto& F) { F.resize(Png + 20); }, "truncated"},
        {"unknown compression", [](auto& F) { F[21] = 2; }, "unknown page compression"},
        {"unknown picture layout", [](auto& F) { F[22] = 2; }, "unknown picture layout"},
        {"picture not a PNG file", [&](auto& F) { F[Png + 1] = 'X'; }, "picture 1 is damaged"},
        {"picture pixels changed", [&](auto& F) { F[Png + 40] ^= 0x40; }, "picture 1 is damaged"},
        {"picture table of another file", [](auto& F) { Put32(F, 124, 0); }, "page record 1 is numbered"},
        {"record out of order", [&](auto& F) { Put32(F, Second, 7); }, "page record 2 is numbered 7"},
        {"forward link past the end", [&](auto& F) { Put32(F, First + 4, 0x7FFFFFF0); },
         "page 1 has a broken link"},
        {"back link elsewhere", [&](auto& F) { Put32(F, Second - 4, 0); }, "page 1 has a broken link"},
        {"page data changed", [&](auto& F) { F[First + 8 + 200] ^= 0x40; },
         "page 1 is damaged (checksum mismatch)"},
        {"page data not a picture", [&](auto& F) { F[First + 8] = 'X'; },
         "page 1 is damaged (not a page picture)"},
    };
    QTemporaryDir Dir;
    for (const TCase& C : Cases) {
        std::vector<char> Bad = Good;
        C.Damage(Bad);
        const std::string Name = Dir.filePath(QStringLiteral("bad.QXV")).toStdString();
        WriteFile(Name, Bad);
        TQRPrinter Printer;
        Report.Prepare(Printer);
        const int Before = Printer.PageCount();
        const QImage FirstPage = Render(Printer, 1);
        try {
            Printer.Load(Name);
            ADD_FAILURE() << C.Name << ": loaded";
        } catch (const EQRFileError& E) {
            EXPECT_NE(E.Message().find("Cannot load report file " + Name + ": "), std::string::npos)
                << E.Message();
            EXPECT_NE(E.Message().find(C.Message), std::string::npos) << C.Name << ": " << E.Message();
        }
        EXPECT_EQ(Printer.PageCount(), Before) << C.Name;
        EXPECT_EQ(Render(Printer, 1), FirstPage) << C.Name;
    }

    TQRPrinter Printer;
    EXPECT_THROW(Printer.Load(Dir.filePath(QStringLiteral("missing.QXV")).toStdString()), EFOpenError);
}

TEST(ReportFile, PagePicturesWithForeignRecordsAreRejected) {
    // A picture that is sound to Qt but holds records the engine never writes (here a nested
    // picture start) is refused before anything replays it.
    TSampleReport Report(3);
    TQRPrinter Source;
    Report.Prepare(Source);
    QByteArray Page(Source.Page(1).data(), Source.Page(1).size());
    QRect Rect;
    ASSERT_TRUE(qrpage::CheckPage(Page, Rect).isEmpty());
    EXPECT_EQ(Rect, QRect(0, 0, 8419, 5953));
    // A page origin of the most negative number is no page size (and no overflow).
    QByteArray FarLeft = Page;
    FarLeft[12] = static_cast<char>(0x80);
    FarLeft[13] = FarLeft[14] = FarLeft[15] = 0;
    FixChecksum(FarLeft);
    EXPECT_EQ(qrpage::CheckPage(FarLeft, Rect), QStringLiteral("no page size"));
    // The first record follows the 32-byte header; make it a (nested) picture start.
    Page[32] = 30;
    FixChecksum(Page);
    EXPECT_TRUE(qrpage::CheckPage(Page, Rect).startsWith(QStringLiteral("bad picture record 1")));
}

TEST(ReportFile, PagesAskingForFarMoreDrawingThanAReportPageAreRefused) {
    // Pages built to take minutes to draw: a path of 300 000 elements, polygons of 30 000
    // points in all, a picture of a million pixels drawn twenty times, and a picture of one pixel
    // whose PNG file holds a large comment, drawn until the page draws over 100 MB of PNG files.
    auto PageWith = [](const std::function<void(QPainter&)>& Draw) {
        QPicture Page;
        Page.setBoundingRect(QRect(0, 0, 8419, 5953));
        QPainter P(&Page);
        Draw(P);
        P.end();
        return Page;
    };
    QImage Big(1000, 1000, QImage::Format_RGB32);
    Big.fill(Qt::gray);
    QImage Commented(1, 1, QImage::Format_RGB32);
    QByteArray Comment(1 << 20, '\0');
    std::mt19937 Random(1);
    for (char& C : Comment)
        C = static_cast<char>('a' + Random() % 26);
    Commented.setText(QStringLiteral("Comment"), QString::fromLatin1(Comment));
    // Pictures are kept once, as a report run keeps them, and pages refer to them.
    qrpage::TPictureTable Table;
    const int Dot = Table.Add(Commented);
    const std::pair<const char*, std::function<void(QPainter&)>> Cases[] = {
        {"points",
         [](QPainter& P) {
             QPainterPath Path;
             for (int I = 0; I < 300000; ++I)
                 Path.lineTo(I % 8000, I % 5000);
             P.drawPath(Path);
         }},
        {"points",
         [](QPainter& P) {
             QPolygonF Polygon;
             for (int I = 0; I < 3000; ++I)
                 Polygon << QPointF(I, I % 100);
             for (int I = 0; I < 10; ++I)
                 P.drawPolyline(Polygon);
         }},
        {"picture pixels",
         [&](QPainter& P) {
             for (int I = 0; I < 20; ++I)
                 P.drawImage(QRectF(I * 10, 0, 100, 100), Big);
         }},
        {"MB of pictures",
         [&](QPainter& P) {
             for (int I = 0; I < 200; ++I)
                 qrpage::DrawTableImage(P, QRectF(I * 10, 0, 10, 10), Dot, QRectF(0, 0, 1, 1));
         }},
    };
    QTemporaryDir Dir;
    const std::string Name = Dir.filePath(QStringLiteral("heavy.QXV")).toStdString();
    for (const auto& [What, Draw] : Cases) {
        TQRPrinter Heavy;
        std::vector<QPicture> Pages{
            PageWith([](QPainter& P) { P.drawText(100, 100, QStringLiteral("fine")); }), PageWith(Draw)};
        Heavy.SetPages(std::move(Pages), Table);
        ASSERT_TRUE(Heavy.Save(Name));
        TQRPrinter Printer;
        try {
            Printer.Load(Name);
            ADD_FAILURE() << What << ": loaded";
        } catch (const EQRFileError& E) {
            EXPECT_NE(E.Message().find("page 2 is damaged (more drawing than a report page holds: over "),
                      std::string::npos)
                << E.Message();
            EXPECT_NE(E.Message().find(What), std::string::npos) << E.Message();
        }
        EXPECT_EQ(Printer.PageCount(), 0);
    }

    // Drawing within what a page can hold still loads.
    TQRPrinter Moderate;
    std::vector<QPicture> Pages{PageWith([&](QPainter& P) {
        QPainterPath Path;
        for (int I = 0; I < 5000; ++I)
            Path.lineTo(I % 8000, I % 5000);
        P.drawPath(Path);
        for (int I = 0; I < 3; ++I)
            P.drawImage(QRectF(I * 10, 0, 100, 100), Big);
    })};
    Moderate.SetPages(std::move(Pages));
    ASSERT_TRUE(Moderate.Save(Name));
    TQRPrinter Printer;
    Printer.Load(Name);
    EXPECT_EQ(Printer.PageCount(), 1);
}

namespace {
// A report file as the engine wrote it before pictures were kept once: every page holds each
// picture it draws, and byte 22 of the header is zero.
std::vector<char> FileWithPicturesInEveryPage(const TQRPrinter& Printer) {
    std::vector<char> File(124, '\0');
    File[0] = 3;
    File[2] = static_cast<char>(207);
    Put32(File, 8, static_cast<quint32>(Printer.PageCount()));
    for (int Page = 1; Page <= Printer.PageCount(); ++Page) {
        const QPicture& Picture = Printer.Page(Page);
        const std::size_t Start = File.size();
        File.resize(Start + 8);
        Put32(File, Start, static_cast<quint32>(Page));
        File.insert(File.end(), Picture.data(), Picture.data() + Picture.size());
        Put32(File, Start + 4, static_cast<quint32>(File.size() + 4));
        File.resize(File.size() + 4);
        Put32(File, File.size() - 4, static_cast<quint32>(Start));
    }
    return File;
}
} // namespace

TEST(ReportFile, FilesWithAPictureInEveryPageStillLoadAndSaveSmaller) {
    TSampleReport Report(60);
    TQRPrinter Original;
    Report.Prepare(Original);
    const std::vector<char> Old = FileWithPicturesInEveryPage(Original);
    const std::vector<char> New = SaveToBytes(Original);
    // Each row draws the picture; the old layout repeats its PNG file at every use, the new one
    // keeps it once and refers to it with a number.
    const QByteArrayView OldBytes(Old.data(), static_cast<qsizetype>(Old.size()));
    qsizetype Uses = 0;
    for (qsizetype At = OldBytes.indexOf("\x89PNG"); At >= 0; At = OldBytes.indexOf("\x89PNG", At + 1))
        ++Uses;
    ASSERT_GE(Uses, 40);
    EXPECT_GE(static_cast<qsizetype>(Old.size() - New.size()),
              (Uses - 1) * Original.Pictures().Png(0).size() - 8);

    TQRPrinter Loaded;
    for (bool Compressed : {true, false}) {
        LoadFromBytes(Loaded, Repacked(Old, Compressed));
        ASSERT_EQ(Loaded.PageCount(), Original.PageCount());
        EXPECT_EQ(Loaded.Pictures().Count(), 1);
        for (int Page = 1; Page <= Original.PageCount(); ++Page) {
            EXPECT_EQ(QByteArray(Loaded.Page(Page).data(), Loaded.Page(Page).size()),
                      QByteArray(Original.Page(Page).data(), Original.Page(Page).size()))
                << Page;
            EXPECT_EQ(Render(Loaded, Page), Render(Original, Page)) << Page;
        }
    }
    // Saved again, the old file takes the new layout.
    EXPECT_EQ(SaveToBytes(Loaded).size(), New.size());

    // No record of that layout refers to the table: a polyline whose first point holds the mark
    // of a report run's picture stand-in is drawn as the polyline it is.
    QByteArray Polyline;
    QDataStream Stream(&Polyline, QIODevice::WriteOnly);
    Stream << quint8(12) << quint8(4 + 5 * 16) << quint32(5);
    for (const QPointF Point :
         {QPointF(-8765432, 0), QPointF(100, 100), QPointF(500, 500), QPointF(0, 0), QPointF(32, 32)})
        Stream << Point.x() << Point.y();
    std::vector<QByteArray> Pages{InsertRecords(PageData(Old, 1), Polyline, 1)};
    LoadFromBytes(Loaded, WithPages(Old, Pages));
    EXPECT_TRUE(QByteArray(Loaded.Page(1).data(), Loaded.Page(1).size()).contains(Polyline));

    // A page may refer only to pictures of its own file's table.
    const QPicture& First = Original.Page(1);
    qrpage::TPictureTable Fresh;
    const QByteArray Stored = qrpage::ShareImages(QByteArray(First.data(), First.size()), Fresh, false);
    QRect Rect;
    EXPECT_FALSE(qrpage::CheckPage(Stored, Rect).isEmpty());
    EXPECT_TRUE(qrpage::TPageChecker(&Original.Pictures()).Check(Stored, Rect).isEmpty());
    qrpage::TPictureTable None;
    EXPECT_TRUE(
        qrpage::TPageChecker(&None).Check(Stored, Rect).startsWith(QStringLiteral("bad picture record")));
}
