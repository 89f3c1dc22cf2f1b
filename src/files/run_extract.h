// Splits an uploaded run file into the files field users work with: the replayable archive,
// the battery file, the summary report, the debug log and, on request, one raw file per port,
// for the analog data and for the time stamps. All outputs are named with the run's number.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/file_write.h"
#include "base/operator.h"
#include "files/extract_output.h"

namespace cvh {

// The item index of "Extract File Types".
enum class ExtractChoice : int {
    Archive = 0,         // "CV Archive"
    ArchivePlusRaw = 1,  // "CV Archive Plus Raw Files"
};

struct ExtractOptions {
    ExtractChoice choice = ExtractChoice::Archive;
    bool debugLog = false;  // "Write Debug File"
    // Where the outputs go: beside the run file in the console, the chosen folder in the
    // command-line tool.
    std::filesystem::path outputDirectory = ".";
    // When set, the outputs go here instead of into outputDirectory (in memory, for one).
    ExtractTarget* target = nullptr;
};

// What one extraction hands on to the next: the time-window records number on from run to run,
// and the header-based assembly keeps its format flag. The caller keeps one for the program's
// life (the console in its session, the command-line tool for all the runs it is given).
struct ExtractionState {
    std::uint32_t timeWindowSequence = 0;
    std::uint8_t headerSequence = 0;
    std::uint32_t headerTimeStamp = 0;
    std::uint8_t headerFormatFlag = 0;
};

enum class ExtractResult {
    Done,          // the run was read to its end
    BadFileName,   // no run number in the file name ("Unusable File Name" told)
    Unreadable,    // the run file could not be opened or read (inputError says why)
    TooShort,      // empty or shorter than one record header ("Unable to Process the Run" told)
    NotProcessed,  // the first header is not plausible ("Unable to Process the Run" told)
};

struct ExtractReport {
    ExtractResult result = ExtractResult::Done;
    int runNumber = 0;
    std::uint64_t records = 0;         // records handled
    std::uint64_t bytesSkipped = 0;    // by resynchronisation
    std::uint64_t damagedRecords = 0;  // too short for their type, or cut off by the file's end
    std::uint64_t archiveRecords = 0;  // records written to the archive
    std::optional<FileError> inputError;
    std::vector<FileError> unwritten;  // outputs that could not be created or written whole
};

// The ExtractFilesRG index as a choice; none chosen (-1) tells the operator to choose first.
std::optional<ExtractChoice> chosenExtraction(int index, Operator& op);

// "%s.%03d" names of the outputs.
std::string extractFileName(const char* stem, int runNumber);

// Extracts one run file. Notices go to `op` with the captions and texts operators know.
ExtractReport extractRun(const std::filesystem::path& runFile, const ExtractOptions& options,
                         ExtractionState& state, Operator& op);
// The same for a run file's bytes held in memory, numbered `runNumber`.
ExtractReport extractRun(Bytes runFile, int runNumber, const ExtractOptions& options,
                         ExtractionState& state, Operator& op);

// The console's "Parse Run Files" and the upload: the outputs land beside the run file, where
// field users look for them.
ExtractReport extractBesideRunFile(const std::filesystem::path& runFile, ExtractChoice choice,
                                   bool debugLog, ExtractionState& state, Operator& op);

}  // namespace cvh
