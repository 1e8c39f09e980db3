Version =20
VersionRequired =20
Begin Form
    RecordSelectors = NotDefault
    MaxButton = NotDefault
    DividingLines = NotDefault
    DefaultView =0
    ViewsAllowed =1
    PictureAlignment =2
    DatasheetGridlinesBehavior =3
    GridX =24
    GridY =24
    Width =9360
    DatasheetFontHeight =10
    ItemSuffix =64
    Left =600
    Top =300
    Right =10320
    Bottom =7620
    DatasheetGridlinesColor =12632256
    RecSrcDt = Begin
        0x4e4e3b1e7ba5e140
    End
    RecordSource ="Orders Qry"
    Caption ="Orders"
    OnCurrent ="[Event Procedure]"
    BeforeUpdate ="=CheckShipDate()"
    DatasheetFontName ="Arial"
    PrtMip = Begin
        0x6801000068010000680100006801000000000000201c0000e010000001000000 ,
        0x010000006801000000000000a10700000100000001000000
    End
    FilterOnLoad =0
    ShowPageMargins =0
    DisplayOnSharePointSite =1
    Begin
        Begin Label
            BackStyle =0
            FontName ="Tahoma"
        End
        Begin CommandButton
            FontSize =8
            FontWeight =400
            ForeColor =-2147483630
            FontName ="Tahoma"
            BorderLineStyle =0
        End
        Begin OptionGroup
            SpecialEffect =3
            BorderLineStyle =0
        End
        Begin ToggleButton
            ForeColor =-2147483630
            FontName ="Tahoma"
            BorderLineStyle =0
        End
        Begin TextBox
            FELineBreak = NotDefault
            SpecialEffect =2
            OldBorderStyle =0
            BorderLineStyle =0
            FontName ="Tahoma"
            Format ="Medium Date"
            AsianLineBreak =255
        End
        Begin ComboBox
            SpecialEffect =2
            BorderLineStyle =0
            FontName ="Tahoma"
        End
        Begin Subform
            SpecialEffect =2
            BorderLineStyle =0
        End
        Begin FormHeader
            Height =900
            BackColor =12632256
            Name ="FormHeader"
            Begin
                Begin Label
                    OverlapFlags =85
                    Left =120
                    Top =60
                    Width =2250
                    Height =285
                    Name ="Orders Label"
                    Caption ="Orders"
                    FontSize =18
                    FontWeight =700
                End
                Begin TextBox
                    Locked = NotDefault
                    OverlapFlags =85
                    TextAlign =3
                    Left =7920
                    Top =180
                    Width =1260
                    Height =285
                    Name ="OrderID"
                    ControlSource ="OrderID"
                    Format =""
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =6840
                            Top =180
                            Width =1020
                            Height =285
                            Name ="OrderID_Label"
                            Caption ="Order ID:"
                        End
                    End
                End
            End
        End
        Begin Section
            Height =5520
            BackColor =12632256
            Name ="Detail"
            Begin
                Begin ComboBox
                    LimitToList = NotDefault
                    OverlapFlags =85
                    ColumnCount =2
                    ListWidth =4320
                    Left =1440
                    Top =120
                    Width =3480
                    Height =285
                    Name ="CustomerID"
                    ControlSource ="CustomerID"
                    RowSourceType ="Table/Query"
                    RowSource ="SELECT DISTINCTROW Customers.CustomerID, Customers.CompanyName FROM Customers OR"
                        "DER BY Customers.CompanyName;"
                    ColumnWidths ="0;4320"
                    StatusBarText ="Same as Customers table."
                    AfterUpdate ="[Event Procedure]"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =120
                            Width =1260
                            Height =285
                            Name ="CustomerID_Label"
                            Caption ="Bill To:"
                        End
                    End
                End
                Begin TextBox
                    OverlapFlags =85
                    Left =1440
                    Top =480
                    Width =3480
                    Height =285
                    TabIndex =1
                    Name ="ShipName"
                    ControlSource ="ShipName"
                    Format =">"
                    StatusBarText ="Name of person or company to receive the shipment."
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =480
                            Width =1260
                            Height =285
                            Name ="ShipName_Label"
                            Caption ="Ship To:"
                        End
                    End
                End
                Begin TextBox
                    OverlapFlags =85
                    Left =1440
                    Top =1200
                    Width =1260
                    Height =285
                    TabIndex =2
                    Name ="OrderDate"
                    ControlSource ="OrderDate"
                    Format ="Short Date"
                    DefaultValue ="=Date()"
                    ValidationRule =">=#1/1/1995#"
                    ValidationText ="Order dates before 1995 are not accepted."
                    InputMask ="99/99/00;0;_"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =1200
                            Width =1260
                            Height =285
                            Name ="OrderDate_Label"
                            Caption ="Order Date:"
                        End
                    End
                End
                Begin TextBox
                    OverlapFlags =85
                    Left =1440
                    Top =1560
                    Width =1260
                    Height =285
                    TabIndex =3
                    Name ="RequiredDate"
                    ControlSource ="RequiredDate"
                    DefaultValue ="=DateAdd(\"d\",14,Date())"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =1560
                            Width =1260
                            Height =285
                            Name ="RequiredDate_Label"
                            Caption ="Required Date:"
                        End
                    End
                End
                Begin TextBox
                    OverlapFlags =85
                    Left =1440
                    Top =1920
                    Width =1260
                    Height =285
                    TabIndex =4
                    Name ="ShippedDate"
                    ControlSource ="ShippedDate"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =1920
                            Width =1260
                            Height =285
                            Name ="ShippedDate_Label"
                            Caption ="Shipped Date:"
                        End
                    End
                End
                Begin OptionGroup
                    OverlapFlags =85
                    Left =4320
                    Top =1200
                    Width =4560
                    Height =720
                    TabIndex =5
                    Name ="ShipVia"
                    ControlSource ="ShipVia"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =4440
                            Top =1080
                            Width =900
                            Height =285
                            Name ="ShipVia_Label"
                            Caption ="Ship Via:"
                        End
                        Begin ToggleButton
                            OverlapFlags =87
                            Left =4440
                            Top =1440
                            Width =1320
                            Height =360
                            OptionValue =1
                            Name ="Speedy"
                            Caption ="Speedy"
                        End
                        Begin ToggleButton
                            OverlapFlags =87
                            Left =5880
                            Top =1440
                            Width =1320
                            Height =360
                            OptionValue =2
                            Name ="United"
                            Caption ="United"
                        End
                        Begin ToggleButton
                            OverlapFlags =87
                            Left =7320
                            Top =1440
                            Width =1320
                            Height =360
                            OptionValue =3
                            Name ="Federal"
                            Caption ="Federal"
                        End
                    End
                End
                Begin TextBox
                    OverlapFlags =85
                    DecimalPlaces =2
                    Left =7920
                    Top =4920
                    Width =1260
                    Height =285
                    TabIndex =7
                    Name ="Freight"
                    ControlSource ="Freight"
                    Format ="Currency"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =6840
                            Top =4920
                            Width =1020
                            Height =285
                            Name ="Freight_Label"
                            Caption ="Freight:"
                        End
                    End
                End
                Begin Subform
                    OverlapFlags =85
                    Left =120
                    Top =2400
                    Width =9120
                    Height =2400
                    TabIndex =6
                    Name ="Orders Subform"
                    SourceObject ="Form.Orders Subform"
                    LinkChildFields ="OrderID"
                    LinkMasterFields ="OrderID"
                End
                Begin CommandButton
                    OverlapFlags =85
                    Left =120
                    Top =4920
                    Width =1800
                    Height =360
                    TabIndex =8
                    Name ="PrintInvoice"
                    Caption ="Print &Invoice"
                    OnClickEmMacro = Begin
                        Version =196611
                        ColumnsShown =8
                        Begin
                            Action ="OpenReport"
                            Argument ="Invoice"
                            Argument ="2"
                            Argument =""
                            Argument ="[OrderID]=[Forms]![Orders]![OrderID]"
                            Argument ="0"
                        End
                        Begin
                            Comment ="_AXL:<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\015\012<UserI"
                                "nterfaceMacro For=\"PrintInvoice\" xmlns=\"http://schemas.microsoft.com/office/a"
                                "ccessservices/2009/11/application\"><Statements><Action Name="
                        End
                        Begin
                            Comment ="_AXL:\"OpenReport\"><Argument Name=\"ReportName\">Invoice</Argument><Argument Na"
                                "me=\"View\">Print Preview</Argument><Argument Name=\"WhereCondition\">[OrderID]="
                                "[Forms]![Orders]![OrderID]</Argument></Action></State"
                        End
                        Begin
                            Comment ="_AXL:ments></UserInterfaceMacro>"
                        End
                    End
                End
                Begin CommandButton
                    OverlapFlags =85
                    Left =2040
                    Top =4920
                    Width =1200
                    Height =360
                    TabIndex =9
                    Name ="cmdClose"
                    Caption ="&Close"
                    OnClickEmMacro = Begin
                        Version =196611
                        ColumnsShown =8
                        Begin
                            Action ="Close"
                            Argument ="-1"
                            Argument =""
                            Argument ="0"
                        End
                        Begin
                            Comment ="_AXL:<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\015\012<UserI"
                                "nterfaceMacro For=\"cmdClose\" xmlns=\"http://schemas.microsoft.com/office/acces"
                                "sservices/2009/11/application\"><Statements><Action Name=\"Clo"
                        End
                        Begin
                            Comment ="_AXL:seWindow\"/></Statements></UserInterfaceMacro>"
                        End
                    End
                End
            End
        End
        Begin FormFooter
            Height =0
            BackColor =12632256
            Name ="FormFooter"
        End
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

Private Sub CustomerID_AfterUpdate()
    ' Fill the shipping name from the customer chosen
    Me!ShipName = Me!CustomerID.Column(1)
End Sub

Function CheckShipDate() As Boolean
    CheckShipDate = Me!ShippedDate >= Me!OrderDate
End Function
