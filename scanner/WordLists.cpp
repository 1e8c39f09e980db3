#include "scanner/WordLists.h"

#include "platform/rtl/SafeFile.h"
#include "platform/ui/Text.h"
#include "scanner/fKeyWords.h"

#include "ui_fKeyWords.h"

std::unique_ptr<TStringList> CreateWordList() {
    auto List = std::make_unique<TLocaleStringList>(TEntryText::Ansi);
    List->SetSorted(true);
    List->SetDuplicates(TDuplicates::dupIgnore);
    return List;
}

void LoadWordList(TStringList& List, const std::string& FileName) {
    TStringList Lines;
    Lines.LoadFromFile(FileName);
    for (Longint I = 0; I < Lines.Count(); ++I)
        List.Add(Lines[I]);
}

void SaveWordList(const TStringList& List, const std::string& FileName) {
    SaveFileSafely(FileName, [&](TStream& Data) { List.SaveToStream(Data); });
}

bool EditWordList(TfrmKeyWords& Editor, TStringList& List, const std::string& FileName,
                  const QString& Caption) {
    SaveWordList(List, FileName);
    TStringList Lines;
    Lines.LoadFromFile(FileName);
    QStringList Text;
    for (Longint I = 0; I < Lines.Count(); ++I)
        Text << FromAnsi(Lines[I]);
    Editor.SetWords(Text.join(u'\n'));
    Editor.setWindowTitle(Caption);
    if (Editor.ShowModal() != mrOk)
        return false;
    Lines.SetText(ToAnsi(Editor.Words()));
    SaveFileSafely(FileName, [&](TStream& Data) { Lines.SaveToStream(Data); });
    List.Clear();
    LoadWordList(List, FileName);
    return true;
}
