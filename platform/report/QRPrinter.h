#pragma once
// The printer object of the report engine: the finished pages of one report run (or of a
// loaded report file) as QPictures, their paper, the report file, and printing.

#include "platform/report/QRPage.h"
#include "platform/rtl/Classes.h"

#include <QObject>
#include <QPicture>
#include <QSize>

#include <string>
#include <vector>

class QPrinter;

/// A report file that cannot be read: not a report file, truncated, or damaged.
QX_DECLARE_EXCEPTION(EQRFileError, EReadError)

/// Holds the pages of a report in page units (see QRPage.h), saves them to and loads them from
/// a report file, and prints them. Pages stay as the file keeps them (compressed or not) and are
/// made into QPictures when drawn, one at a time. Preview controls attach to it; the report's
/// Preview waits until the last of them has let go.
///
/// Report file layout (little-endian):
///   0   2  3                      12  8  creation time: days since 1899-12-30 (double)
///   2   2  207                    21  1  1 = page data compressed, 0 = not
///   8   4  page count (signed)    22  1  1 = pictures kept once (below), 0 = in every page
///   other header bytes up to 124: zero, ignored on reading
/// When byte 22 is 1, offset 124 holds the number of pictures (4), then per picture its length
/// (4) and its PNG file. Then one record per page: page number (4, from 1), forward link (4,
/// the offset just after the record), page data, back link (4, the offset of the record). The
/// page data is the QPicture's bytes, or when compressed their length (4) and their zlib
/// stream. The last 4 bytes of the file are so the offset of the last record. When pictures
/// are kept once, a page's image records (Qt's record 18) hold, in place of Qt's image stream
/// (the marker 1 and a PNG file), the marker 2 and the picture's number from 0, both 4 bytes
/// big-endian as every field of the page data; the page's checksum covers these bytes. Files
/// with byte 22 zero, whose pages hold each image they draw, are still read.
/// A file is smaller than 2 GB, as written, and is read only as far as it could hold: a
/// compressed page may expand to 8 MB more than it is stored in, and all pages together to 64
/// times the file's size (at least 64 MB); the page count covers every page record.
class TQRPrinter : public QObject, public TObject {
    Q_OBJECT

public:
    TQRPrinter();
    ~TQRPrinter() override;
    TQRPrinter(const TQRPrinter&) = delete;
    TQRPrinter& operator=(const TQRPrinter&) = delete;

    std::string ClassName() const override { return "TQRPrinter"; }

    int PageCount() const { return static_cast<int>(mPages.size()); }
    /// Page PageNumber (from 1), made from the page as kept; raises EListError outside
    /// 1 .. PageCount. A picture of the page that does not decode is left out of it and named
    /// by PictureUnreadable, once per picture: one message for all that one page (or one print)
    /// finds.
    QPicture Page(int PageNumber) const;
    /// Size of page PageNumber in page units; the paper's size for a number outside the pages.
    QSize PageSize(int PageNumber) const;

    TQRPaperSize PaperSize() const { return mPaperSize; }
    TPrinterOrientation Orientation() const { return mOrientation; }
    void SetPaper(TQRPaperSize Size, TPrinterOrientation Orientation);
    /// The paper in page units.
    QSize PaperUnits() const;

    /// Title of print jobs.
    const std::string& Title() const { return mTitle; }
    void SetTitle(std::string Title) { mTitle = std::move(Title); }

    /// Whether Save compresses the page data.
    bool Compression() const { return mCompression; }
    void SetCompression(bool Value) { mCompression = Value; }

    /// True once the pages form a complete set: a report run finished or a file was loaded.
    bool Complete() const { return mComplete; }
    /// Replaces the pages with the complete set of a finished report run, whose pages may
    /// draw the pictures of Pictures.
    void SetPages(std::vector<QPicture> Pages, qrpage::TPictureTable Pictures = {});
    /// The distinct pictures that the pages draw.
    const qrpage::TPictureTable& Pictures() const { return mPictures; }

    /// Writes the pages to a new report file. Writes nothing and returns false while the
    /// pages are not complete. A file that cannot be written raises EStreamError.
    bool Save(const std::string& FileName) const;
    bool SaveToStream(TStream& Stream) const;
    /// Replaces the pages with those of a report file and adopts the paper of its first page.
    /// A file that cannot be opened raises EFOpenError; one that is not a sound report file
    /// raises EQRFileError naming the file and the fault. Either way the pages stay as they were.
    void Load(const std::string& FileName);
    /// Load from a stream holding a report file from its start.
    void LoadFromStream(TStream& Stream);

    // Printing; these live in the widgets library (Quorvex::report_widgets).
    /// The print dialog, then the chosen pages on the chosen printer.
    void Print();
    /// The printer dialog without printing; its choices stay for the next Print.
    void PrinterSetup();
    /// All pages on a printer that is already set up, each scaled to fit its paper.
    void Print(QPrinter& Printer) const;

    // Book-keeping of the preview controls that show this printer object.
    int PreviewCount() const { return mPreviews; }
    void AddPreview() { ++mPreviews; }
    void RemovePreview();

signals:
    /// The pages were replaced (a report run or a loaded file).
    void PagesChanged();
    /// The last attached preview control let go.
    void PreviewsReleased();
    /// A picture of the pages was found not to decode when a page was drawn; Message names it.
    void PictureUnreadable(const QString& Message) const;

private:
    struct TPage {
        /// The page's data, its pictures referring to mPictures: the bytes of its picture, or
        /// when Length is not 0 their zlib stream.
        QByteArray Stored;
        /// The length of the page's picture when Stored is compressed.
        quint32 Length = 0;
        QSize Size;
    };
    void AdoptPaper(QSize PageSize);
    void ForgetDrawn();
    /// The bytes of Page's picture.
    static QByteArray Expanded(const TPage& Page);
    /// Page without the message: pictures first found not to decode are added to Found.
    QPicture Drawn(int PageNumber, std::vector<int>& Found) const;
    /// The message naming Pictures (numbers from 0) as left out of Pages ("Page 2 is shown").
    static QString UnreadableMessage(const std::vector<int>& Pictures, const QString& Pages);

    std::vector<TPage> mPages;
    qrpage::TPictureTable mPictures;
    /// The page drawn last, kept for the repaints that follow.
    mutable int mDrawnNumber = 0;
    mutable QPicture mDrawn;
    /// Pictures already named as not decoding.
    mutable std::vector<int> mUnreadable;
    TQRPaperSize mPaperSize = TQRPaperSize::A4;
    TPrinterOrientation mOrientation = poPortrait;
    std::string mTitle;
    bool mCompression = false;
    bool mComplete = false;
    int mPreviews = 0;
};
