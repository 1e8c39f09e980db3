Version =20
VersionRequired =20
Checksum =77
Begin Report
    RecordSource ="Invoices"
    Caption ="Invoice"
    Begin PageHeader
        Height =1000
        Name ="PageHeader"
        Begin
            Begin TextBox
                Name ="InvoiceDate"
                ControlSource ="=Date()"
                Format ="dd-mmm-yy"
            End
            Begin Label
                Name ="Stamp"
                Caption ="Fällig"
            End
        End
    End
End
