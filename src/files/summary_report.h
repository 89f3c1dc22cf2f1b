// The plain-text run summary report "Summary.NNN" made from the logger's summary record. Field
// users and their scripts read this text, so every line is exactly as it has always been.
#pragma once

#include <filesystem>
#include <string>

#include "base/bytes.h"
#include "base/operator.h"
#include "files/summary_record.h"

namespace cvh {

// The report with "\n" line ends (the file gets the platform's line end).
std::string formatSummaryReport(const SummaryRecord& record);

// "Summary.%03d".
std::string summaryFileName(int runNumber);

enum class SummaryResult { Written, ShortRecord, NotCreated, WriteFailed };

// Decodes `payload` and writes the report into `directory`, replacing an earlier report of the
// same run as a whole. A record shorter than 254 bytes writes nothing. When the file cannot be
// created the operator is told.
SummaryResult writeSummary(Bytes payload, int runNumber, const std::filesystem::path& directory,
                           Operator& op);

}  // namespace cvh
