#!/usr/bin/env python3
"""Writes the executable files on which the version-resource reader is tested.

Run from this folder: python3 make_fixtures.py. Every file is written byte by byte by the
builders below, except windres_pe64.dll, a PE32+ DLL made with the mingw binutils
(x86_64-w64-mingw32-windres and -ld, Debian package binutils-mingw-w64-x86-64) from
windres.rc when they are installed, as a check of the reader against files of a real tool chain.
The results are committed, so the tests need neither Python nor mingw.

  windres_pe64.dll     version 4.5.6.7 (see windres.rc).
  pe32_full.dll        PE32 (i386). Version 1.2.3.4; US English / 1252 strings, no Comments.
                       The resource directory lists an icon before the version.
  pe64_full.ocx        PE32+ (x86-64). Version 65535.0.32768.7; two translations, German /
                       Unicode first (strings "Erste ..."), US English / 1252 second.
  ne_control.vbx       NE (16-bit), 16-bit resource layout. Version 3.0.0.1, ANSI strings
                       with a Windows-1252 copyright sign; an icon type before the version.
  pe32_norsrc.dll      PE32 without a resource directory.
  pe32_icononly.dll    PE32 whose resources hold an icon but no version.
  ne_noversion.dll     NE whose resource table holds an icon but no version.
  pe32_nolang.dll      version resource without VarFileInfo (no translation table).
  pe32_nofixed.dll     version resource whose fixed file information is missing.
  pe32_truncated.dll   version resource that runs past the end of the file.
  plain.txt            a data file.
"""

import os
import shutil
import struct
import subprocess
import tempfile


def align(data, n=4):
    return data + b"\0" * (-len(data) % n)


# --- VS_VERSIONINFO, 32-bit layout -------------------------------------------------------------

def wstr(s):
    return s.encode("utf-16-le") + b"\0\0"


def block32(key, value=b"", children=b"", text=False, value_len=None):
    head = struct.pack("<HHH", 0, 0, 1 if text else 0) + wstr(key)
    body = align(head) + value
    body = align(body) + children
    if value_len is None:
        value_len = len(value) // 2 if text else len(value)
    return struct.pack("<HH", len(body), value_len) + body[4:]


def fixed_info(ms, ls):
    return struct.pack("<13I", 0xFEEF04BD, 0x00010000, ms, ls, ms, ls, 0x3F, 0, 0x40004, 2, 0, 0, 0)


def version32(version, tables, translations, with_var=True, with_fixed=True):
    """tables: list of (lang-cp key, {name: value}); translations: list of (lang, cp)."""
    ms = version[0] << 16 | version[1]
    ls = version[2] << 16 | version[3]
    strings = b""
    for key, values in tables:
        entries = b"".join(align(block32(k, wstr(v), text=True)) for k, v in values.items())
        strings += align(block32(key, children=entries, text=True))
    children = align(block32("StringFileInfo", children=strings, text=True))
    if with_var:
        trans = b"".join(struct.pack("<HH", l, c) for l, c in translations)
        children += align(block32("VarFileInfo", children=block32("Translation", trans), text=True))
    return block32("VS_VERSION_INFO", fixed_info(ms, ls) if with_fixed else b"", children)


# --- VS_VERSIONINFO, 16-bit layout -------------------------------------------------------------

def block16(key, value=b"", children=b""):
    head = struct.pack("<HH", 0, 0) + key.encode("cp1252") + b"\0"
    body = align(align(head) + value) + children
    return struct.pack("<HH", len(body), len(value)) + body[4:]


def version16(version, key, values, lang, cp):
    ms = version[0] << 16 | version[1]
    ls = version[2] << 16 | version[3]
    entries = b"".join(align(block16(k, v.encode("cp1252") + b"\0")) for k, v in values.items())
    strings = block16("StringFileInfo", children=align(block16(key, children=entries)))
    var = block16("VarFileInfo", children=block16("Translation", struct.pack("<HH", lang, cp)))
    return block16("VS_VERSION_INFO", fixed_info(ms, ls), align(strings) + var)


# --- PE ------------------------------------------------------------------------------------------

RSRC_RVA = 0x1000


def resource_section(resources, data_size_override=None):
    """resources: list of (type id, bytes), one name (id 1) and language (0x409) each."""
    n = len(resources)
    root = struct.pack("<IIHHHH", 0, 0, 0, 0, 0, n)
    # Layout: root dir, per type a name dir and a language dir, the data entries, the data.
    dirs_at = 16 + 8 * n
    dir_size = 16 + 8
    entries_at = dirs_at + 2 * n * dir_size
    data_at = entries_at + 16 * n
    out_dirs = b""
    out_entries = b""
    out_data = b""
    for i, (type_id, data) in enumerate(resources):
        name_dir = dirs_at + 2 * i * dir_size
        lang_dir = name_dir + dir_size
        root += struct.pack("<II", type_id, 0x80000000 | name_dir)
        out_dirs += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 1, 0x80000000 | lang_dir)
        out_dirs += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 0x409, entries_at + 16 * i)
        offset = data_at + len(out_data)
        size = len(data) if data_size_override is None else data_size_override
        out_entries += struct.pack("<IIII", RSRC_RVA + offset, size, 0, 0)
        out_data += align(data)
    return root + out_dirs + out_entries + out_data


def pe(section, pe64, has_rsrc=True):
    machine = 0x8664 if pe64 else 0x14C
    opt_size = 240 if pe64 else 224
    raw = align(section, 0x200)
    coff = struct.pack("<4sHHIIIHH", b"PE\0\0", machine, 1, 0, 0, 0, opt_size, 0x2102)
    if pe64:
        opt = struct.pack("<HBBIIIII", 0x20B, 2, 0, 0, 0, 0, 0, 0)
        opt += struct.pack("<QIIHHHHHHIIIIHHQQQQII", 0x180000000, 0x1000, 0x200, 4, 0, 0, 0, 5, 2, 0,
                           0x2000, 0x200, 0, 2, 0, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    else:
        opt = struct.pack("<HBBIIIIII", 0x10B, 2, 0, 0, 0, 0, 0, 0, 0)
        opt += struct.pack("<IIIHHHHHHIIIIHHIIIIII", 0x10000000, 0x1000, 0x200, 4, 0, 0, 0, 4, 0, 0,
                           0x2000, 0x200, 0, 2, 0, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    dirs = [(0, 0)] * 16
    if has_rsrc:
        dirs[2] = (RSRC_RVA, len(section))
    opt += b"".join(struct.pack("<II", a, s) for a, s in dirs)
    assert len(opt) == opt_size
    name = b".rsrc\0\0\0" if has_rsrc else b".data\0\0\0"
    sect = struct.pack("<8sIIIIIIHHI", name, len(section), RSRC_RVA, len(raw), 0x200, 0, 0, 0, 0, 0x40000040)
    dos = b"MZ" + b"\0" * 0x3A + struct.pack("<I", 0x40)
    headers = align(dos + coff + opt + sect, 0x200)
    return headers + raw


# --- NE ------------------------------------------------------------------------------------------

def ne(resources):
    """resources: list of (type id without the high bit, bytes)."""
    shift = 4
    table = struct.pack("<H", shift)
    data_at = 0x200
    blobs = b""
    for type_id, data in resources:
        data = align(data, 1 << shift)
        table += struct.pack("<HHI", 0x8000 | type_id, 1, 0)
        table += struct.pack("<HHHHHH", (data_at + len(blobs)) >> shift, len(data) >> shift, 0x30, 0x8001, 0, 0)
        blobs += data
    table += struct.pack("<H", 0) + b"\0"
    rsrc_off = 0x40
    names_off = rsrc_off + len(table)
    header = bytearray(b"NE" + b"\0" * 0x3E)
    struct.pack_into("<HH", header, 0x24, rsrc_off, names_off)
    dos = b"MZ" + b"\0" * 0x3A + struct.pack("<I", 0x40)
    image = dos + bytes(header) + table + b"\0"
    return image + b"\0" * (data_at - len(image)) + blobs


# --- the fixtures --------------------------------------------------------------------------------

US = {"CompanyName": "Brackle Controls", "FileDescription": "Calendar control",
      "FileVersion": "1.2.3.4", "ProductName": "Brackle Calendar", "LegalCopyright": "(c) 1997"}
ICON = b"\x28\0\0\0" + b"\x11" * 36


def main():
    here = os.path.dirname(os.path.abspath(__file__))

    def write(name, data):
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)

    full32 = version32((1, 2, 3, 4), [("040904E4", US)], [(0x409, 0x4E4)])
    write("pe32_full.dll", pe(resource_section([(3, ICON), (16, full32)]), pe64=False))

    german = {"CompanyName": "Erste Firma", "ProductName": "Erstes Produkt", "Comments": "Erste"}
    english = dict(US, Comments="Second")
    two = version32((65535, 0, 32768, 7), [("040704B0", german), ("040904E4", english)],
                    [(0x407, 0x4B0), (0x409, 0x4E4)])
    write("pe64_full.ocx", pe(resource_section([(16, two)]), pe64=True))

    vbx = version16((3, 0, 0, 1), "040904E4",
                    {"CompanyName": "Brackle Controls", "FileDescription": "Grid control",
                     "ProductName": "Brackle Grid", "LegalCopyright": "\u00a9 1995 Brackle",
                     "Comments": "16-bit"}, 0x409, 0x4E4)
    write("ne_control.vbx", ne([(3, ICON), (16, vbx)]))

    write("pe32_norsrc.dll", pe(b"\0" * 64, pe64=False, has_rsrc=False))
    write("pe32_icononly.dll", pe(resource_section([(3, ICON)]), pe64=False))
    write("ne_noversion.dll", ne([(3, ICON)]))
    write("pe32_nolang.dll",
          pe(resource_section([(16, version32((1, 0, 0, 0), [("040904E4", US)], [], with_var=False))]),
             pe64=False))
    write("pe32_nofixed.dll",
          pe(resource_section([(16, version32((1, 0, 0, 0), [("040904E4", US)], [(0x409, 0x4E4)],
                                              with_fixed=False))]), pe64=False))
    write("pe32_truncated.dll",
          pe(resource_section([(16, full32)], data_size_override=0x10000), pe64=False))
    write("plain.txt", b"Not an executable.\r\n")

    windres = shutil.which("x86_64-w64-mingw32-windres")
    ld = shutil.which("x86_64-w64-mingw32-ld")
    if windres and ld:
        with tempfile.TemporaryDirectory() as tmp:
            obj = os.path.join(tmp, "windres.o")
            subprocess.run([windres, os.path.join(here, "windres.rc"), obj], check=True)
            subprocess.run([ld, "--dll", "-e", "0", "-o", os.path.join(here, "windres_pe64.dll"), obj],
                           check=True)


if __name__ == "__main__":
    main()
