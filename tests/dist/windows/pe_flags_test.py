#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Pellwick.exe's PE header: loaded at a random address anywhere in the 64-bit
address space (ASLR with high-entropy VA), its data never run as code (DEP), and no
link time stamp, so two builds of one commit give the same bytes.
    pe_flags_test.py Pellwick.exe"""
import struct
import sys

with open(sys.argv[1], "rb") as program:
    image = program.read()
(header,) = struct.unpack_from("<I", image, 0x3C)
if image[:2] != b"MZ" or image[header:header + 4] != b"PE\0\0":
    sys.exit("%s is no PE program" % sys.argv[1])
(time_stamp,) = struct.unpack_from("<I", image, header + 8)
# The optional header follows the signature and the 20 bytes of the file header.
(magic,) = struct.unpack_from("<H", image, header + 24)
(flags,) = struct.unpack_from("<H", image, header + 24 + 70)

failures = [name for name, bit in (("DYNAMIC_BASE", 0x40), ("HIGH_ENTROPY_VA", 0x20),
                                   ("NX_COMPAT", 0x100)) if not flags & bit]
failures += ["a 64-bit (PE32+) header, not 0x%x" % magic] if magic != 0x20B else []
failures += ["no link time stamp, not 0x%08x" % time_stamp] if time_stamp else []
if failures:
    sys.exit("Pellwick.exe (DllCharacteristics 0x%04x) lacks: %s" % (flags, ", ".join(failures)))
print("Pellwick.exe: DllCharacteristics 0x%04x: DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT;"
      " no time stamp" % flags)
