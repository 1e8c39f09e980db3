Version =20
VersionRequired =20
Checksum =-1543826171
Begin Form
    RecordSelectors = NotDefault
    MaxButton = NotDefault
    DefaultView =0
    ViewsAllowed =1
    GridX =20
    GridY =20
    Width =9360
    ItemSuffix =60
    RecSrcDt = Begin
        0x4e4e3b1e7ba5e140
    End
    RecordSource ="Orders Qry"
    Caption ="Orders"
    OnCurrent ="[Event Procedure]"
    BeforeUpdate ="=CheckShipDate()"
    PrtMip = Begin
        0x6801000068010000680100006801000000000000201c0000e010000001000000 ,
        0x010000006801000000000000a10700000100000001000000
    End
    Begin
        Begin Label
            BackStyle =0
            FontName ="Tahoma"
        End
        Begin TextBox
            FELineBreak = NotDefault
            SpecialEffect =2
            Format ="General Date"
        End
    End
    Begin FormHeader
        Height =900
        BackColor =12632256
        Name ="FormHeader"
        Begin
            Begin Label
                OverlapFlags =85
                Left =120
                Width =2250
                Height =495
                Name ="Orders Label"
                Caption ="Orders"
            End
        End
    End
    Begin Section
        Height =5520
        Name ="Detail"
        Begin
            Begin TextBox
                Left =1440
                Top =120
                Name ="OrderDate"
                ControlSource ="OrderDate"
                Format ="dd/mm/yy"
                DefaultValue ="=Date()"
                ValidationRule =">=#1/1/1995#"
                ValidationText ="Order dates before 1995 are not accepted."
                InputMask ="99/99/00;0;_"
            End
            Begin TextBox
                Left =1440
                Top =480
                Name ="RequiredDate"
                ControlSource ="RequiredDate"
                Format ="Short Date"
                DefaultValue ="=DateAdd(""d"",14,Date())"
            End
            Begin ComboBox
                Name ="ShipVia"
                ControlSource ="ShipVia"
                RowSource ="SELECT DISTINCTROW Shippers.ShipperID, Shippers.CompanyName FROM Shippers "
                    "ORDER BY Shippers.CompanyName;"
                ColumnCount =2
            End
            Begin OptionGroup
                Name ="ShipPeriod"
                Begin
                    Begin ToggleButton
                        Name ="ShipThisYear"
                        OptionValue =1
                        StatusBarText ="Orders shipped in Year(Now())"
                    End
                End
            End
            Begin Subform
                Name ="Orders Subform"
                SourceObject ="Form.Orders Subform"
            End
        End
    End
    Begin FormFooter
        Height =0
        Name ="FormFooter"
    End
End
CodeBehindForm
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Compare Database
Option Explicit

Private Sub Form_Current()
    ' Show how many days are left before the order is due
    If IsNull(Me!ShippedDate) Then Me!DaysLeft = DateDiff("d", Date, Me!RequiredDate)
End Sub

Function CheckShipDate() As Boolean
    CheckShipDate = Me!ShippedDate >= Me!OrderDate
End Function
