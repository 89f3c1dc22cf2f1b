// The plain-text run summary report "Summary.NNN" made from the logger's summary record. Field
// users and their scripts read this text, so every line is exactly as it has always been.
#pragma once

#include <string>

#include "base/bytes.h"
#include "files/summary_record.h"

namespace cvh {

// The report with "\n" line ends (the file gets the platform's line end).
std::string formatSummaryReport(const SummaryRecord& record);

// "Summary.%03d".
std::string summaryFileName(int runNumber);

}  // namespace cvh
