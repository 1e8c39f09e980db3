#include "reports/qrHtml.h"

#include "platform/rtl/SafeFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Both filters join the engine's filter library when the program starts.
[[maybe_unused]] const bool Registered = [] {
    QRExportFilterLibrary().AddFilter<TQRHtmlExportFilter>();
    QRExportFilterLibrary().AddFilter<TQRCSVExportFilter>();
    return true;
}();

bool IsTableRow(const TTextRec* Row) {
    return Row->Kind == TTextRec::tkTableStart || Row->Kind == TTextRec::tkTableRow;
}
} // namespace

// --- rows of a page ---

TTextCont::~TTextCont() {
    ClearItems();
}

void TTextCont::AddText(double Col, double Row, std::string Text) {
    auto* Item = new TTextRec(Col, Row, std::move(Text));
    TTextRec* Found = mFirst;
    while (Found != nullptr && std::fabs(Found->Row - Row) > RowReach + RowTolerance)
        Found = Found->NextRow;
    if (Found == nullptr) {
        Item->PrevRow = mLast;
        if (mLast != nullptr)
            mLast->NextRow = Item;
        else
            mFirst = Item;
        mLast = Item;
        return;
    }
    // Texts that start at one column keep their top-to-bottom order.
    auto Before = [&](const TTextRec* Other) {
        return Col < Other->Col - ColTolerance || (Col <= Other->Col + ColTolerance && Row < Other->Row);
    };
    if (Before(Found)) {
        // The new text heads the row and takes over the row's place in the list.
        Item->NextInRow = Found;
        Item->PrevRow = Found->PrevRow;
        Item->NextRow = Found->NextRow;
        (Item->PrevRow != nullptr ? Item->PrevRow->NextRow : mFirst) = Item;
        (Item->NextRow != nullptr ? Item->NextRow->PrevRow : mLast) = Item;
        Found->PrevRow = Found->NextRow = nullptr;
        return;
    }
    TTextRec* After = Found;
    while (After->NextInRow != nullptr && !Before(After->NextInRow))
        After = After->NextInRow;
    Item->NextInRow = After->NextInRow;
    After->NextInRow = Item;
}

void TTextCont::ClearItems() {
    for (TTextRec* Row = mFirst; Row != nullptr;) {
        TTextRec* NextRow = Row->NextRow;
        for (TTextRec* Item = Row; Item != nullptr;) {
            TTextRec* Next = Item->NextInRow;
            delete Item;
            Item = Next;
        }
        Row = NextRow;
    }
    mFirst = mLast = nullptr;
}

void TTextCont::ClassifyRows() {
    for (TTextRec* Row = mFirst; Row != nullptr; Row = Row->NextRow) {
        Byte Kind = TTextRec::tkSingle;
        if (Row->NextInRow != nullptr)
            Kind = Row->PrevRow != nullptr && Row->PrevRow->NextInRow != nullptr ? TTextRec::tkTableRow
                                                                                 : TTextRec::tkTableStart;
        for (TTextRec* Item = Row; Item != nullptr; Item = Item->NextInRow)
            Item->Kind = Kind;
    }
}

std::vector<std::vector<std::string>> TTextCont::Cells() {
    ClassifyRows();
    std::vector<std::vector<std::string>> Result;
    for (TTextRec* Row = mFirst; Row != nullptr;) {
        if (Row->Kind != TTextRec::tkTableStart) {
            Result.push_back({Row->Text});
            Row = Row->NextRow;
            continue;
        }
        // The table's rows; its first row gives the headings. A text belongs to the last
        // heading that starts at or left of it (the first heading takes what lies further left).
        std::vector<TTextRec*> Table;
        for (TTextRec* R = Row; R != nullptr && (R == Row || R->Kind == TTextRec::tkTableRow); R = R->NextRow)
            Table.push_back(R);
        std::vector<double> Headings;
        for (TTextRec* Item = Row; Item != nullptr; Item = Item->NextInRow)
            Headings.push_back(Item->Col);
        auto HeadingOf = [&](double Col) {
            std::size_t H = 0;
            while (H + 1 < Headings.size() && Headings[H + 1] <= Col + ColTolerance)
                ++H;
            return H;
        };
        // A heading spans as many cells as the most texts a row puts under it.
        std::vector<std::size_t> Span(Headings.size(), 1);
        std::vector<std::vector<std::vector<std::string>>> Grouped;
        for (TTextRec* R : Table) {
            std::vector<std::vector<std::string>> Groups(Headings.size());
            std::size_t Heading = 0;
            for (TTextRec* Item = R; Item != nullptr; Item = Item->NextInRow)
                Groups[R == Row ? Heading++ : HeadingOf(Item->Col)].push_back(Item->Text);
            for (std::size_t H = 0; H < Groups.size(); ++H)
                Span[H] = std::max(Span[H], Groups[H].size());
            Grouped.push_back(std::move(Groups));
        }
        for (auto& Groups : Grouped) {
            std::vector<std::string> Cells;
            for (std::size_t H = 0; H < Groups.size(); ++H) {
                Groups[H].resize(Span[H]);
                Cells.insert(Cells.end(), Groups[H].begin(), Groups[H].end());
            }
            Result.push_back(std::move(Cells));
        }
        Row = Table.back()->NextRow;
    }
    return Result;
}

// --- the shared filter ---

TQRRowExportFilter::TQRRowExportFilter(std::string FileName) : TQRExportFilter(std::move(FileName)) {}
TQRRowExportFilter::~TQRRowExportFilter() = default;

void TQRRowExportFilter::BeginExport(int, int, const QFont& Font) {
    mRows = std::make_unique<TTextCont>();
    mFile = std::make_unique<TSafeFile>(FileName());
    // The font's size in tenths of a millimetre, the unit of the positions placed.
    const double Points = Font.pointSizeF() > 0 ? Font.pointSizeF() : 10;
    mCharWidth = mLineHeight = Points * 254 / 72;
    Write(FileStart());
}

void TQRRowExportFilter::PlaceText(double X, double Y, const QFont&, const QColor&, TAlignment,
                                   const std::string& Text) {
    if (mRows)
        mRows->AddText(X / mCharWidth * 1.5, Y / mLineHeight, Text);
}

void TQRRowExportFilter::FlushPage() {
    if (!mRows)
        return;
    const std::string Lines = PageLines(*mRows);
    mRows->ClearItems();
    Write(Lines);
}

void TQRRowExportFilter::EndExport() {
    if (!mFile)
        return;
    Write(FileEnd());
    mFile->Commit();
    mFile.reset();
    mRows.reset();
}

void TQRRowExportFilter::Write(const std::string& Bytes) {
    if (mFile && !Bytes.empty())
        mFile->WriteBuffer(Bytes.data(), static_cast<Longint>(Bytes.size()));
}

// --- HTML ---

std::string HtmlEscape(const std::string& Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (char C : Text) {
        // Control characters other than tab and the line ends are not allowed in HTML at all.
        if ((static_cast<unsigned char>(C) < 0x20 && C != '\t' && C != '\n' && C != '\r') || C == '\x7F') {
            Out += "&#65533;";
            continue;
        }
        switch (C) {
        case '&':
            Out += "&amp;";
            break;
        case '<':
            Out += "&lt;";
            break;
        case '>':
            Out += "&gt;";
            break;
        case '"':
            Out += "&quot;";
            break;
        // Bytes that Windows-1252 leaves undefined would break the declared encoding.
        case '\x81':
        case '\x8D':
        case '\x8F':
        case '\x90':
        case '\x9D':
            Out += "&#" + std::to_string(static_cast<unsigned char>(C)) + ';';
            break;
        default:
            Out += C;
        }
    }
    return Out;
}

std::string TQRHtmlExportFilter::FileStart() const {
    return "<html>\r\n<meta charset=\"windows-1252\">\r\n";
}

std::string TQRHtmlExportFilter::PageLines(TTextCont& Rows) const {
    const std::vector<std::vector<std::string>> Cells = Rows.Cells();
    std::string Out;
    std::size_t Line = 0;
    for (TTextRec* Row = Rows.FirstRow(); Row != nullptr; Row = Row->NextRow, ++Line) {
        switch (Row->Kind) {
        case TTextRec::tkTableStart:
            Out += "<TABLE BORDER=1 WIDTH=100%>";
            break;
        case TTextRec::tkTableRow:
            Out += "<TR>";
            break;
        default:
            if (Row->PrevRow != nullptr && IsTableRow(Row->PrevRow))
                Out += "</TABLE>";
        }
        if (Row->Kind == TTextRec::tkSingle) {
            Out += HtmlEscape(Row->Text);
            Out += "<BR>";
        } else {
            for (const std::string& Cell : Cells[Line]) {
                Out += "<TD>";
                Out += HtmlEscape(Cell);
            }
        }
        if (Row->NextRow == nullptr && IsTableRow(Row))
            Out += "</TABLE>";
        Out += "\r\n";
    }
    return Out;
}

// --- CSV ---

std::string CsvField(const std::string& Text) {
    // A spreadsheet would take a cell that starts like this for a formula and run it.
    const std::string Cell =
        !Text.empty() && std::strchr("=+-@", Text.front()) != nullptr ? "'" + Text : Text;
    if (Cell.find_first_of(";\"\r\n") == std::string::npos)
        return Cell;
    std::string Out = "\"";
    for (char C : Cell) {
        if (C == '"')
            Out += '"';
        Out += C;
    }
    Out += '"';
    return Out;
}

std::string TQRCSVExportFilter::PageLines(TTextCont& Rows) const {
    std::string Out;
    for (const std::vector<std::string>& Cells : Rows.Cells()) {
        for (std::size_t I = 0; I < Cells.size(); ++I) {
            if (I > 0)
                Out += ';';
            Out += CsvField(Cells[I]);
        }
        Out += "\r\n";
    }
    return Out;
}
