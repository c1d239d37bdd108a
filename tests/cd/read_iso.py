#!/usr/bin/python3
"""Reads an image as Windows does, through its Joliet names, with a reader
other than the one that wrote it (pycdlib).

    read_iso.py ISO                  the Joliet label and escape sequence, then
                                     one line per name: "d /path" or "- /path"
    read_iso.py ISO NAME OUT         copies the file /NAME out of the image
"""
import sys

import pycdlib


def main(argv):
    iso = pycdlib.PyCdlib()
    iso.open(argv[1])
    if len(argv) == 4:
        with open(argv[3], "wb") as out:
            iso.get_file_from_iso_fp(out, joliet_path="/" + argv[2])
        return 0
    if not iso.has_joliet():
        print("no Joliet names")
        return 1
    vd = iso.joliet_vd
    print("label: %s" % vd.volume_identifier.decode("utf-16-be").rstrip(" "))
    print("escape: %s" % vd.escape_sequences.rstrip(b"\0").decode("ascii"))
    names = []
    for root, dirs, files in iso.walk(joliet_path="/"):
        base = "" if root == "/" else root
        names += ["d %s/%s" % (base, name) for name in dirs] + ["- %s/%s" % (base, name) for name in files]
    print("\n".join(sorted(names)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
