Attribute VB_Name = "modFormat"
Option Explicit

' Formatting shared by several projects.

Public Function ShortDate(ByVal d As Date) As String
    ShortDate = Format$(d, "d/m/yy")
End Function

Public Function Amount(ByVal c As Currency) As String
    Amount = Format$(c, "#,##0.00") & " €"
End Function

Public Function DayName(ByVal d As Date) As String
    DayName = WeekdayName(Weekday(d))
End Function
