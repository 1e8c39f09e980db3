"""Reads the hit report's CSV export as a spreadsheet would: Python's csv module, ';' as
delimiter, Windows-1252 text. Every field must come back exactly as the report printed it."""
import csv
import sys

EXPECTED = [
    ["Smith & Sons; audit"],
    ["Project File", "Module", "Routine Name", "Variable", "Line No", "Error Type"],
    ["Calendar.vbp", "frmMain.frm", "If d < Date And x > 0 Then", "Form_Load", "Date", "14", "Branching"],
    ["Calendar.vbp", "frmMain.frm", 's = Format(d, "dd;mm;yy")', "Print_Click", "Format", "31", "Computation"],
    ["Café.mdb", "Orders & Items", "Short Date", "Orders - Ship;Date", "ShipDate", "2", "Computation"],
    ["Total Hits:", "3"],
]

with open(sys.argv[1], encoding="cp1252", newline="") as f:
    rows = list(csv.reader(f, delimiter=";"))

for row in EXPECTED:
    if row not in rows:
        sys.exit(f"row not read back: {row}\nread: {rows}")
if rows[-1] != ["</CSV>"]:
    sys.exit(f"last row is {rows[-1]}")
print(f"{len(rows)} rows read back")
