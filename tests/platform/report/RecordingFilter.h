#pragma once
// An export filter that records the calls a report run makes.

#include "platform/report/QRExport.h"

#include <string>
#include <vector>

class TRecordingFilter final : public TQRExportFilter {
public:
    struct TText {
        int Page;
        double X;
        double Y;
        double Points;
        TAlignment Alignment;
        std::string Text;
    };

    TRecordingFilter() : TQRExportFilter("unused") {}

    void BeginExport(int PaperWidth, int PaperHeight, const QFont& Font) override {
        Calls.push_back("Begin");
        Width = PaperWidth;
        Height = PaperHeight;
        Points = Font.pointSizeF();
    }
    void ClearPage() override {
        Calls.push_back("Clear");
        ++Pages;
    }
    void PlaceText(double X, double Y, const QFont& Font, const QColor&, TAlignment Alignment,
                   const std::string& Text) override {
        if (Calls.back() != "Text")
            Calls.push_back("Text");
        Texts.push_back({Pages, X, Y, Font.pointSizeF(), Alignment, Text});
    }
    void FlushPage() override { Calls.push_back("Flush"); }
    void EndExport() override { Calls.push_back("End"); }

    /// The texts of one page (from 1), in the order placed.
    std::vector<TText> PageTexts(int Page) const {
        std::vector<TText> Result;
        for (const TText& T : Texts)
            if (T.Page == Page)
                Result.push_back(T);
        return Result;
    }
    const TText* Find(const std::string& Text) const {
        for (const TText& T : Texts)
            if (T.Text == Text)
                return &T;
        return nullptr;
    }

    std::vector<std::string> Calls;
    std::vector<TText> Texts;
    int Width = 0, Height = 0, Pages = 0;
    double Points = 0;
};
