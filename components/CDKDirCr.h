#pragma once
// The modal "Create Directory" dialog: creates the typed folder with all its missing parents.

#include "components/CDK_Comp.h"
#include "platform/ui/Dialogs.h"

class QLabel;
class QLineEdit;
class TCDKRotate3DLabel;

/// Creates Dir with every missing parent folder, outermost first. An empty name, a name without
/// a folder part and a folder the system refuses raise "Unable to create directory".
void CreateDirectoryWithParents(const QString& Dir);

/// "Create Directory": the caller fills the edit box and the label with the current directory;
/// OK creates the typed folder and closes with modal result 1; Escape and the close box answer Cancel.
class TCreateDirectoryForm final : public TModalForm, public TObject {
    Q_OBJECT
public:
    explicit TCreateDirectoryForm(QWidget* Parent = nullptr);
    std::string ClassName() const override { return "TCreateDirectoryForm"; }

    TButton* OKButton;
    TButton* CancelButton;
    QLineEdit* DirectoryToCreateEdit;
    QLabel* Label1;
    TCDKRotate3DLabel* CurrentDirectoryLabel;
    QLabel* Label2;

    /// Creates the folder named in the edit box.
    void OKButtonClick(TObject* Sender);
};
