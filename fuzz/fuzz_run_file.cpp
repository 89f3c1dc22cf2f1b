// Feeds arbitrary bytes as a run file through the whole extraction, in memory: no run file and
// no output touches the disk, so a run takes microseconds. The first byte picks the extraction
// choice and the debug log; the rest is the run file.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "files/extract_cli.h"
#include "files/extract_output.h"
#include "files/run_extract.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    cvh::MemoryTarget outputs;
    cvh::ExtractOptions options;
    options.choice =
        (data[0] & 1) ? cvh::ExtractChoice::ArchivePlusRaw : cvh::ExtractChoice::Archive;
    options.debugLog = (data[0] & 2) != 0;
    options.target = &outputs;
    std::ostringstream notices;
    cvh::StreamOperator op(notices);
    // The state lives across inputs, as it does across a session's extractions.
    static cvh::ExtractionState state;
    const auto report = cvh::extractRun(cvh::Bytes(data + 1, size - 1), 1, options, state, op);
    // Memory never fails to take an output.
    if (!report.unwritten.empty())
        __builtin_trap();
    return 0;
}
