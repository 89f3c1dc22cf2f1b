// A second complete extraction worked out by hand from the extraction rules: a run that starts
// with time-window data before any ARCHIVE HEADER, lets the headers move the shared window start
// under the time-window assembly, splits three TQMUX records, ends with both assemblies pending
// and carries a summary of a profile run. Extracted twice: with raw files and no debug log, then,
// as a later run number in a folder whose name holds a dot, archive only with the debug log.
// Every expected byte below comes from the rules, not from the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "files/extract_test_util.h"
#include "files/run_extract.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using test::archiveBytes;
using test::be16;
using test::be32;
using test::bytesOf;
using test::ByteVec;
using test::cat;
using test::le16;
using test::le32;
using test::runRecord;

// An ARCHIVE TQMUX payload as the logger stores it: header fields big-endian.
ByteVec tqMuxBe(std::uint8_t format, std::uint8_t timeUnit, std::uint8_t unit, std::uint8_t seq,
                std::uint32_t ts, const std::vector<std::uint16_t>& counts, const ByteVec& data) {
    ByteVec out = cat({ByteVec{format, timeUnit, unit, seq},
                       be16(static_cast<std::uint16_t>(data.size())), be32(ts)});
    for (std::size_t i = 0; i < 9; ++i)
        out = cat({out, be16(i < counts.size() ? counts[i] : 0)});
    return cat({out, data, bytesOf("####")});
}

// A time-window record: little-endian time stamp, then the data.
ByteVec mux(int type, std::uint32_t ts, const std::string& data) {
    return runRecord(type, cat({le32(ts), bytesOf(data)}));
}

// The summary record, big-endian at its offsets.
ByteVec summaryRecord() {
    ByteVec b(254, 0);
    const auto s16 = [&](std::size_t at, std::initializer_list<int> values) {
        for (int v : values) {
            const auto bytes = be16(static_cast<std::uint16_t>(v));
            b[at] = bytes[0], b[at + 1] = bytes[1];
            at += 2;
        }
    };
    const auto s32 = [&](std::size_t at, std::initializer_list<long long> values) {
        for (long long v : values) {
            const auto bytes = be32(static_cast<std::uint32_t>(v));
            std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
            at += 4;
        }
    };
    s16(0, {117, 0, 3, 5, 0, 2});  // run 117, profile, EXT Q-Span, S/N 5, no data, Real Time
    s16(12, {0, 4, 0, 6, 9, 0, 12, -1, 7});  // meter types, ports 1..8
    s16(30, {7860});                         // power
    s32(36, {38400, 1200, 0, 4800, 57600, 0, 9600, 0, 2400});
    s16(72, {8, 8, 0, 7, 8, 0, 8, 0, 8});                // data bits
    s16(90, {2, 1, 0, 0, 2, 0, 7, 0, 0});                // parity
    s16(108, {0, 98});                                   // cut-off 9.8 V
    s16(130, {2, 0, 1, 3, 0, 0, 1});                     // analog ports
    s16(144, {5, 0, -1, 0});                             // pump ports: only 1 active
    s32(152, {59, 0, 180, 10800, 3660, 60, 946684799});  // durations, start time
    s16(188, {4, 333, 13640, 9020});                     // unit, period, millivolts
    s32(200, {1025, 0, 999, 1024, 5120, 0, 1023, 777, 2049, 40 * 1024 + 1000, 8388608});
    s16(244, {10, 5, 12, 1, 9});  // firmware 10.05 of 12/01/09
    return b;
}

const std::string kSummaryText =
    "Run # 117:  Profile on 12/31/99 at 23:59:59\n\n"
    "EXT Q-Span S/N=005\n\nFirmware Version 10.05  12/01/09\n\n"
    "75 % Power:  7860 kHz \n\n"
    "***Warning*** This Run may have terminated early.  Out of Memory!!!\n\n"
    "File Format:  No Data Recorded\n"
    "Output Format:  Real Time                  \n\n"
    "Logger:\nUnit ID: 4\nPacket Rate: 3 Hz\n\n"
    "Active Pump Ports: \t1\n\n"
    "Analog Ports: \n1  Pump On\n3  On\n7  On\n\n"
    "Serial Ports: Type Baud     Size  Parity Stop\n"
    "Host Port: \t\t38400 \t8\tE\t1\n"
    "Port 1:\t     Binary 1200  \t8\tO\t1\n"
    "Port 3:\tAshteck GPS 4800  \t7\tN\t1\n"
    "Port 4:\tHYD40 57600 \t8\tE\t1\n"
    "Port 6:\tWake/Binary 9600  \t8\t*\t1\n"
    "Port 8:\t       PUMP 2400  \t8\tN\t1\n"
    "\nDelay Before Start: 59 Seconds\n"
    "Pre-Flush:  None\n"
    "Warm Up: 3 Minutes\n"
    "Flush: 3 Hours\n"
    "Sample: 61 Minutes\n"
    "\n"
    "Starting Voltage: 13.6 V\n"
    "Final Voltage:  9.0 V\n"
    "Low Voltage Cutoff :  9.8\n\n"
    "Recorded File Sizes\n"
    "Analog:        1 K\n"
    "Port 1:        0 Bytes\n"
    "Port 3:     1024 Bytes\n"
    "Port 4:        5 K\n"
    "Port 6:     1023 Bytes\n"
    "Port 8:        2 K\n"
    "\nTotal Disk Space: 8192 K\n"
    "Free Disk Space: 40 K at End of Sample\n";

// Counts by slot: 0..7 ports 1..8, 8 analog.
const ByteVec kTq1 = tqMuxBe(9, 3, 1, 77, 5020, {0, 2, 0, 0, 0, 3, 0, 0, 1}, bytesOf("22666a"));
const ByteVec kTq2 = tqMuxBe(1, 1, 5, 3, 0, {1, 0, 0, 0, 1}, bytesOf("15"));
const ByteVec kTq3 = tqMuxBe(2, 0, 3, 9, 5200, {0, 0, 0, 0, 0, 0, 0, 3}, bytesOf("888"));

ByteVec runBytes() {
    return cat({
        mux(20, 5000, "w6"),              // port 6 window opens the archive
        mux(7, 5010, "c3"),               // port 3, same window
        runRecord(18, bytesOf("M8")),     // METER8
        runRecord(24, ByteVec{0x55, 7}),  // sender unit 7
        runRecord(23, kTq1),              //
        cat({le16(5), le16(0)}),          // type 0: resynchronised away
        runRecord(25, cat({ByteVec{6, 200}, le32(4990), ByteVec{0xEE}})),      // 7 bytes: flag 1
        mux(8, 5030, "d4"),                                                    // port 4
        runRecord(4, bytesOf("R4")),                                           // METER4
        runRecord(10, bytesOf("T!")),                                          // TIME STAMP
        runRecord(12, bytesOf("A")),                                           // ANALOG raw
        mux(13, 5050, "aa"),                                                   // ANALOG archive
        runRecord(9, bytesOf("V12")),                                          // BATTERY
        runRecord(25, cat({ByteVec{5, 255}, le32(5100)})),                     // 6 bytes: flag 0
        mux(14, 5100, ""),                                                     // ARCHIVETime
        runRecord(22, cat({ByteVec{0x0D, 0x0A, 0x20, 0x2A}, bytesOf("zz")})),  // filler
        mux(21, 5149, "w7"),                                                   // port 7
        runRecord(23, kTq2),                                                   //
        runRecord(11, summaryRecord()),                                        //
        runRecord(1, bytesOf("P1")),                                           // METER1
        runRecord(26, ByteVec{0}),                                             // unknown
        runRecord(9, bytesOf("V13")),                                          //
        runRecord(23, kTq3),                                                   //
    });
}

using FileSet = std::map<std::string, ByteVec>;

void expectExactly(const FileSet& want, const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& [name, bytes] : want)
        names.insert(name);
    EXPECT_EQ(test::filesIn(dir), names);
    for (const auto& [name, bytes] : want) {
        const ByteVec got = test::readFile(dir / name);
        EXPECT_EQ(got.size(), bytes.size()) << name;
        EXPECT_EQ(got, bytes) << name;
    }
}

TEST(ExtractionGolden, HandWorkedRunWithBothChoicesAndTheCountersCarriedOn) {
    test::ScratchDir dir;
    test::ScriptedOperator op;
    ExtractionState state;  // as at program start
    const ByteVec run = runBytes();

    // Raw files, no debug log, run 117.
    const auto inA = dir.sub("in") / "run.117";
    test::writeFile(inA, run);
    const auto outA = dir.sub("outA");
    const auto reportA = extractRun(inA, {ExtractChoice::ArchivePlusRaw, false, outA}, state, op);
    EXPECT_EQ(reportA.result, ExtractResult::Done);
    EXPECT_EQ(reportA.bytesSkipped, 4u);
    EXPECT_EQ(reportA.damagedRecords, 0u);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Unknown Type:  26 1a");
    EXPECT_EQ(op.notices()[0].text, "Record Not Saved");

    const ByteVec archiveA = cat({
        // TQMUX 1 turned to little-endian order, kept whole.
        archiveBytes(9, 3, 1, 77, 5020, {0, 2, 0, 0, 0, 3, 0, 0, 1}, bytesOf("22666a")),
        // First header ends METER8's record: flag 0 and sequence 0 as at program start, unit 7,
        // stamped with the window start 5000. The window start then takes the previous header's
        // time stamp, 0 at program start.
        archiveBytes(1, 0, 7, 0, 5000, {0, 0, 0, 0, 0, 0, 0, 2}, bytesOf("M8")),
        // 5030 is 50 or more past 0: the window of ports 3 and 6 goes out stamped 0, unit 6.
        archiveBytes(1, 0, 6, 0, 0, {0, 0, 2, 0, 0, 2}, bytesOf("c3w6")),
        // Second header: the first header's record (flag 1, sequence 200) stamped 5030; the
        // window start becomes 4990.
        archiveBytes(1, 1, 6, 200, 5030, {0, 0, 0, 2, 0, 0, 0, 0, 1}, bytesOf("R4A")),
        // ARCHIVETime 5100 is 110 past 4990: ports 4 and analog go out, unit 5.
        archiveBytes(1, 0, 5, 1, 4990, {0, 0, 0, 2, 0, 0, 0, 0, 2}, bytesOf("d4aa")),
        archiveBytes(1, 1, 5, 3, 0, {1, 0, 0, 0, 1}, bytesOf("15")),
        archiveBytes(2, 0, 3, 9, 5200, {0, 0, 0, 0, 0, 0, 0, 3}, bytesOf("888")),
        // End of run: the second header's record (flag 0, sequence 255) stamped 5100, then the
        // open window (port 7, 49 after its start) with the next time-window sequence.
        archiveBytes(1, 0, 5, 255, 5100, {2}, bytesOf("P1")),
        archiveBytes(1, 0, 5, 2, 5100, {0, 0, 0, 0, 0, 0, 2}, bytesOf("w7")),
    });
    expectExactly(
        {
            {"Port1.117", bytesOf("1P1")},
            {"Port2.117", bytesOf("22")},
            {"Port4.117", bytesOf("R4")},
            {"Port5.117", bytesOf("5")},
            {"Port6.117", bytesOf("666")},
            {"Port8.117", bytesOf("M8888")},
            {"analog.117", bytesOf("aA")},
            {"Battery.117", bytesOf("V12V13")},
            {"timestp.117", bytesOf("T!")},
            {"Summary.117", bytesOf(kSummaryText)},
            {"archive.117", archiveA},
            {"log.dat", bytesOf("Type 999 Size 0 ms 0 Offset 0\n")},
        },
        outA);
    EXPECT_EQ(state.timeWindowSequence, 3u);
    EXPECT_EQ(state.headerSequence, 0);
    EXPECT_EQ(state.headerTimeStamp, 0u);

    // Archive only, debug log on, run 118 in a folder with a dot in its name. No raw record is
    // kept, so the headers find nothing to write and leave the window start alone.
    const auto inB = dir.sub("leg.2") / "run.118";
    test::writeFile(inB, run);
    const auto outB = dir.sub("outB");
    const auto reportB = extractRun(inB, {ExtractChoice::Archive, true, outB}, state, op);
    EXPECT_EQ(reportB.result, ExtractResult::Done);
    EXPECT_EQ(reportB.runNumber, 118);

    const ByteVec archiveB = cat({
        archiveBytes(9, 3, 1, 77, 5020, {0, 2, 0, 0, 0, 3, 0, 0, 1}, bytesOf("22666a")),
        // The window from 5000 holds ports 3, 4 and 6 until analog at exactly 50 later; the
        // sequence runs on from the first extraction.
        archiveBytes(1, 0, 6, 3, 5000, {0, 0, 2, 2, 0, 2}, bytesOf("c3d4w6")),
        // ARCHIVETime 5100, again exactly 50 on, closes the analog window; unit 5 by then.
        archiveBytes(1, 0, 5, 4, 5050, {0, 0, 0, 0, 0, 0, 0, 0, 2}, bytesOf("aa")),
        archiveBytes(1, 1, 5, 3, 0, {1, 0, 0, 0, 1}, bytesOf("15")),
        archiveBytes(2, 0, 3, 9, 5200, {0, 0, 0, 0, 0, 0, 0, 3}, bytesOf("888")),
        // End of run: the window from 5100 with port 7 at 49 later.
        archiveBytes(1, 0, 5, 5, 5100, {0, 0, 0, 0, 0, 0, 2}, bytesOf("w7")),
    });
    const std::string entry1 = "Type 998 Size 0 ms 5020 Offset 0\n\tTime = 50200 50200\r\n";
    const std::string entry2 =
        "Type 998 Size 0 ms 0 Offset " + std::to_string(entry1.size()) + "\n\r\n";
    // The time stamp 0 did not replace 5020 as the previous one.
    const std::string entry3 = "Type 998 Size 0 ms 5200 Offset " +
                               std::to_string(entry1.size() + entry2.size()) +
                               "\n\tTime = 52000 1800\r\n";
    const std::string log = entry1 + entry2 + entry3;
    expectExactly(
        {
            {"Battery.118", bytesOf("V12V13")},
            {"Summary.118", bytesOf(kSummaryText)},  // the record's own run number inside
            {"archive.118", archiveB},
            {"log.dat",
             bytesOf(log + "Type 999 Size 0 ms 0 Offset " + std::to_string(log.size()) + "\n")},
        },
        outB);
    EXPECT_EQ(state.timeWindowSequence, 6u);
}

}  // namespace
}  // namespace cvh
