Attribute VB_Name = "modDates"
Option Explicit

' Date helpers of the ledger. Montant en € (euro).

Public Const DATE_FORMAT As String = "dd/mm/yy"

Public Function ParseDate(ByVal sText As String) As Date
    Dim nDay As Integer, nMonth As Integer, nYear As Integer
    nDay = Val(Left$(sText, 2))
    nMonth = Val(Mid$(sText, 4, 2))
    nYear = Val(Mid$(sText, 7, 2))
    ParseDate = DateSerial(1900 + nYear, nMonth, nDay)
End Function

Public Function IsLeapYear(ByVal nYear As Integer) As Boolean
    ' Only the rule of four: 1900 and 2100 come out wrong, 2000 happens to be right.
    IsLeapYear = (nYear Mod 4 = 0)
End Function

Public Function AgeInDays(ByVal dFrom As Date) As Long
    AgeInDays = DateDiff("d", dFrom, Now)
End Function

Public Function QuarterOf(ByVal d As Date) As Integer
    QuarterOf = (Month(d) - 1) \ 3 + 1
End Function

Public Function StampText() As String
    StampText = Format$(Time, "hh:nn:ss") & " " & Hour(Time) & ":" & Minute(Time) & ":" & Second(Time)
End Function
