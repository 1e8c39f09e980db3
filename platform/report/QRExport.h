#pragma once
// Export filters: a report run through ExportWithFilter hands each page's texts to a filter,
// which writes them to its file. Positions are in paper units (tenths of a millimetre) from
// the paper's top-left corner; fonts carry their size in points.

#include "platform/report/QuickRep.h"

#include <QColor>
#include <QFont>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TSafeFile;

/// Base of the export filters. It keeps the output file name; its operations do nothing.
/// Calls come in this order: BeginExport once; per page ClearPage, PlaceText for each text
/// and FlushPage; EndExport once.
class TQRExportFilter : public TObject {
public:
    explicit TQRExportFilter(std::string FileName) : mFileName(std::move(FileName)) {}
    std::string ClassName() const override { return "TQRExportFilter"; }

    const std::string& FileName() const { return mFileName; }

    virtual std::string DescriptionText() const { return "Abstract non-working export filter"; }
    virtual std::string FileExtension() const { return {}; }
    virtual std::string FilterTitle() const { return "Abstract filter"; }
    virtual std::string VendorText() const { return "Quorvex"; }
    /// PaperWidth and PaperHeight in tenths of a millimetre; Font is the report's font.
    virtual void BeginExport(int PaperWidth, int PaperHeight, const QFont& Font);
    virtual void FlushPage() {}
    virtual void EndExport() {}
    virtual void ClearPage() {}
    /// One text as printed: X, Y the top-left corner of its first line; Text in Windows-1252.
    virtual void PlaceText(double X, double Y, const QFont& Font, const QColor& BGColor, TAlignment Alignment,
                           const std::string& Text);

private:
    std::string mFileName;
};

/// Makes a filter of one class on an output file name.
using TQRExportFilterClass = std::function<std::unique_ptr<TQRExportFilter>(const std::string& FileName)>;

/// The export-filter library: the filter classes the program offers, with their titles and
/// file extensions. The plain-text filter is always there.
class TQRExportFilterLibrary {
public:
    struct TEntry {
        std::string FilterName;
        std::string Extension;
        TQRExportFilterClass FilterClass;
    };

    /// Records FilterClass with its FilterTitle and FileExtension; a class whose title and
    /// extension are already recorded is not recorded again.
    void AddFilter(const TQRExportFilterClass& FilterClass);
    template <class T>
    void AddFilter() {
        AddFilter([](const std::string& FileName) { return std::make_unique<T>(FileName); });
    }
    const std::vector<TEntry>& Filters() const { return mFilters; }

private:
    std::vector<TEntry> mFilters;
};

/// The program's one filter library.
TQRExportFilterLibrary& QRExportFilterLibrary();

/// Writes each page as lines of plain text: every text goes to the line and column that its
/// position falls on (a column is half the report font's size, a line its size), after any
/// text already on that line that would overlap it. Lines end with CR LF; an empty line
/// separates the pages. The file is written as a TSafeFile: it replaces the old one only when
/// EndExport is reached.
class TQRAsciiExportFilter final : public TQRExportFilter {
public:
    explicit TQRAsciiExportFilter(std::string FileName);
    ~TQRAsciiExportFilter() override;
    std::string ClassName() const override { return "TQRAsciiExportFilter"; }

    std::string DescriptionText() const override { return "Export to plain text"; }
    std::string FileExtension() const override { return "TXT"; }
    std::string FilterTitle() const override { return "Text file"; }
    void BeginExport(int PaperWidth, int PaperHeight, const QFont& Font) override;
    void FlushPage() override;
    void EndExport() override;
    void ClearPage() override;
    void PlaceText(double X, double Y, const QFont& Font, const QColor& BGColor, TAlignment Alignment,
                   const std::string& Text) override;

private:
    struct TText {
        double X;
        double Y;
        std::string Text;
    };
    std::unique_ptr<TSafeFile> mFile;
    std::vector<TText> mTexts;
    double mCharWidth = 1;
    double mLineHeight = 1;
    bool mFirstPage = true;
};
