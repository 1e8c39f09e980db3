Version =20
VersionRequired =20
Checksum =1234
Begin Report
    LayoutForPrint = NotDefault
    DateGrouping =1
    GridX =20
    GridY =20
    Width =8640
    RecordSource ="Sales by Year"
    Caption ="Sales by Year"
    OnOpen ="[Event Procedure]"
    Begin
        Begin Label
            BackStyle =0
        End
    End
    Begin BreakLevel
        GroupHeader = NotDefault
        GroupOn =1
        ControlSource ="ShippedDate"
    End
    Begin FormHeader
        Height =720
        Name ="ReportHeader"
        Begin
            Begin Label
                Name ="Title"
                Caption ="Sales by Year"
            End
            Begin TextBox
                Name ="PrintedOn"
                ControlSource ="=Format(Date(),""dd-mmm-yy"")"
            End
        End
    End
    Begin BreakHeader
        Height =500
        Name ="GroupHeader0"
        Begin
            Begin TextBox
                Name ="Year"
                ControlSource ="=Year([ShippedDate])"
            End
        End
    End
    Begin Section
        Height =300
        Name ="Detail"
        Begin
            Begin TextBox
                Name ="ShippedDate"
                ControlSource ="ShippedDate"
                Format ="dd/mm/yy"
            End
        End
    End
End
CodeBehindForm
Option Compare Database

Private Sub Report_Open(Cancel As Integer)
    DoCmd.OpenForm "Sales by Year Dialog", , , , , acDialog, "Sales by Year"
    If Not IsLoaded("Sales by Year Dialog") Then Cancel = True
End Sub
