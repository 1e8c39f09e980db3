Version =20
VersionRequired =20
Begin Report
    LayoutForPrint = NotDefault
    DateGrouping =1
    GrpKeepTogether =1
    GridX =24
    GridY =24
    Width =9360
    ItemSuffix =40
    RecSrcDt = Begin
        0x2f1b8c2d7ba5e140
    End
    RecordSource ="Invoices"
    Caption ="Invoice"
    OnNoData ="[Event Procedure]"
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
            GroupFooter = NotDefault
            ControlSource ="OrderID"
        End
        Begin PageHeader
            Height =1000
            Name ="PageHeader"
            Begin
                Begin TextBox
                    Left =7200
                    Top =120
                    Width =1800
                    Height =285
                    Name ="InvoiceDate"
                    ControlSource ="=Date()"
                    Format ="dd-mmm-yy"
                End
                Begin Label
                    Left =7200
                    Top =480
                    Width =1800
                    Height =285
                    Name ="Stamp"
                    Caption ="Fällig"
                End
            End
        End
        Begin BreakHeader
            KeepTogether = NotDefault
            Height =1200
            Name ="OrderID Header"
            Begin
                Begin TextBox
                    Left =1440
                    Top =120
                    Width =1440
                    Height =285
                    Name ="OrderDate"
                    ControlSource ="OrderDate"
                    Format ="Medium Date"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =120
                            Width =1260
                            Height =285
                            Name ="OrderDate_Label"
                            Caption ="Order Date:"
                        End
                    End
                End
                Begin TextBox
                    Left =1440
                    Top =480
                    Width =1440
                    Height =285
                    Name ="RequiredDate"
                    ControlSource ="RequiredDate"
                    Format ="Medium Date"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =480
                            Width =1260
                            Height =285
                            Name ="RequiredDate_Label"
                            Caption ="Required Date:"
                        End
                    End
                End
                Begin TextBox
                    Left =1440
                    Top =840
                    Width =1440
                    Height =285
                    Name ="ShippedDate"
                    ControlSource ="ShippedDate"
                    Format ="Medium Date"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =840
                            Width =1260
                            Height =285
                            Name ="ShippedDate_Label"
                            Caption ="Shipped Date:"
                        End
                    End
                End
            End
        End
        Begin Section
            Height =300
            Name ="Detail"
            Begin
                Begin TextBox
                    Left =120
                    Top =0
                    Width =3600
                    Height =285
                    Name ="ProductName"
                    ControlSource ="ProductName"
                End
                Begin TextBox
                    Left =7200
                    Top =0
                    Width =1440
                    Height =285
                    Name ="ExtendedPrice"
                    ControlSource ="ExtendedPrice"
                    Format ="Currency"
                End
            End
        End
        Begin BreakFooter
            KeepTogether = NotDefault
            Height =720
            Name ="OrderID Footer"
            Begin
                Begin TextBox
                    Left =7200
                    Top =60
                    Width =1440
                    Height =285
                    Name ="Subtotal"
                    ControlSource ="=Sum([ExtendedPrice])"
                    Format ="Currency"
                End
                Begin TextBox
                    Left =7200
                    Top =360
                    Width =1440
                    Height =285
                    Name ="DueDate"
                    ControlSource ="=DateAdd(\"d\",30,[OrderDate])"
                    Format ="dd-mmm-yy"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =6240
                            Top =360
                            Width =900
                            Height =285
                            Name ="DueDate_Label"
                            Caption ="Due:"
                        End
                    End
                End
            End
        End
        Begin PageFooter
            Height =360
            Name ="PageFooter"
            Begin
                Begin TextBox
                    Left =6600
                    Top =60
                    Width =2400
                    Height =285
                    Name ="PageNumber"
                    ControlSource ="=\"Page \" & [Page] & \" of \" & [Pages]"
                    TextAlign =3
                End
            End
        End
    End
End
