#!/usr/bin/env python3
"""A hostile record: a rev 2.1 record's first three blocks announcing three scan types of 65,535
channel sets (the count in block 2), then 6 MB of descriptors, each naming its own set.
Usage: many_channel_sets.py MAKE_SEGD OUTPUT"""
import os
import subprocess
import sys
import tempfile

make_segd, output = sys.argv[1:3]
with tempfile.TemporaryDirectory() as folder:
    base = os.path.join(folder, "base.segd")
    subprocess.run([make_segd, "--rev", "2.1", "--traces", "2", "--samples", "1", base], check=True)
    d = bytearray(open(base, "rb").read())
d[27] = 0x03  # byte 28: three scan types
d[28] = 0xFF  # byte 29: the channel sets' count is in block 2's bytes 4-5
d[32 + 3:32 + 5] = (65535).to_bytes(2, "big")
descriptors = bytearray()
for n in range(3 * 65535):
    descriptors += bytes([0x00, 0x01]) + bytes(24) + bytes([0xFF]) + (n % 65535 + 1).to_bytes(2, "big") + bytes(3)
with open(output, "wb") as out:
    out.write(d[:96] + descriptors)  # blocks 1-3, then the descriptors
