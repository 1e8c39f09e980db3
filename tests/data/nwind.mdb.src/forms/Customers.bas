Version =20
VersionRequired =20
Checksum =412393651
Begin Form
    RecordSelectors = NotDefault
    DefaultView =0
    PictureAlignment =2
    GridX =24
    GridY =24
    Width =7920
    ItemSuffix =21
    RecSrcDt = Begin
        0x9a3c7d2e4ba5e140
    End
    RecordSource ="Customers"
    Caption ="Kunden ñ ‹bersicht"
    Picture ="C:\\Programme\\Microsoft Office\\Office\\Beispiel\\Nwlogo.bmp"
    Begin
        Begin Label
            BackStyle =0
            FontName ="Arial"
        End
        Begin TextBox
            SpecialEffect =2
            OldBorderStyle =0
            FontName ="Arial"
        End
        Begin ListBox
            SpecialEffect =2
            FontName ="Arial"
        End
        Begin Section
            Height =3600
            BackColor =-2147483633
            Name ="Detail"
            Begin
                Begin TextBox
                    OverlapFlags =85
                    Left =1800
                    Top =120
                    Width =3480
                    Height =285
                    Name ="CompanyName"
                    ControlSource ="CompanyName"
                    StatusBarText ="Straﬂe und Firma"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =120
                            Width =1260
                            Height =285
                            Name ="CompanyName_Label"
                            Caption ="Firma:"
                        End
                    End
                End
                Begin TextBox
                    OverlapFlags =85
                    Left =1800
                    Top =480
                    Width =1260
                    Height =285
                    TabIndex =1
                    Name ="LastOrder"
                    ControlSource ="=DMax(\"OrderDate\",\"Orders\",\"CustomerID='\" & [CustomerID] & \"'\")"
                    Format ="dd\\.mm\\.yyyy"
                    ControlTipText ="Letzte Bestellung\015\012(leer: keine Bestellung)"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =480
                            Width =1260
                            Height =285
                            Name ="LastOrder_Label"
                            Caption ="Letzte Bestellung:"
                        End
                    End
                End
                Begin ListBox
                    OverlapFlags =85
                    ColumnCount =6
                    Left =1800
                    Top =840
                    Width =3480
                    Height =1800
                    TabIndex =2
                    Name ="RecentOrders"
                    RowSourceType ="Table/Query"
                    RowSource ="SELECT DISTINCTROW OrderID, ShipName, ShipRegion, Freight, EmployeeID, ShippedDa"
                        "te FROM Orders WHERE CustomerID=[CustomerID] ORDER BY OrderID DESC;"
                    ColumnWidths ="0;1440;0;0;0;1440"
                    Begin
                        Begin Label
                            OverlapFlags =85
                            Left =120
                            Top =840
                            Width =1260
                            Height =285
                            Name ="RecentOrders_Label"
                            Caption ="Bestellungen:"
                        End
                    End
                End
            End
        End
    End
End
