VERSION 5.00
Begin VB.Form frmInvoice 
   Caption         =   "Invoice"
   ClientHeight    =   2400
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   4800
   LinkTopic       =   "Form1"
   ScaleHeight     =   2400
   ScaleWidth      =   4800
   Begin VB.TextBox txtDue 
      Height          =   315
      Left            =   1440
      TabIndex        =   0
      Top             =   240
      Width           =   1215
   End
End
Attribute VB_Name = "frmInvoice"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Public InvoiceDate As Date

Public Sub ShowInvoice(ByVal dInvoice As Date)
    InvoiceDate = dInvoice
    txtDue.Text = DueDate(dInvoice, 30)
    Show vbModal
End Sub

Private Function DueDate(ByVal dFrom As Date, ByVal nDays As Integer) As String
    Dim d As Date
    d = dFrom + nDays
    ' Due dates never fall on a weekend.
    Do While Weekday(d) = vbSaturday Or Weekday(d) = vbSunday
        d = d + 1
    Loop
    DueDate = Format$(d, "dd/mm/yy")
End Function

Private Sub txtDue_KeyPress(KeyAscii As Integer)
    If KeyAscii = 13 Then Unload Me
End Sub
