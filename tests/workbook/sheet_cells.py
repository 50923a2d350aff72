"""Prints the cells of a workbook as its XML holds them, one per line, for
the workbook tests: 'sheet NAME frozen ROWS', 'width SHEET COLUMN WIDTH' and
'SHEET!REF KIND[ bold] VALUE' with KIND number, date (as yyyy-mm-dd) or
text (as written, escapes included)."""
import datetime
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

M = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
R = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"

book = zipfile.ZipFile(sys.argv[1])
styles = ET.fromstring(book.read("xl/styles.xml"))
formats = {f.get("numFmtId"): f.get("formatCode") for f in styles.iter(M + "numFmt")}
fonts = [f.find(M + "b") is not None for f in styles.find(M + "fonts")]
cell_styles = [(formats.get(x.get("numFmtId"), ""), fonts[int(x.get("fontId"))])
               for x in styles.find(M + "cellXfs")]
targets = {r.get("Id"): r.get("Target") for r in ET.fromstring(book.read("xl/_rels/workbook.xml.rels"))}

# The raw text of inline strings, before the XML reader could undo anything.
raw_text = re.compile(rb'<c r="([A-Z]+[0-9]+)"[^>]*t="inlineStr"><is><t[^>]*>(.*?)</t>', re.S)

for sheet in ET.fromstring(book.read("xl/workbook.xml")).iter(M + "sheet"):
    name = sheet.get("name")
    data = book.read("xl/" + targets[sheet.get(R + "id")])
    xml = ET.fromstring(data)
    pane = xml.find(f"{M}sheetViews/{M}sheetView/{M}pane")
    print("sheet", name, "frozen", pane.get("ySplit") if pane is not None else 0)
    for col in xml.iter(M + "col"):
        print("width", name, col.get("min"), col.get("width"))
    texts = {ref.decode(): text.decode() for ref, text in raw_text.findall(data)}
    for c in xml.iter(M + "c"):
        code, bold = cell_styles[int(c.get("s", 0))]
        ref = c.get("r")
        if c.get("t") == "inlineStr":
            kind, value = "text", texts[ref]
        elif c.get("t") is None and "yyyy" in code:
            day = datetime.date(1899, 12, 30) + datetime.timedelta(days=float(c.find(M + "v").text))
            kind, value = "date", day.isoformat()
        elif c.get("t") is None and c.find(M + "v") is not None:
            kind, value = "number", c.find(M + "v").text
        else:
            kind, value = "other:" + str(c.get("t")), ""
        print(f"{name}!{ref} {kind}{' bold' if bold else ''} {value}")
