#pragma once
// A small report with every band kind, in the shape of the program's hit report: landscape A4,
// a page header, column captions, detail rows with a picture and a growing label, a summary
// and a page footer with the page number.

#include "platform/report/QuickRep.h"

#include <QImage>
#include <QPainter>

#include <string>

class TSampleReport : public TQuickRep {
public:
    explicit TSampleReport(int Rows) : mRows(Rows) {
        Page.PaperSize = TQRPaperSize::A4;
        Page.Orientation = poLandscape;
        Font = QFont(QStringLiteral("Tahoma"), 8);
        ReportTitle = "Sample";
        Options.FirstPageHeader = true;
        Options.LastPageFooter = true;

        Header = AddBand(rbPageHeader);
        Header->Height = 40;
        Header->Frame.DrawBottom = true;
        lblHeader = Header->Add<TQRLabel>();
        lblHeader->Left = 0;
        lblHeader->Width = BandWidth();
        lblHeader->Alignment = taCenter;
        lblHeader->SetFont(QFont(QStringLiteral("Tahoma"), 16));
        lblHeader->OnPrint = [](TObject*, std::string& Value) { Value = "Sample Report"; };

        Columns = AddBand(rbColumnHeader);
        Columns->Height = 22;
        Columns->Frame.DrawBottom = true;
        QFont Bold(QStringLiteral("Tahoma"), 10);
        Bold.setBold(true);
        Columns->SetFont(Bold);
        AddCaption(*Columns, "Name", 36, 4);
        AddCaption(*Columns, "Value", 300, 4);

        Detail = AddBand(rbDetail);
        Detail->Height = 36;
        imgRow = Detail->Add<TQRImage>();
        imgRow->Width = imgRow->Height = 32;
        imgRow->Stretch = true;
        lblName = Detail->Add<TQRLabel>();
        lblName->Left = 36;
        lblName->Top = 16;
        lblName->Width = 133;
        lblName->Height = 13;
        lblName->AutoSize = false;
        lblName->AutoStretch = true;
        lblValue = Detail->Add<TQRLabel>();
        lblValue->Left = 300;
        lblValue->Width = 60;
        lblValue->Alignment = taRightJustify;

        Summary = AddBand(rbSummary);
        Summary->Height = 80;
        Summary->Frame.DrawTop = Summary->Frame.DrawLeft = Summary->Frame.DrawRight = true;
        AddCaption(*Summary, "Total Rows:", 8, 8);
        lblTotal = Summary->Add<TQRLabel>();
        lblTotal->Left = 152;
        lblTotal->Top = 8;
        lblTotal->Width = 129;
        lblTotal->Alignment = taRightJustify;

        Footer = AddBand(rbPageFooter);
        Footer->Height = 24;
        Footer->Frame.DrawTop = true;
        QFont Italic(QStringLiteral("Tahoma"), 8);
        Italic.setItalic(true);
        Footer->SetFont(Italic);
        PageNo = Footer->Add<TQRSysData>();
        PageNo->Left = 968;
        PageNo->Top = 4;
        PageNo->Text = "Page ";

        Picture = QImage(32, 32, QImage::Format_ARGB32);
        Picture.fill(Qt::transparent);
        QPainter P(&Picture);
        P.setBrush(Qt::red);
        P.drawEllipse(2, 2, 28, 28);
        P.end();

        BeforePrint = [this](TQuickRep*, bool& PrintReport) {
            mNext = 0;
            PrintReport = true;
        };
        OnNeedData = [this](TObject*, bool& MoreData) {
            MoreData = mNext < mRows;
            if (!MoreData)
                return;
            ++mNext;
            lblName->Caption = NameOf(mNext);
            lblValue->Caption = std::to_string(mNext);
            imgRow->Picture = Picture;
        };
        Summary->BeforePrint = [this](TQRCustomBand*, bool& PrintBand) {
            lblTotal->Caption = std::to_string(mNext);
            PrintBand = true;
        };
    }

    /// Rows 45, 95, 145... have names long enough to wrap onto several lines.
    static bool IsLong(int Row) { return Row % 50 == 45; }
    static std::string NameOf(int Row) {
        std::string Name = "Row " + std::to_string(Row);
        if (IsLong(Row))
            Name += " has a long name that does not fit on one line of its column";
        return Name;
    }

    TQRLabel* AddCaption(TQRCustomBand& Band, const std::string& Text, int Left, int Top) {
        TQRLabel* L = Band.Add<TQRLabel>();
        L->Caption = Text;
        L->Left = Left;
        L->Top = Top;
        return L;
    }

    TQRBand *Header, *Columns, *Detail, *Summary, *Footer;
    TQRLabel *lblHeader, *lblName, *lblValue, *lblTotal;
    TQRImage* imgRow;
    TQRSysData* PageNo;
    QImage Picture;

private:
    int mRows;
    int mNext = 0;
};
