#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStringList>
#include <QWindow>

#include <array>

namespace {
struct ButtonMap {
    unsigned Btn;
    QMessageBox::StandardButton Std;
    TModalResult Result;
};
constexpr std::array<ButtonMap, 7> Buttons = {{
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
}};

QString TitleText() {
    return Application != nullptr ? Application->Title() : QCoreApplication::applicationName();
}

} // namespace

QStringList QtNameFilters(const QString& Filter) {
    const QStringList Parts = Filter.split(u'|');
    QStringList Out;
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        QStringList Patterns;
        for (QString Pattern : Parts[I + 1].split(u';', Qt::SkipEmptyParts)) {
            Pattern = Pattern.trimmed();
            Patterns << (Pattern == QStringLiteral("*.*") ? QStringLiteral("*") : Pattern);
        }
        const QString List = u'(' + Patterns.join(u' ') + u')';
        Out << (Parts[I].endsWith(List) ? Parts[I] : Parts[I] + u' ' + List);
    }
    return Out;
}

TModalResult MessageDlg(const QString& Msg, TMsgDlgType Type, unsigned Btns) {
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QString Caption;
    switch (Type) {
    case TMsgDlgType::mtWarning:
        Icon = QMessageBox::Warning;
        Caption = QStringLiteral("Warning");
        break;
    case TMsgDlgType::mtError:
        Icon = QMessageBox::Critical;
        Caption = QStringLiteral("Error");
        break;
    case TMsgDlgType::mtInformation:
        Icon = QMessageBox::Information;
        Caption = QStringLiteral("Information");
        break;
    case TMsgDlgType::mtConfirmation:
        Icon = QMessageBox::Question;
        Caption = QStringLiteral("Confirm");
        break;
    case TMsgDlgType::mtCustom:
        Caption = TitleText();
        break;
    }
    QMessageBox::StandardButtons Std;
    for (const ButtonMap& B : Buttons)
        if ((Btns & B.Btn) != 0)
            Std |= B.Std;
    QMessageBox Box(Icon, Caption, Msg, Std);
    const auto Clicked = static_cast<QMessageBox::StandardButton>(ExecOverActiveWindow(Box));
    for (const ButtonMap& B : Buttons)
        if (B.Std == Clicked)
            return B.Result;
    return mrCancel;
}

void ShowMessage(const QString& Msg) {
    MessageDlg(Msg, TMsgDlgType::mtCustom, mbOK);
}

int ExecOverActiveWindow(QDialog& Dialog) {
    Dialog.setWindowModality(Qt::ApplicationModal);
    if (const QWidget* Active = QApplication::activeWindow(); Active != nullptr && Active != &Dialog) {
        // Qt keeps the transient parent as a guarded pointer: it only clears if that window goes.
        Dialog.winId();
        Dialog.windowHandle()->setTransientParent(Active->windowHandle());
    }
    return Dialog.exec();
}

TModalForm::TModalForm(QWidget* Parent) : QDialog(Parent) {}

TModalResult TModalForm::ShowModal() {
    setResult(mrNone);
    return exec();
}

void TModalForm::SetModalResult(QAbstractButton* Button, TModalResult Result) {
    connect(Button, &QAbstractButton::clicked, this, [this, Result] { done(Result); });
}

void TModalForm::reject() {
    done(mrCancel);
}

void TModalForm::keyPressEvent(QKeyEvent* Event) {
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier && mCancelButton != nullptr) {
        mCancelButton->click();
        return;
    }
    QDialog::keyPressEvent(Event);
}

TFileDialog::TFileDialog(QWidget* Owner, const QString& Name, TKind Kind)
    : mOwner(Owner), mName(Name), mKind(Kind) {}

bool TFileDialog::Execute() {
    QFileDialog Dlg(mOwner, Title);
    Dlg.setObjectName(mName);
    Dlg.setOption(QFileDialog::DontUseNativeDialog);
    Dlg.setAcceptMode(mKind == dkSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    Dlg.setFileMode(mKind == dkSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList Filters = QtNameFilters(Filter);
    if (!Filters.isEmpty()) {
        Dlg.setNameFilters(Filters);
        if (FilterIndex >= 1 && FilterIndex <= Filters.size())
            Dlg.selectNameFilter(Filters[FilterIndex - 1]);
    }
    if (!InitialDir.empty())
        Dlg.setDirectory(FromFileName(InitialDir));
    const QString Name = FromFileName(FileName);
    if (!Name.isEmpty() && !Name.contains(u'*') && !Name.contains(u'?'))
        Dlg.selectFile(Name);
    if (Dlg.exec() != QDialog::Accepted || Dlg.selectedFiles().isEmpty())
        return false;
    FileName = ToFileName(Dlg.selectedFiles().constFirst());
    const qsizetype Index = Filters.indexOf(Dlg.selectedNameFilter());
    if (Index >= 0)
        FilterIndex = static_cast<int>(Index) + 1;
    return true;
}
