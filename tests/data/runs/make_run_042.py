#!/usr/bin/env python3
"""Writes run.042, a small run file holding every record type, and the files its extraction
must produce, worked out by hand from the extraction rules (not from the program's output):
expected_raw_debug/ for "CV Archive Plus Raw Files" with the debug log on, run first with a
fresh sequence counter, and expected_archive/ for "CV Archive" without the debug log, run
second with the counter carried on (the run file copied as run.043)."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def rec(rtype, payload):
    return struct.pack('<hh', len(payload), rtype) + payload


def le32(v):
    return struct.pack('<i', v)


def archive(fmt, tunit, unit, seq, ts, counts, data):
    assert sum(counts) == len(data)
    return (bytes([fmt, tunit, unit, seq]) + struct.pack('<H', len(data)) + struct.pack('<i', ts)
            + struct.pack('<9H', *counts) + data + b'####')


def tqmux_be(fmt, tunit, unit, seq, ts, counts, data, length=None):
    length = len(data) if length is None else length
    return (bytes([fmt, tunit, unit, seq]) + struct.pack('>H', length) + struct.pack('>i', ts)
            + struct.pack('>9H', *counts) + data + b'####')


def summary_record():
    b = bytearray(254)

    def s16(off, *vals):
        for i, v in enumerate(vals):
            struct.pack_into('>h', b, off + 2 * i, v)

    def s32(off, *vals):
        for i, v in enumerate(vals):
            struct.pack_into('>i', b, off + 4 * i, v)

    s16(0, 42, 1, 2, 7, 1, 1)                      # run, moored, TQ7, S/N 7, archive, RT+Status
    s16(12, 0, 1, 3, 0, 0, 13, 0, 0, 20)          # meter types of ports 1..8
    s16(30, 14720)                                 # standard power
    s32(36, 9600, 19200, 4800, 0, 0, 115200, 0, 0, 600)
    s16(72, 8, 8, 7, 0, 0, 8, 0, 0, 8)
    s16(90, 0, 0, 2, 0, 0, 1, 0, 0, 5)
    s16(108, 0, 105)                               # cut-off 10.5 V
    s16(130, 1, 0, 2, 0, 0, 0, 0)                  # analog ports
    s16(144, 0, 1, 0, 1)                           # pump ports 2 and 4
    s32(152, 0, 3600, 90, 120, 7200, 5400, 1700000000)
    s16(188, 3, 250, 12345, 11800)
    s32(200, 1024, 100, 1025, 0, 0, 2048, 0, 0, 5000, 51 * 1024, 4194304)
    s16(244, 7, 9, 3, 4, 5)
    return bytes(b)


SUMMARY_TEXT = (
    "Run # 42:  Moored on 11/14/23 at 22:13:20\n\n"
    "TQ7 S/N-007\n\nFirmware Version  7.09   3/04/05\n\n"
    "Standard Power:  14720 kHz \n\n"
    "File Format:  Corvane Archive Files\n"
    "Output Format:  Real Time + Status         \n\n"
    "Logger:\nUnit ID: 3\nPacket Rate: 4 Hz\n\n"
    "Active Pump Ports: \t2\t4\n\n"
    "Analog Ports: \n1  On\n3  Pump On\n\n"
    "Serial Ports: Type Baud     Size  Parity Stop\n"
    "Host Port: \t\t9600  \t8\tN\t1\n"
    "Port 1:\t        kb5 19200 \t8\tN\t1\n"
    "Port 2:\t      ASCII 4800  \t7\tE\t1\n"
    "Port 5:\t  CV-Logger 115200\t8\tO\t1\n"
    "Port 8:\tInvalid Meter 600   \t8\t*\t1\n"
    "\nDelay Before Start:  None\n"
    "Pre-Flush: 1 Hours\n"
    "Warm Up: 90 Seconds\n"
    "Flush: 2 Minutes\n"
    "Sample: 2 Hours\n"
    "Interval: 90 Minutes\n"
    "\n"
    "Starting Voltage: 12.3 V\n"
    "Final Voltage: 11.8 V\n"
    "Low Voltage Cutoff : 10.5\n\n"
    "Recorded File Sizes\n"
    "Analog:     1024\n"
    "Port 1:      100 Bytes\n"
    "Port 2:        1 K\n"
    "Port 5:        2 K\n"
    "Port 8:        4 K\n"
    "\nTotal Disk Space: 4096 K\n"
    "Free Disk Space: 51 K at End of Sample\n"
).encode()

TQ1 = tqmux_be(7, 2, 0, 5, 1234, [1, 0, 2, 0, 0, 0, 0, 0, 0], b'pqr')
TQ2 = tqmux_be(7, 2, 0, 6, 1300, [1, 1, 0, 0, 0, 0, 0, 0, 0], b'stu')  # counts add up to 2, not 3

run = b''.join([
    rec(24, b'\x00\x03'),                                        # sender unit 3
    rec(25, bytes([1, 10]) + le32(1000) + b'\x00'),              # 7-byte header: flag 1
    rec(1, b'AB'),
    rec(12, b'xyz'),
    rec(15, b'Q'),
    rec(1, b'CD'),                                               # replaces AB in the slot
    rec(9, b'BAT1'),
    rec(10, b'TS'),
    rec(25, bytes([4, 20]) + le32(1100)),                        # 6-byte header: flag 0
    rec(2, b'EF'),
    # S = 2081, type 1: skipped one byte at a time; no shifted four bytes form a plausible
    # header before the next record's.
    b'\x21\x08\x01\x00',
    rec(23, TQ1),
    rec(23, TQ2),
    rec(5, le32(1100) + b'w1'),                                  # new window at 1100
    rec(13, le32(1120) + b'an'),
    rec(14, le32(1149)),                                         # 49 after: same window
    rec(19, le32(1150) + b'w5'),                                 # 50 after: window closes
    rec(6, b'\x0d\x0a\x20\x2a' + b'zz'),                         # filler: ignored
    rec(11, summary_record()),
    rec(26, b'?'),                                               # "Unknown Type:  26 1a"
])


def le_tq(tq):
    # The TQMUX record with its header turned to little-endian order.
    head = bytearray(tq[:28])
    length, = struct.unpack_from('>H', tq, 4)
    ts, = struct.unpack_from('>i', tq, 6)
    counts = struct.unpack_from('>9H', tq, 10)
    struct.pack_into('<H', head, 4, length)
    struct.pack_into('<i', head, 6, ts)
    struct.pack_into('<9H', head, 10, *counts)
    return bytes(head) + tq[28:]


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def main():
    write(os.path.join(here, 'run.042'), run)

    # Choice 1 with the debug log, sequence counter starting at 0.
    d = os.path.join(here, 'expected_raw_debug')
    os.makedirs(d, exist_ok=True)
    write(os.path.join(d, 'Port1.042'), b'AB' + b'CD' + b'p')
    write(os.path.join(d, 'Port2.042'), b'EF')
    write(os.path.join(d, 'Port3.042'), b'qr')
    write(os.path.join(d, 'Port5.042'), b'Q')
    write(os.path.join(d, 'analog.042'), b'xyz')
    write(os.path.join(d, 'Battery.042'), b'BAT1')
    write(os.path.join(d, 'timestp.042'), b'TS')
    write(os.path.join(d, 'Summary.042'), SUMMARY_TEXT)
    write(os.path.join(d, 'archive.042'), b''.join([
        # Second header ends the first one's record: unit 1, its sequence 10, window start 1000.
        archive(1, 1, 1, 10, 1000, [2, 0, 0, 0, 1, 0, 0, 0, 3], b'CD' + b'Q' + b'xyz'),
        le_tq(TQ1),
        le_tq(TQ2),
        # Window 1100..1149 closed by the record at 1150; time-window sequence 0.
        archive(1, 0, 4, 0, 1100, [2, 0, 0, 0, 0, 0, 0, 0, 2], b'w1' + b'an'),
        # End of run: the second header's record (flag 0, sequence 20) stamped with the window
        # start at that moment, 1150; then the open window's record, sequence 1.
        archive(1, 0, 4, 20, 1150, [0, 2, 0, 0, 0, 0, 0, 0, 0], b'EF'),
        archive(1, 0, 4, 1, 1150, [0, 0, 0, 0, 2, 0, 0, 0, 0], b'w5'),
    ]))
    line1 = b'Type 998 Size 0 ms 1234 Offset 0\n' + b'\tTime = 12340 12340\r\n'
    line2 = (b'Type 998 Size 0 ms 1300 Offset %d\n' % len(line1)) + b'\tTime = 13000 660\r\n'
    end = b'Type 999 Size 0 ms 0 Offset %d\n' % (len(line1) + len(line2))
    write(os.path.join(d, 'log.dat'), line1 + line2 + end)

    # Choice 0 without the debug log, run second (as run.043): counter carries on at 2.
    d = os.path.join(here, 'expected_archive')
    os.makedirs(d, exist_ok=True)
    write(os.path.join(d, 'Battery.043'), b'BAT1')
    write(os.path.join(d, 'Summary.043'), SUMMARY_TEXT)
    # Without the debug switch only the closing line, written because the run opened an archive.
    write(os.path.join(d, 'log.dat'), b'Type 999 Size 0 ms 0 Offset 0\n')
    write(os.path.join(d, 'archive.043'), b''.join([
        le_tq(TQ1),
        le_tq(TQ2),
        archive(1, 0, 4, 2, 1100, [2, 0, 0, 0, 0, 0, 0, 0, 2], b'w1' + b'an'),
        archive(1, 0, 4, 3, 1150, [0, 0, 0, 0, 2, 0, 0, 0, 0], b'w5'),
    ]))


main()
