#include "files/run_extract.h"

#include <array>
#include <optional>

#include "base/bytes.h"
#include "base/cformat.h"
#include "files/archive_record.h"
#include "files/extract_debug_log.h"
#include "files/extract_output.h"
#include "files/extract_slots.h"
#include "files/run_file.h"
#include "files/summary_report.h"

namespace cvh {
namespace {

// The twelve outputs besides the summary and the debug log.
enum Output : std::size_t {
    PortFile1 = 0,  // .. PortFile8 = 7
    AnalogFile = 8,
    BatteryFile = 9,
    TimeStampFile = 10,
    ArchiveFile = 11,
    OutputCount = 12,
};

constexpr std::array<const char*, OutputCount> kOutputStems{
    "Port1", "Port2", "Port3",  "Port4",   "Port5",   "Port6",
    "Port7", "Port8", "analog", "Battery", "timestp", "archive"};

// The archive slot that a record type feeds (0..7 ports, 8 analog), or nothing.
std::optional<std::size_t> rawSlot(int type) {
    if (type >= RunType::Meter1 && type <= RunType::Meter1 + 3)
        return type - RunType::Meter1;
    if (type >= RunType::Meter5 && type <= RunType::Meter5 + 3)
        return type - RunType::Meter5 + 4;
    if (type == RunType::AnalogRaw)
        return 8;
    return std::nullopt;
}

std::optional<std::size_t> windowSlot(int type) {
    if (type >= RunType::ArchiveMux1 && type <= RunType::ArchiveMux1 + 3)
        return type - RunType::ArchiveMux1;
    if (type >= RunType::ArchiveMux5 && type <= RunType::ArchiveMux5 + 3)
        return type - RunType::ArchiveMux5 + 4;
    if (type == RunType::AnalogArchive)
        return 8;
    return std::nullopt;
}

bool isWindowType(int type) {
    return windowSlot(type) || type == RunType::ArchiveTime;
}

// The logger pads the end of a time-window stream with a line break, a blank and an asterisk.
constexpr std::array<std::uint8_t, 4> kWindowFiller{0x0D, 0x0A, 0x20, 0x2A};

// A window closes when a time stamp is this many units past its start.
constexpr std::int64_t kWindowLength = 50;

constexpr std::size_t kHeaderMinSize = 6;   // unit, sequence, 32-bit time stamp
constexpr std::size_t kHeaderFullSize = 7;  // the format the logger marks with flag 1
constexpr std::size_t kUnitIdMinSize = 2;
constexpr std::size_t kTimeStampSize = 4;
constexpr std::uint8_t kInitialUnitId = 2;

class RunExtraction {
public:
    RunExtraction(const ExtractOptions& options, ExtractTarget& target, ExtractionState& state,
                  Operator& op, int runNumber)
        : options_(options), target_(target), state_(state), op_(op), runNumber_(runNumber) {}

    void run(RunFileReader& reader, ExtractReport& report);

private:
    bool rawFiles() const { return options_.choice == ExtractChoice::ArchivePlusRaw; }

    ExtractOutput* output(Output which);
    bool archiveOpen() const { return outputs_[ArchiveFile] && !outputs_[ArchiveFile]->error(); }
    void writeTo(Output which, Bytes bytes);

    void handle(int type, Bytes payload);
    void handleRaw(int type, std::size_t slot, Bytes payload);
    void handleHeader(Bytes payload);
    void handleWindow(int type, Bytes payload);
    void handleTqMux(Bytes payload);
    void finishRun();
    void commitAll();
    void failed(const std::optional<FileError>& error) {
        if (error)
            report_->unwritten.push_back(*error);
    }
    void writeSummary(Bytes payload);
    void damaged() { ++report_->damagedRecords; }

    void writeHeaderRecord();
    void writeWindowRecord();
    void writeArchive(Bytes record);

    const ExtractOptions& options_;
    ExtractTarget& target_;
    ExtractionState& state_;
    Operator& op_;
    int runNumber_;
    ExtractReport* report_ = nullptr;

    // Created on first use; one that could not be created stays, failed, so it is not tried
    // again for every record.
    std::array<std::unique_ptr<ExtractOutput>, OutputCount> outputs_;
    ExtractDebugLog log_;

    ArchiveSlots headerSlots_;
    ArchiveSlots windowSlots_;
    std::uint8_t unitId_ = kInitialUnitId;
    std::optional<std::int32_t> windowStart_;
    std::array<std::uint8_t, kArchiveMaxRecordSize> record_{};
};

ExtractOutput* RunExtraction::output(Output which) {
    auto& file = outputs_[which];
    if (!file)
        file = target_.create(extractFileName(kOutputStems[which], runNumber_));
    return file->error() ? nullptr : file.get();
}

void RunExtraction::writeTo(Output which, Bytes bytes) {
    if (ExtractOutput* file = output(which))
        file->write(bytes);
}

void RunExtraction::run(RunFileReader& reader, ExtractReport& report) {
    report_ = &report;
    RunRecord record;
    auto step = reader.next(record);
    if (step == RunFileReader::Step::End && !reader.readError()) {
        // Nothing of a record at all: an upload that never came, or a file cut at its start.
        op_.notice("Run File Error", "Unable to Process the Run", true);
        report.result = ExtractResult::TooShort;
        return;
    }
    log_.start(target_, options_.debugLog);
    for (;; step = reader.next(record)) {
        if (step == RunFileReader::Step::End)
            break;
        if (step == RunFileReader::Step::BadStart) {
            op_.notice("Run File Error", "Unable to Process the Run", true);
            report.result = ExtractResult::NotProcessed;
            break;
        }
        if (step == RunFileReader::Step::Truncated) {
            // A record cut off by the end of the file is not handled by halves.
            damaged();
            break;
        }
        ++report.records;
        handle(record.type, record.payload);
    }
    report.bytesSkipped = reader.bytesSkipped();
    if (reader.readError()) {
        report.inputError = reader.readError();
        report.result = ExtractResult::Unreadable;
    }

    if (archiveOpen()) {
        finishRun();
        log_.end();
    }
    commitAll();

    if (report.damagedRecords > 0) {
        op_.notice("Run File Error",
                   cformat("%llu Damaged Record(s) Not Saved",
                           static_cast<unsigned long long>(report.damagedRecords)),
                   true);
    }
}

void RunExtraction::commitAll() {
    for (auto& file : outputs_)
        if (file)
            failed(file->commit());
    failed(log_.commit());
}

void RunExtraction::writeSummary(Bytes payload) {
    const auto record = decodeSummaryRecord(payload);
    if (!record) {
        damaged();
        return;
    }
    // A second summary record in the run replaces the first report as a whole.
    auto file = target_.create(summaryFileName(runNumber_));
    if (file->error())
        op_.notice("File Extraction Error", "Unable to create Summary File", true);
    file->write(toPlatformLineEnds(formatSummaryReport(*record)));
    failed(file->commit());
}

void RunExtraction::handle(int type, Bytes payload) {
    if (const auto slot = rawSlot(type)) {
        handleRaw(type, *slot, payload);
    } else if (isWindowType(type)) {
        handleWindow(type, payload);
    } else {
        switch (type) {
            case RunType::Battery:
                writeTo(BatteryFile, payload);
                break;
            case RunType::TimeStamp:
                if (rawFiles())
                    writeTo(TimeStampFile, payload);
                break;
            case RunType::Summary:
                writeSummary(payload);
                break;
            case RunType::ArchiveTqMux:
                handleTqMux(payload);
                break;
            case RunType::SenderUnitId:
                if (payload.size() < kUnitIdMinSize)
                    damaged();
                else
                    unitId_ = payload[1];
                break;
            case RunType::ArchiveHeader:
                handleHeader(payload);
                break;
            default:
                op_.notice(cformat("Unknown Type:  %d %02x", type, type), "Record Not Saved", true);
                break;
        }
    }
}

// Raw meter and analog records: to their own file, and as the port's data of the record that
// the current ARCHIVE HEADER describes.
void RunExtraction::handleRaw(int type, std::size_t slot, Bytes payload) {
    if (!rawFiles())
        return;
    writeTo(type == RunType::AnalogRaw ? AnalogFile : static_cast<Output>(slot), payload);
    if (!archiveOpen())
        return;
    if (headerSlots_.replaceWouldOverflow(slot, payload.size()))
        writeHeaderRecord();
    headerSlots_.replace(slot, payload);
    if (!windowStart_)
        windowStart_ = static_cast<std::int32_t>(state_.headerTimeStamp);
}

void RunExtraction::handleHeader(Bytes payload) {
    output(ArchiveFile);
    if (!archiveOpen())
        return;
    if (payload.size() < kHeaderMinSize) {
        damaged();
        return;
    }
    // The header ends the record of the previous one.
    if (headerSlots_.any()) {
        writeHeaderRecord();
        windowStart_ = static_cast<std::int32_t>(state_.headerTimeStamp);
    }
    unitId_ = payload[0];
    state_.headerSequence = payload[1];
    state_.headerTimeStamp = readLe32(payload, 2);
    state_.headerFormatFlag = payload.size() == kHeaderFullSize ? 1 : 0;
    if (!windowStart_)
        windowStart_ = static_cast<std::int32_t>(state_.headerTimeStamp);
}

void RunExtraction::handleWindow(int type, Bytes payload) {
    output(ArchiveFile);
    if (!archiveOpen())
        return;
    if (payload.size() < kTimeStampSize) {
        damaged();
        return;
    }
    if (std::equal(kWindowFiller.begin(), kWindowFiller.end(), payload.begin()))
        return;
    const auto timeStamp = readLeS32(payload, 0);
    if (!windowStart_)
        windowStart_ = timeStamp;
    if (static_cast<std::int64_t>(timeStamp) - *windowStart_ >= kWindowLength) {
        if (windowSlots_.any())
            writeWindowRecord();
        windowSlots_.clear();
        windowStart_ = timeStamp;
    }
    const auto slot = windowSlot(type);
    if (!slot)
        return;
    const Bytes data = payload.subspan(kTimeStampSize);
    // A window that collects more than one record can hold goes out in several records.
    if (windowSlots_.appendWouldOverflow(*slot, data.size()))
        writeWindowRecord();
    windowSlots_.append(*slot, data);
}

void RunExtraction::handleTqMux(Bytes payload) {
    output(ArchiveFile);
    auto header = decodeArchiveHeader(payload, ByteOrder::Big);
    // Only a whole record whose length field agrees with its size keeps the archive readable.
    if (!header || archiveRecordSize(*header) != payload.size()) {
        damaged();
        return;
    }
    const MutableBytes record(record_.data(), payload.size());
    std::copy(payload.begin(), payload.end(), record.begin());
    encodeArchiveHeader(*header, record, ByteOrder::Little);
    log_.archiveRecord(static_cast<std::int32_t>(header->timeStamp));

    if (rawFiles() && countSum(*header) == header->length) {
        std::size_t at = kArchiveHeaderSize;
        for (std::size_t slot = 0; slot < kArchiveSlotCount; ++slot) {
            const std::size_t count = header->counts[slot];
            if (count == 0)
                continue;
            writeTo(slot == 8 ? AnalogFile : static_cast<Output>(slot),
                    Bytes(record.data() + at, count));
            at += count;
        }
    }
    if (archiveOpen())
        writeArchive(record);
}

void RunExtraction::writeHeaderRecord() {
    if (!headerSlots_.any())
        return;
    ArchiveRecordHeader h;
    h.format = 1;
    h.timeUnit = state_.headerFormatFlag;
    h.unitId = unitId_;
    h.sequence = state_.headerSequence++;
    h.timeStamp = static_cast<std::uint32_t>(windowStart_.value_or(-1));
    if (const auto size = headerSlots_.encode(h, record_))
        writeArchive(Bytes(record_.data(), *size));
    headerSlots_.clear();
}

void RunExtraction::writeWindowRecord() {
    if (!windowSlots_.any())
        return;
    ArchiveRecordHeader h;
    h.format = 1;
    h.timeUnit = 0;
    h.unitId = unitId_;
    h.sequence = static_cast<std::uint8_t>(state_.timeWindowSequence++);
    h.timeStamp = static_cast<std::uint32_t>(windowStart_.value_or(-1));
    if (const auto size = windowSlots_.encode(h, record_))
        writeArchive(Bytes(record_.data(), *size));
    windowSlots_.clear();
}

void RunExtraction::writeArchive(Bytes record) {
    if (outputs_[ArchiveFile]->write(record))
        ++report_->archiveRecords;
}

void RunExtraction::finishRun() {
    // The last header's record, as the next header would have ended it. The window start stays
    // as it is: the time-window record that follows still belongs to its own window.
    writeHeaderRecord();
    state_.headerSequence = 0;
    state_.headerTimeStamp = 0;
    writeWindowRecord();
    windowSlots_.clear();
}

}  // namespace

std::string extractFileName(const char* stem, int runNumber) {
    return cformat("%s.%03d", stem, runNumber);
}

namespace {

ExtractReport extractFrom(RunFileReader& reader, int runNumber, const ExtractOptions& options,
                          ExtractionState& state, Operator& op) {
    ExtractReport report;
    report.runNumber = runNumber;
    FolderTarget folder(options.outputDirectory);
    ExtractTarget& target = options.target ? *options.target : folder;
    RunExtraction extraction(options, target, state, op, runNumber);
    extraction.run(reader, report);
    return report;
}

}  // namespace

std::optional<ExtractChoice> chosenExtraction(int index, Operator& op) {
    if (index != static_cast<int>(ExtractChoice::Archive) &&
        index != static_cast<int>(ExtractChoice::ArchivePlusRaw)) {
        op.notice("Unable to comply", "Please Select the File Types To Be Extracted", true);
        return std::nullopt;
    }
    return static_cast<ExtractChoice>(index);
}

ExtractReport extractRun(const std::filesystem::path& runFile, const ExtractOptions& options,
                         ExtractionState& state, Operator& op) {
    const auto runNumber = runNumberFromPath(runFile);
    if (!runNumber) {
        op.notice(cformat("Unusable File Name '%s", runFile.string().c_str()),
                  "Extraction Requires name.xxx, where xxx=000-999", true);
        ExtractReport report;
        report.result = ExtractResult::BadFileName;
        return report;
    }
    RunFileReader reader;
    if (auto error = reader.open(runFile)) {
        ExtractReport report;
        report.runNumber = *runNumber;
        report.result = ExtractResult::Unreadable;
        report.inputError = std::move(error);
        return report;
    }
    return extractFrom(reader, *runNumber, options, state, op);
}

ExtractReport extractRun(Bytes runFile, int runNumber, const ExtractOptions& options,
                         ExtractionState& state, Operator& op) {
    RunFileReader reader;
    reader.openBytes(runFile);
    return extractFrom(reader, runNumber, options, state, op);
}

ExtractReport extractBesideRunFile(const std::filesystem::path& runFile, ExtractChoice choice,
                                   bool debugLog, ExtractionState& state, Operator& op) {
    std::filesystem::path folder = runFile.parent_path();
    if (folder.empty())
        folder = ".";
    return extractRun(runFile, {choice, debugLog, folder}, state, op);
}

}  // namespace cvh
