Version =20
VersionRequired =20
Checksum =1234
Begin Report
    LayoutForPrint = NotDefault
    DateGrouping =1
    GrpKeepTogether =1
    GridX =24
    GridY =24
    Width =8640
    ItemSuffix =12
    RecordSource ="Sales by Year"
    Caption ="Sales by Year"
    OnOpen ="[Event Procedure]"
    Begin
        Begin Label
            BackStyle =0
            FontName ="Arial"
        End
        Begin TextBox
            OldBorderStyle =0
            FontName ="Arial"
        End
        Begin BreakLevel
            GroupHeader = NotDefault
            GroupOn =1
            ControlSource ="ShippedDate"
        End
        Begin FormHeader
            KeepTogether = NotDefault
            Height =720
            Name ="ReportHeader"
            Begin
                Begin Label
                    Left =60
                    Top =60
                    Width =4350
                    Height =540
                    FontSize =20
                    Name ="Title"
                    Caption ="Sales by Year"
                End
                Begin TextBox
                    Left =5400
                    Top =60
                    Width =3180
                    Height =285
                    Name ="PrintedOn"
                    ControlSource ="=Format(Date(),\"dd-mmm-yy\")"
                End
            End
        End
        Begin BreakHeader
            KeepTogether = NotDefault
            Height =500
            Name ="GroupHeader0"
            Begin
                Begin TextBox
                    Left =60
                    Top =60
                    Width =1440
                    Height =330
                    Name ="Year"
                    ControlSource ="=Year([ShippedDate])"
                End
            End
        End
        Begin Section
            KeepTogether = NotDefault
            Height =300
            Name ="Detail"
            Begin
                Begin TextBox
                    Left =1800
                    Width =1440
                    Height =285
                    Name ="ShippedDate"
                    ControlSource ="ShippedDate"
                    Format ="dd/mm/yy"
                End
            End
        End
        Begin PageFooter
            Height =360
            Name ="PageFooterSection"
        End
    End
End
CodeBehindForm
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Compare Database

Private Sub Report_Open(Cancel As Integer)
    DoCmd.OpenForm "Sales by Year Dialog", , , , , acDialog, "Sales by Year"
    If Not IsLoaded("Sales by Year Dialog") Then Cancel = True
End Sub
