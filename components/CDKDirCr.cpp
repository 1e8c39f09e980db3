#include "components/CDKDirCr.h"

#include "components/CDKRotat.h"

#include "platform/ui/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

void CreateDirectoryWithParents(const QString& Dir) {
    if (Dir.isEmpty())
        throw Exception("Unable to create directory");
    QString Name = Dir;
    if (Name.endsWith(QLatin1Char('/')))
        Name.chop(1);
    const QString FolderPart = Name.left(Name.lastIndexOf(QLatin1Char('/')) + 1);
    if (Name.isEmpty() || QFileInfo(Name).isDir() || FolderPart == Name)
        return;
    CreateDirectoryWithParents(FolderPart);
    if (!QDir().mkdir(Name))
        throw Exception("Unable to create directory \"" + ToFileName(Name) + '"');
}

TCreateDirectoryForm::TCreateDirectoryForm(QWidget* Parent) : TModalForm(Parent) {
    setWindowTitle(QStringLiteral("Create Directory"));
    setFixedSize(471, 105);

    DirectoryToCreateEdit = new QLineEdit(this);
    DirectoryToCreateEdit->setGeometry(15, 77, 450, 21);
    OKButton = new TButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(394, 6, 70, 25);
    OKButton->setDefault(true);
    CancelButton = new TButton(QStringLiteral("Cancel"), this);
    CancelButton->setGeometry(394, 37, 70, 25);
    Label1 = new QLabel(QStringLiteral("Current Directory:"), this);
    Label1->setGeometry(7, 7, 348, 16);
    CurrentDirectoryLabel = new TCDKRotate3DLabel(this);
    CurrentDirectoryLabel->setGeometry(15, 25, 102, 13);
    CurrentDirectoryLabel->SetRotation(0);
    CurrentDirectoryLabel->SetShadowStyle(ssHasShadow);
    CurrentDirectoryLabel->SetShadowColor(palette().color(QPalette::Light));
    CurrentDirectoryLabel->SetFontColor(palette().color(QPalette::Dark));
    Label2 = new QLabel(QStringLiteral("Directory to &Create:"), this);
    Label2->setGeometry(6, 58, 369, 17);
    Label2->setBuddy(DirectoryToCreateEdit);

    setTabOrder(DirectoryToCreateEdit, OKButton);
    setTabOrder(OKButton, CancelButton);
    DirectoryToCreateEdit->setFocus();

    // OK closes with modal result 1 even when creating fails; the failure has been reported.
    connect(OKButton, &QPushButton::clicked, this, [this] {
        RunGuarded(this, [this] { OKButtonClick(OKButton); });
        done(mrOk);
    });
    SetModalResult(CancelButton, mrCancel);
    SetCancelButton(CancelButton);
}

void TCreateDirectoryForm::OKButtonClick(TObject*) {
    CreateDirectoryWithParents(DirectoryToCreateEdit->text());
}
