Version =20
VersionRequired =20
Checksum =412393651
Begin Form
    DefaultView =0
    Width =7920
    RecordSource ="Customers"
    Caption ="Kunden ñ ‹bersicht"
    Begin
        Begin Label
            BackStyle =0
        End
    End
    Begin Section
        Height =3600
        Name ="Detail"
        Begin
            Begin TextBox
                Name ="CompanyName"
                ControlSource ="CompanyName"
                StatusBarText ="Straﬂe und Firma"
            End
            Begin TextBox
                Name ="LastOrder"
                ControlSource ="=DMax(""OrderDate"",""Orders"",""CustomerID='"" & [CustomerID] & ""'"")"
                Format ="mm/dd/yy"
            End
        End
    End
End
