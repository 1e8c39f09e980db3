Option Compare Database

Function OpenStartup() As Boolean
    MsgBox "Today is " & Format(Now(), "dd/mm/yy")
End Function
