#!/usr/bin/python3
"""Lays out a sample disc folder for the launcher.

Usage: make_disc.py OUT_DIR EXE_DIR

EXE_DIR is a Windows build folder (build/win64 or build/win32): it holds
Startboard.exe and tools/sample_disc/standin_setup.exe. Every file is
written afresh; other files already in OUT_DIR are left alone.
"""
import os
import shutil
import sys

STANDIN = os.path.join("tools", "sample_disc", "standin_setup.exe")

MANUAL_TITLE = "Norvane 98 User Manual"
MANUAL_LINES = [
    "Welcome to Norvane 98.",
    "This manual explains how to install the program from the CD-ROM,",
    "how to evaluate it as a standalone product and how to unlock it.",
    "For help, visit http://nv98.example.net or write to",
    "help@nv98.example.com.",
]

DISCLAIMER = """NORVANE 98 - DISCLAIMER

Quillmere Software, Inc. provides this software "as is", without warranty of
any kind, either expressed or implied, including but not limited to the
implied warranties of merchantability and fitness for a particular purpose.

In no event shall Quillmere Software, Inc. be liable for any damages
whatsoever, including loss of business profits, business interruption or
loss of data, arising out of the use of or inability to use this software,
even if it has been advised of the possibility of such damages.

By installing Norvane 98 you accept these terms. If you do not accept them,
do not install the software.
"""

PROBE_PAGE = """<!DOCTYPE html>
<html lang="en">
<head><meta charset="utf-8"><title>Norvane 98</title></head>
<body><p>This page only tells the launcher which program shows web pages.</p></body>
</html>
"""


def pdf_text(text):
    """A PDF literal string: backslash and parentheses escaped."""
    return "(" + text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


def manual_pdf():
    """A one-page PDF with the manual's title and a few lines of Helvetica."""
    content = ["BT", "/F1 24 Tf", "72 700 Td", pdf_text(MANUAL_TITLE) + " Tj", "/F2 12 Tf", "0 -40 Td"]
    for line in MANUAL_LINES:
        content += [pdf_text(line) + " Tj", "0 -18 Td"]
    stream = ("\n".join(content + ["ET"]) + "\n").encode("ascii")
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792]"
        b" /Resources << /Font << /F1 4 0 R /F2 5 0 R >> >> /Contents 6 0 R >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"endstream",
        ("<< /Title %s /Author (Quillmere Software, Inc.) >>" % pdf_text(MANUAL_TITLE)).encode("ascii"),
    ]
    # The second line's high bytes mark the file as binary for transfer tools.
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    # Each cross-reference entry is exactly 20 bytes, ending in space + LF.
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R /Info 7 0 R >>\n" % (len(objects) + 1)
    out += b"startxref\n%d\n%%%%EOF\n" % xref
    return bytes(out)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_disc(out_dir, exe_dir):
    """Writes the disc into out_dir; raises FileNotFoundError for a missing build output."""
    launcher = os.path.join(exe_dir, "Startboard.exe")
    standin = os.path.join(exe_dir, STANDIN)
    for needed in (launcher, standin):
        if not os.path.isfile(needed):
            raise FileNotFoundError("not built: " + needed)
    os.makedirs(out_dir, exist_ok=True)
    shutil.copyfile(launcher, os.path.join(out_dir, "Startboard.exe"))
    for folder in ("reader", "standalone"):
        os.makedirs(os.path.join(out_dir, folder), exist_ok=True)
        shutil.copyfile(standin, os.path.join(out_dir, folder, "setup.exe"))
    write(os.path.join(out_dir, "manual", "manual.pdf"), manual_pdf())
    write(os.path.join(out_dir, "disclaim.txt"), crlf(DISCLAIMER))
    write(os.path.join(out_dir, "temphtm.htm"), crlf(PROBE_PAGE))


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        make_disc(argv[1], argv[2])
    except FileNotFoundError as error:
        print("make_disc: %s" % error, file=sys.stderr)
        return 1
    print("sample disc in %s" % argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
