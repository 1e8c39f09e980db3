"""Reads the hit report's CSV export as a spreadsheet would: Python's csv module, ';' as
delimiter, Windows-1252 text. Every field must come back exactly as the report printed it, and
every row of the table of hits must have the heading row's cells."""
import codecs
import csv
import sys

# Bytes that Windows-1252 leaves undefined read as the code points of the same number, as
# Windows itself reads them.
codecs.register_error("c1", lambda e: (chr(e.object[e.start]), e.start + 1))

HEADINGS = ["Project File", "Module", "Routine Name", "", "Variable", "Line No", "Error Type"]
EXPECTED = [
    ["Smith & Sons; audit"],
    HEADINGS,
    ["Calendar.vbp", "frmMain.frm", "Form_Load", "If d < Date And x > 0 Then", "Date", "14", "Branching"],
    ["Calendar.vbp", "frmMain.frm", "Print_Click", 's = Format(d, "dd;mm;yy")', "Format", "31", "Computation"],
    ["Calendar.vbp", "frmMain.frm", "ValidateCustomerInvoiceDueDateAgainstFiscalCalendar",
     'sTag = "\x81\x8d\x8f\x90\x9d" & Now', "Now", "40", ""],
    ["Café.mdb", "Orders & Items", "Orders - Ship;Date", "Short Date", "ShipDate", "2", "Computation"],
    ["Total Hits:", "4", "", "", "", "", ""],
]

with open(sys.argv[1], encoding="cp1252", errors="c1", newline="") as f:
    rows = list(csv.reader(f, delimiter=";"))

for row in EXPECTED:
    if row not in rows:
        sys.exit(f"row not read back: {row}\nread: {rows}")
if rows[-1] != ["</CSV>"]:
    sys.exit(f"last row is {rows[-1]}")
table = rows[rows.index(HEADINGS):-1]
for row in table:
    if len(row) != len(HEADINGS):
        sys.exit(f"row of {len(row)} cells under {len(HEADINGS)} headings: {row}")
print(f"{len(rows)} rows read back, {len(table)} of them with all {len(HEADINGS)} cells")
