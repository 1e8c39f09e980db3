Attribute VB_Name = "modDates"
Option Explicit
' Date helpers
Public Const BASE_YEAR = 1900

Public Function NextDay(ByVal d As Date) As Date
    NextDay = d + 1
End Function

Public Static Function Counter() As Long
    Rem Year counter
    Counter = Counter + 1
End Function
