// Feeds arbitrary bytes as a run file through the whole extraction. The first byte picks the
// extraction choice and the debug log; the rest is the run file.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "files/extract_cli.h"
#include "files/run_extract.h"

namespace {

const std::filesystem::path& workDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("cvh_fuzz_run_file_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d / "out");
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto runFile = workDir() / "run.001";
    std::FILE* f = std::fopen(runFile.string().c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    cvh::ExtractOptions options;
    options.choice =
        (data[0] & 1) ? cvh::ExtractChoice::ArchivePlusRaw : cvh::ExtractChoice::Archive;
    options.debugLog = (data[0] & 2) != 0;
    options.outputDirectory = workDir() / "out";
    std::ostringstream notices;
    cvh::StreamOperator op(notices);
    // The state lives across inputs, as it does across a session's extractions.
    static cvh::ExtractionState state;
    cvh::extractRun(runFile, options, state, op);
    return 0;
}
