#pragma once
// Shared pieces of the scanner's window tests: a sample scan document with a project and a
// database, and the set-up of tests that scan through the program's windows.

#include "scanmodel/ScanInfo.h"
#include "scanner/Main.h"
#include "scanner/ScanHit.h"
#include "scanner/ScanWizard1.h"
#include "scanner/fHit.h"
#include "scanner/fKeyWords.h"
#include "scanner/fOptions.h"
#include "tests/support/ModalHelper.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class QTreeWidgetItem;

namespace scannertest {

using testsupport::AnswerFileDialog;
using testsupport::CancelFileDialog;

/// A document "Audit" with
///   project Calendar.vbp (/src/cal/): frmMain.frm (image 7; hits rated No and Maybe),
///     modDates.bas (image 3, no hits, 40 lines), custom control MSCAL.OCX
///   database nwind.mdb (/data/): table Orders (image 18; one hit rated No on field
///     OrderDate), query Sales (image 12), code module Utils (image 16)
/// The module frmMain.frm has 120 lines; the database objects 7 in all.
std::unique_ptr<TQuorvex> SampleDocument();

/// The child of Node whose text is Text, or nullptr.
QTreeWidgetItem* Child(QTreeWidgetItem* Node, const QString& Text);

/// The entries of a string list, in order.
std::vector<std::string> Entries(const TStringList& List);

std::string ReadFile(const QString& Name);
void WriteFile(const QString& Name, const std::string& Bytes);

/// A message box's text, and its list under it when it has one.
QString BoxText(const QMessageBox& Box);

/// While it lives, every message box that shows is answered with its OK button and its text
/// (BoxText) appended to Texts.
class TMessageBoxAnswers {
public:
    explicit TMessageBoxAnswers(QStringList& Texts);

private:
    QTimer mTimer;
};

/// Tests that scan through the program's windows: a program folder of their own (Dir) with a
/// word list of Date, Now and Year, the windows the scans open, and the main window, made on
/// first use.
class TScanningTest : public ::testing::Test {
protected:
    TScanningTest();
    ~TScanningTest() override;
    TfrmMain& Main();

    QTemporaryDir Dir;
    TfrmScanHit Prompt;
    TfrmScanWizard Wizard;
    TfrmKeyWords KeyWords;
    TfrmOptions Options;
    TfrmHit Hit;
    std::unique_ptr<TfrmMain> mMain;
};

} // namespace scannertest
