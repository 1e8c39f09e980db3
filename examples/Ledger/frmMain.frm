VERSION 5.00
Object = "{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCT2.OCX"
Begin VB.Form frmMain 
   Caption         =   "Ledger - Période comptable"
   ClientHeight    =   3600
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   6000
   LinkTopic       =   "Form1"
   ScaleHeight     =   3600
   ScaleWidth      =   6000
   StartUpPosition =   3  'Windows Default
   Begin MSComCtl2.DTPicker dtpPosting 
      Height          =   315
      Left            =   1440
      TabIndex        =   2
      Top             =   240
      Width           =   1815
      _Version        =   393216
      Format          =   24641537
      CurrentDate     =   36161
   End
   Begin VB.TextBox txtPeriod 
      Height          =   315
      Left            =   1440
      TabIndex        =   1
      Text            =   "12/98"
      Top             =   720
      Width           =   975
   End
   Begin VB.CommandButton cmdClose 
      Caption         =   "&Schließen"
      Height          =   375
      Left            =   4560
      TabIndex        =   0
      Top             =   3000
      Width           =   1215
   End
   Begin VB.Label lblPosting 
      Caption         =   "Posting date:"
      Height          =   255
      Left            =   120
      TabIndex        =   3
      Top             =   240
      Width           =   1215
   End
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

' Main window of the ledger. Caractères accentués: é è à ç, the euro sign €.

Private mPeriod As clsPeriod

Private Sub Form_Load()
    Set mPeriod = New clsPeriod
    dtpPosting.Value = Date
    txtPeriod.Text = Format$(Date, "mm/yy")
    Caption = "Ledger - " & Format$(Now, "dd.mm.yy hh:nn")
End Sub

Private Sub txtPeriod_Validate(Cancel As Boolean)
    Dim sYear As String
    sYear = Right$(txtPeriod.Text, 2)
    ' Two-digit years: anything below 50 is taken as 20xx.
    If Val(sYear) < 50 Then
        mPeriod.FiscalYear = 2000 + Val(sYear)
    Else
        mPeriod.FiscalYear = 1900 + Val(sYear)
    End If
End Sub

Private Sub cmdClose_Click()
    Unload Me
End Sub
