#pragma once
// The HTML and CSV export filters. Both gather the texts the report engine places on a page
// into rows, so that texts printed side by side come out as one line, and write the rows when
// the page ends. Texts stay Windows-1252 bytes; lines end with CR LF.

#include "platform/report/QRExport.h"
#include "platform/rtl/Classes.h"

#include <memory>
#include <string>
#include <vector>

class TSafeFile;

/// One text of a page. Col and Row are its position in columns (X / CharWidth x 1.5) and in
/// line heights (Y / LineHeight). NextRow and PrevRow link the first texts of the rows and are
/// kept on a row's first text; NextInRow leads through the row in column order.
class TTextRec final {
public:
    TTextRec(double Col, double Row, std::string Text) : Col(Col), Row(Row), Text(std::move(Text)) {}
    TTextRec(const TTextRec&) = delete;
    TTextRec& operator=(const TTextRec&) = delete;

    /// How a row is written: a line of its own, the row that opens a table, or a further row of
    /// that table. Set by TTextCont::ClassifyRows on every text of a row.
    enum TKind : Byte { tkSingle = 0, tkTableStart = 1, tkTableRow = 2 };

    double Col;
    double Row;
    std::string Text;
    Byte Kind = tkSingle;
    TTextRec* NextRow = nullptr;
    TTextRec* PrevRow = nullptr;
    TTextRec* NextInRow = nullptr;
};

/// The rows of one page, in the order in which they were started; the texts of a row in
/// ascending column order, texts at one column from top to bottom. A text joins the first row whose first
/// text lies at most 1.5 line heights above or below it, otherwise it starts a new row at the end. The
/// container owns its texts.
class TTextCont final {
public:
    TTextCont() = default;
    ~TTextCont();
    TTextCont(const TTextCont&) = delete;
    TTextCont& operator=(const TTextCont&) = delete;

    void AddText(double Col, double Row, std::string Text);
    /// Frees every text and empties the list.
    void ClearItems();
    /// The first text of the first row; nullptr when the page has no text.
    TTextRec* FirstRow() const { return mFirst; }
    /// Sets Kind on every text: a row of one text is single; a row of several opens a table
    /// unless the row before it has several texts too, then it continues that table.
    void ClassifyRows();
    /// The cells of every row in list order (ClassifyRows first): a single row is one cell;
    /// the rows of a table have the same cells, each text under its heading. The table's
    /// first row gives the headings; a text goes under the last heading that starts at or
    /// left of it, texts under one heading in row order; a heading under which a row puts
    /// several texts spans that many cells, the further ones with an empty heading, and a row
    /// with no text under a heading has empty cells there.
    std::vector<std::vector<std::string>> Cells();

    /// Row distance that still joins a row. Layouts place texts of one row exactly 1.5 line
    /// heights apart, which floating-point positions miss by a hair either way; the tolerance
    /// absorbs that and is far below any distance a layout means.
    static constexpr double RowReach = 1.5;
    static constexpr double RowTolerance = 1e-6;
    /// Columns closer than this count as one left position (half a column: a few pixels).
    static constexpr double ColTolerance = 0.5;

private:
    TTextRec* mFirst = nullptr;
    TTextRec* mLast = nullptr;
};

/// What the HTML and CSV filters share: the output file, the grid of the report's font and the
/// page's rows. BeginExport starts the new file (a TSafeFile); each FlushPage writes the page's
/// rows and releases them; EndExport writes the last line and puts the new file in the old one's
/// place. A file that cannot be created or written raises at that point, naming it and why; an
/// export that stops on the way leaves the old file as it was and nothing beside it.
class TQRRowExportFilter : public TQRExportFilter {
public:
    explicit TQRRowExportFilter(std::string FileName);
    ~TQRRowExportFilter() override;

    void BeginExport(int PaperWidth, int PaperHeight, const QFont& Font) override;
    void FlushPage() override;
    void EndExport() override;
    void ClearPage() override {}
    void PlaceText(double X, double Y, const QFont& Font, const QColor& BGColor, TAlignment Alignment,
                   const std::string& Text) override;

    double CharWidth() const { return mCharWidth; }
    double LineHeight() const { return mLineHeight; }

protected:
    /// The file's first lines (CR LF included), its page rows, and its last line.
    virtual std::string FileStart() const = 0;
    virtual std::string PageLines(TTextCont& Rows) const = 0;
    virtual std::string FileEnd() const = 0;

private:
    void Write(const std::string& Bytes);

    std::unique_ptr<TSafeFile> mFile;
    std::unique_ptr<TTextCont> mRows;
    double mCharWidth = 1;
    double mLineHeight = 1;
};

/// Writes a report as HTML: single rows as text lines ending in "<BR>", runs of rows of several
/// texts as a table, one table row each. Texts are escaped for HTML; the page declares the
/// Windows-1252 code page its bytes are in.
class TQRHtmlExportFilter final : public TQRRowExportFilter {
public:
    using TQRRowExportFilter::TQRRowExportFilter;
    std::string ClassName() const override { return "TQRHtmlExportFilter"; }

    std::string DescriptionText() const override { return "Export to HTML format"; }
    std::string FileExtension() const override { return "HTM"; }
    std::string FilterTitle() const override { return "HTML document"; }

protected:
    std::string FileStart() const override;
    std::string PageLines(TTextCont& Rows) const override;
    std::string FileEnd() const override { return "</HTML>\r\n"; }
};

/// Writes a report as semicolon-separated text: one line per row. A field holding a
/// semicolon, a double quote, CR or LF is quoted, its quotes doubled.
class TQRCSVExportFilter final : public TQRRowExportFilter {
public:
    using TQRRowExportFilter::TQRRowExportFilter;
    std::string ClassName() const override { return "TQRCSVExportFilter"; }

    std::string DescriptionText() const override { return "Export to CSV format"; }
    std::string FileExtension() const override { return "CSV"; }
    std::string FilterTitle() const override { return "CSV comma separated"; }

protected:
    std::string FileStart() const override { return {}; }
    std::string PageLines(TTextCont& Rows) const override;
    std::string FileEnd() const override { return "</CSV>\r\n"; }
};

/// A text as HTML: &, <, > and " as character references, and so the bytes that Windows-1252
/// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) as numeric ones; control characters other
/// than tab, CR and LF (DEL among them), which HTML does not allow, become U+FFFD (&#65533;).
std::string HtmlEscape(const std::string& Text);
/// A field of a semicolon-separated line, quoted when it must be. A text that starts with =, +,
/// - or @ gets a leading apostrophe, so that a spreadsheet shows it rather than runs it as a
/// formula.
std::string CsvField(const std::string& Text);
