#include "reports/qrHtml.h"

#include <cmath>

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
    if (Col <= Found->Col) {
        // The new text heads the row and takes over the row's place in the list.
        Item->NextInRow = Found;
        Item->PrevRow = Found->PrevRow;
        Item->NextRow = Found->NextRow;
        (Item->PrevRow != nullptr ? Item->PrevRow->NextRow : mFirst) = Item;
        (Item->NextRow != nullptr ? Item->NextRow->PrevRow : mLast) = Item;
        Found->PrevRow = Found->NextRow = nullptr;
        return;
    }
    TTextRec* Before = Found;
    while (Before->NextInRow != nullptr && Before->NextInRow->Col < Col)
        Before = Before->NextInRow;
    Item->NextInRow = Before->NextInRow;
    Before->NextInRow = Item;
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

// --- the shared filter ---

TQRRowExportFilter::TQRRowExportFilter(std::string FileName) : TQRExportFilter(std::move(FileName)) {}
TQRRowExportFilter::~TQRRowExportFilter() = default;

void TQRRowExportFilter::BeginExport(int, int, const QFont& Font) {
    mRows = std::make_unique<TTextCont>();
    mFile = std::make_unique<TFileStream>(FileName(), fmCreate);
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
    Rows.ClassifyRows();
    std::string Out;
    for (TTextRec* Row = Rows.FirstRow(); Row != nullptr; Row = Row->NextRow) {
        switch (Row->Kind) {
        case TTextRec::tkTableStart:
            Out += "<TABLE BORDER=1 WIDTH=100%><TD>";
            break;
        case TTextRec::tkTableRow:
            Out += "<TR><TD>";
            break;
        default:
            if (Row->PrevRow != nullptr && IsTableRow(Row->PrevRow))
                Out += "</TABLE>";
        }
        Out += HtmlEscape(Row->Text);
        if (Row->Kind == TTextRec::tkSingle)
            Out += "<BR>";
        for (TTextRec* Item = Row->NextInRow; Item != nullptr; Item = Item->NextInRow) {
            Out += "<TD>";
            Out += HtmlEscape(Item->Text);
        }
        if (Row->NextRow == nullptr && IsTableRow(Row))
            Out += "</TABLE>";
        Out += "\r\n";
    }
    return Out;
}

// --- CSV ---

std::string CsvField(const std::string& Text) {
    if (Text.find_first_of(";\"\r\n") == std::string::npos)
        return Text;
    std::string Out = "\"";
    for (char C : Text) {
        if (C == '"')
            Out += '"';
        Out += C;
    }
    Out += '"';
    return Out;
}

std::string TQRCSVExportFilter::PageLines(TTextCont& Rows) const {
    std::string Out;
    for (TTextRec* Row = Rows.FirstRow(); Row != nullptr; Row = Row->NextRow) {
        Out += CsvField(Row->Text);
        for (TTextRec* Item = Row->NextInRow; Item != nullptr; Item = Item->NextInRow) {
            Out += ';';
            Out += CsvField(Item->Text);
        }
        Out += "\r\n";
    }
    return Out;
}
