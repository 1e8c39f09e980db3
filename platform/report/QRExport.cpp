#include "platform/report/QRExport.h"

#include "platform/rtl/SafeFile.h"

#include <algorithm>
#include <cmath>
#include <map>

void TQRExportFilter::BeginExport(int, int, const QFont&) {}

void TQRExportFilter::PlaceText(double, double, const QFont&, const QColor&, TAlignment, const std::string&) {
}

void TQRExportFilterLibrary::AddFilter(const TQRExportFilterClass& FilterClass) {
    const std::unique_ptr<TQRExportFilter> Sample = FilterClass(std::string());
    TEntry Entry{Sample->FilterTitle(), Sample->FileExtension(), FilterClass};
    for (const TEntry& E : mFilters)
        if (E.FilterName == Entry.FilterName && E.Extension == Entry.Extension)
            return;
    mFilters.push_back(std::move(Entry));
}

TQRExportFilterLibrary& QRExportFilterLibrary() {
    static TQRExportFilterLibrary Library = [] {
        TQRExportFilterLibrary L;
        L.AddFilter<TQRAsciiExportFilter>();
        return L;
    }();
    return Library;
}

TQRAsciiExportFilter::TQRAsciiExportFilter(std::string FileName) : TQRExportFilter(std::move(FileName)) {}
TQRAsciiExportFilter::~TQRAsciiExportFilter() = default;

void TQRAsciiExportFilter::BeginExport(int, int, const QFont& Font) {
    mFile = std::make_unique<TSafeFile>(FileName());
    const double Size = (Font.pointSizeF() > 0 ? Font.pointSizeF() : 10) * 254 / 72;
    mLineHeight = Size;
    mCharWidth = Size / 2;
    mFirstPage = true;
    mTexts.clear();
}

void TQRAsciiExportFilter::ClearPage() {
    mTexts.clear();
}

void TQRAsciiExportFilter::PlaceText(double X, double Y, const QFont&, const QColor&, TAlignment,
                                     const std::string& Text) {
    // Plain text has no cells to keep; an empty text would only add a blank.
    if (!Text.empty())
        mTexts.push_back({X, Y, Text});
}

void TQRAsciiExportFilter::FlushPage() {
    if (!mFile)
        return;
    // Line number -> texts on it by column; line breaks inside a text become blanks.
    std::map<long, std::multimap<long, std::string>> Lines;
    for (TText& T : mTexts) {
        std::replace(T.Text.begin(), T.Text.end(), '\r', ' ');
        std::replace(T.Text.begin(), T.Text.end(), '\n', ' ');
        Lines[std::lround(T.Y / mLineHeight)].emplace(std::lround(T.X / mCharWidth), std::move(T.Text));
    }
    mTexts.clear();
    std::string Out;
    if (!mFirstPage)
        Out += "\r\n";
    mFirstPage = false;
    long Previous = Lines.empty() ? 0 : Lines.begin()->first;
    for (const auto& [Number, Texts] : Lines) {
        for (long Gap = Previous + 1; Gap < Number; ++Gap)
            Out += "\r\n";
        Previous = Number;
        std::string Line;
        for (const auto& [Column, Text] : Texts) {
            const auto At = static_cast<std::size_t>(std::max(0L, Column));
            if (Line.size() < At)
                Line.resize(At, ' ');
            else if (!Line.empty())
                Line += ' ';
            Line += Text;
        }
        while (!Line.empty() && Line.back() == ' ')
            Line.pop_back();
        Out += Line;
        Out += "\r\n";
    }
    mFile->WriteBuffer(Out.data(), static_cast<Longint>(Out.size()));
}

void TQRAsciiExportFilter::EndExport() {
    if (mFile)
        mFile->Commit();
    mFile.reset();
}
