Attribute VB_Name = "Utility Functions"
Option Compare Database
Option Explicit

Function IsLoaded(ByVal strFormName As String) As Boolean
    ' Returns True if the form is open
    IsLoaded = SysCmd(acSysCmdGetObjectState, acForm, strFormName) <> 0
End Function

Function AddWorkDays(dtStart As Date, n As Integer) As Date
    Dim d As Date
    d = DateAdd("d", n, dtStart)
    AddWorkDays = d
End Function
