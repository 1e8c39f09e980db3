VERSION 5.00
Begin VB.Form frmMain
   Caption         =   "Date entry"
   ClientHeight    =   3195
   Begin VB.TextBox txtDate
      Text            =   "Date"
      Top             =   120
   End
   Begin VB.Label lblNow
      Caption         =   "Now"
   End
End
Attribute VB_Name = "frmMain"
Option Explicit

Private Sub Form_Load()
    txtDate.Text = Format(Date, "dd/mm/yy")   ' two-digit Year
    lblNow.Caption = "Loaded at " & Now
End Sub

Private Sub cmdNext_Click()
    Dim d As Date
    d = DateAdd("d", 1, Date)
    MsgBox "Don't forget: " & Year(d)
End Sub
