#!/usr/bin/python3
"""Marks a built exe to run from the swap file and sets its checksum.

    run_from_swap.py EXE

The launcher runs from a disc: Windows pages an exe in from where it lies, on
demand, so ejecting the disc (or an installer asking for the next one) would
leave pages that can no longer be read. With REMOVABLE_RUN_FROM_SWAP (and
NET_RUN_FROM_SWAP, for a disc shared on a network) the loader copies the
whole image to the swap file at start instead. The PE checksum is written
afresh, as Windows checks it for some images and tools report a wrong one.
"""
import sys

try:
    import pefile
except ImportError:
    sys.exit("run_from_swap.py: Python lacks pefile; install it: apt-get install python3-pefile")

REMOVABLE_RUN_FROM_SWAP = 0x0400
NET_RUN_FROM_SWAP = 0x0800


def main(path):
    pe = pefile.PE(path)
    pe.FILE_HEADER.Characteristics |= REMOVABLE_RUN_FROM_SWAP | NET_RUN_FROM_SWAP
    pe.OPTIONAL_HEADER.CheckSum = 0
    data = bytearray(pe.write())
    pe.close()
    pe = pefile.PE(data=bytes(data))
    pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
    data = pe.write()
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip())
    main(sys.argv[1])
