#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Pellwick.exe's PE header: loaded at a random address anywhere in the 64-bit
address space (ASLR with high-entropy VA), its data never run as code (DEP), and no
link time stamp, so two builds of one commit give the same bytes.
    pe_flags_test.py Pellwick.exe"""
import struct
import sys

DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT = 0x40, 0x20, 0x100
PE32_PLUS = 0x20B

with open(sys.argv[1], "rb") as program:
    image = program.read()
(header,) = struct.unpack_from("<I", image, 0x3C)
if image[:2] != b"MZ" or image[header:header + 4] != b"PE\0\0":
    sys.exit("%s is no PE program" % sys.argv[1])
(time_stamp,) = struct.unpack_from("<I", image, header + 8)
optional = header + 24  # the signature, then the 20 bytes of the file header
(magic,) = struct.unpack_from("<H", image, optional)
(flags,) = struct.unpack_from("<H", image, optional + 70)

failures = [name for name, bit in (("DYNAMIC_BASE", DYNAMIC_BASE),
                                    ("HIGH_ENTROPY_VA", HIGH_ENTROPY_VA),
                                    ("NX_COMPAT", NX_COMPAT)) if not flags & bit]
if magic != PE32_PLUS:
    failures.append("a 64-bit (PE32+) header, not 0x%x" % magic)
if time_stamp != 0:
    failures.append("no link time stamp, not 0x%08x" % time_stamp)
if failures:
    sys.exit("Pellwick.exe (DllCharacteristics 0x%04x) lacks: %s" % (flags, ", ".join(failures)))
print("Pellwick.exe: DllCharacteristics 0x%04x: DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT;"
      " no time stamp" % flags)
