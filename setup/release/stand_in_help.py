#!/usr/bin/python3
"""Writes a one-topic help file, for releases built before the help compiler exists."""
import struct
import sys

title = b"Tessaly"
text = b"Help for Tessaly is not written yet.\r\n"
with open(sys.argv[1], "wb") as out:
    out.write(struct.pack("<i", 1))
    out.write(struct.pack("<H", len(text)) + text)
    out.write(struct.pack("<H", len(title)) + title)
    out.write(struct.pack("<i", 0))
