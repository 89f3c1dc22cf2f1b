#include "files/host_setup_file.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include "base/cformat.h"
#include "base/file_dialog.h"
#include "base/version.h"

namespace cvh {

const std::array<int, kHostSetupRecordCount + 1> kHostSetupFieldCounts = {
    0, 3, 1, 3, 0, 12, 11, 13, 4, 4, 8, 9, 15, 4, 2, 8, 8, 8,
    8, 8, 9, 8, 1, 8,  8,  8,  7, 7, 4, 4, 4,  6, 6, 6, 4};

namespace {

constexpr std::string_view kVersionPrefix = "CV Host Version=";
// A line longer than this is cut here; no valid record comes near it.
constexpr std::size_t kMaxLineLength = 500;
constexpr int kMaxFieldCount = 20;

// Where a HostSetup value (or a run of them) sits in the file: its record, the position of its
// first field there, and the values. Every field no row names is stored as 0 and skipped on
// reading.
struct FieldLayout {
    int record;
    int field;
    std::span<std::int16_t> (*values)(HostSetup&);
};

template <auto Member>
std::span<std::int16_t> one(HostSetup& s) {
    return {&(s.*Member), 1};
}
template <auto Member>
std::span<std::int16_t> all(HostSetup& s) {
    return s.*Member;
}

// The one table of the file layout. The writer and the reader both walk it, so they cannot
// drift apart.
constexpr FieldLayout kLayout[] = {
    {1, 0, one<&HostSetup::loggerPortIndex>},
    {1, 1, one<&HostSetup::loggerSetupIndex>},
    {1, 2, one<&HostSetup::hostPortSetupIndex>},
    {2, 0, one<&HostSetup::activeHostMode>},
    {3, 0, one<&HostSetup::windowState>},
    {3, 1, one<&HostSetup::windowHeight>},
    {3, 2, one<&HostSetup::windowWidth>},
    {5, 0, one<&HostSetup::tabPortSetup>},
    {5, 1, one<&HostSetup::tabLoggerControl>},
    {5, 2, one<&HostSetup::tabDataStatus>},
    {5, 3, one<&HostSetup::tabUpload>},
    {5, 4, one<&HostSetup::tabRealTime>},
    {5, 5, one<&HostSetup::tabRecord>},
    {5, 6, one<&HostSetup::tabPcLogger>},
    {5, 9, one<&HostSetup::tabPlotSetup>},
    {5, 10, one<&HostSetup::tabHardware>},
    {5, 11, one<&HostSetup::tabAnalog>},
    {6, 0, one<&HostSetup::menuKb5PassThruVisible>},
    {6, 1, one<&HostSetup::menuAnnotateFileVisible>},
    {6, 2, one<&HostSetup::menuLoggerTimeUpdateVisible>},
    {6, 3, one<&HostSetup::menuAutoTimeUpdateVisible>},
    {6, 4, one<&HostSetup::menuAutoTimeUpdateChecked>},
    {6, 5, one<&HostSetup::menuUpdateTimeNowVisible>},
    {6, 7, one<&HostSetup::menuChangeLoggerIdVisible>},
    {8, 0, one<&HostSetup::menuMooredTimeUpdateVisible>},
    {8, 1, one<&HostSetup::menuMooredTimeUpdateChecked>},
    {8, 2, one<&HostSetup::timeSourceVisible>},
    {8, 3, one<&HostSetup::timeSourceIndex>},
    {9, 3, one<&HostSetup::autoStartShownChecked>},
    {10, 7, one<&HostSetup::menuLoggerPortSetupVisible>},
    {13, 0, one<&HostSetup::extractFilesIndex>},
    {13, 1, one<&HostSetup::rawSourceIndex>},
    {13, 2, one<&HostSetup::rawMuxId>},
    {13, 3, one<&HostSetup::rawPortIndex>},
    {14, 0, one<&HostSetup::deckRate>},
    {14, 1, one<&HostSetup::recordPcTime>},
    {15, 0, all<&HostSetup::deckPort>},
    {16, 0, all<&HostSetup::deckSetup>},
    {17, 0, all<&HostSetup::portType>},
    {18, 0, all<&HostSetup::deckType>},
    {19, 0, all<&HostSetup::outPort>},
    {20, 2, all<&HostSetup::replayVisible>},
    {20, 8, one<&HostSetup::replaySpeed>},
    {21, 0, one<&HostSetup::modeVisible>},
    {21, 1, one<&HostSetup::modeIndex>},
    {21, 2, one<&HostSetup::fileVisible>},
    {21, 3, one<&HostSetup::fileIndex>},
    {21, 4, one<&HostSetup::outputVisible>},
    {21, 5, one<&HostSetup::outputIndex>},
    {23, 0, all<&HostSetup::meterType>},
    {24, 0, all<&HostSetup::portSetup>},
    {25, 0, all<&HostSetup::serialOncePerHour>},
    {26, 0, all<&HostSetup::analog>},
    {27, 0, all<&HostSetup::analogOncePerHour>},
    {28, 0, all<&HostSetup::pump>},
    {29, 0, all<&HostSetup::pumpOncePerHour>},
    {30, 0, one<&HostSetup::analogRate>},
    {30, 1, one<&HostSetup::lvCutOff>},
    {30, 2, one<&HostSetup::autoStart>},
    {30, 3, one<&HostSetup::dateAndTime>},
    {31, 0, all<&HostSetup::samplingPosition>},
    {32, 0, all<&HostSetup::samplingEdit>},
    {33, 0, all<&HostSetup::samplingUnit>},
    {34, 0, one<&HostSetup::finalModeIndex>},
    {34, 1, one<&HostSetup::finalFileIndex>},
    {34, 2, one<&HostSetup::finalOutputIndex>},
    {34, 3, one<&HostSetup::finalTimeSourceIndex>},
};

// Record 9's third field is always 1.
constexpr int kConstantRecord = 9;
constexpr int kConstantField = 2;
constexpr std::int16_t kConstantValue = 1;

// One stored value: a value of the setup, or a constant the file always carries there.
struct Field {
    std::int16_t* value = nullptr;
    std::int16_t fixed = 0;
};

// The fields of `record` in file order.
std::vector<Field> fieldsOf(HostSetup& s, int record) {
    std::vector<Field> out(static_cast<std::size_t>(kHostSetupFieldCounts[record]));
    if (record == kConstantRecord)
        out[kConstantField].fixed = kConstantValue;
    for (const FieldLayout& layout : kLayout) {
        if (layout.record != record)
            continue;
        const auto values = layout.values(s);
        for (std::size_t i = 0; i < values.size(); ++i)
            out[static_cast<std::size_t>(layout.field) + i].value = &values[i];
    }
    return out;
}

// Records whose line has one blank before the line end, as earlier versions wrote them.
bool hasTrailingBlank(int record) {
    return record == 13 || record >= 30;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string_view> splitAtBlanks(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

// A whole token as a decimal integer in `lo`..`hi`.
std::optional<int> parseInt(std::string_view token, int lo, int hi) {
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec != std::errc() || end != token.data() + token.size() || token.empty()) {
        return std::nullopt;
    }
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

// Hands out the text line by line; a bare line feed and CR LF both end a line.
class LineSource {
public:
    explicit LineSource(std::string_view text) : text_(text) {}
    std::optional<std::string> next() {
        if (pos_ >= text_.size())
            return std::nullopt;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kMaxLineLength)
            line = line.substr(0, kMaxLineLength);
        return std::string(line);
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Reads record `number` with `count` fields into the setup; shows the one notice and returns
// false when the record is bad.
bool readRecord(LineSource& lines, int number, int count, HostSetup& setup, Operator& op) {
    const std::string line = lines.next().value_or(std::string());
    const auto tokens = splitAtBlanks(line);

    const auto found = tokens.empty() ? std::nullopt
                                      : parseInt(tokens[0], std::numeric_limits<int>::min(),
                                                 std::numeric_limits<int>::max());
    if (!found) {
        op.notice("Invalid Record in *.CVH File - The CVH File was NOT Loaded E1", line, true);
        return false;
    }
    if (*found != number) {
        op.notice("Bad Line Number in *.CVH File - The CVH File was Not Loaded E2",
                  cformat("Looking for Line %d, Found Line %d", number, *found), true);
        return false;
    }
    const auto stored = tokens.size() > 1 ? parseInt(tokens[1], std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max())
                                          : std::nullopt;
    if (!stored || *stored < 0 || *stored > kMaxFieldCount || *stored != count) {
        op.notice(cformat("Invalid Record in *.CVH, j %d count %d lcount %d", stored ? 1 : 0, count,
                          stored.value_or(0)),
                  line, true);
        return false;
    }

    auto fields = fieldsOf(setup, number);
    for (int i = 0; i < count; ++i) {
        const std::size_t t = static_cast<std::size_t>(i) + 2;
        const auto value = t < tokens.size() ? parseInt(tokens[t], -32768, 32767) : std::nullopt;
        if (!value) {
            op.notice("Invalid Record in *.CVH File - The CVH File was NOT Loaded E4", line, true);
            return false;
        }
        if (static_cast<std::size_t>(i) < fields.size() && fields[i].value != nullptr) {
            *fields[i].value = static_cast<std::int16_t>(*value);
        }
    }
    return true;
}

bool isKnownVersionLine(std::string_view line) {
    if (line.substr(0, kVersionPrefix.size()) != kVersionPrefix)
        return false;
    const std::string_view version = line.substr(kVersionPrefix.size(), 4);
    return version == "7.07" || version == "7.08" || version == "7.09";
}

}  // namespace

std::string formatHostSetup(const HostSetup& setup) {
    HostSetup copy = setup;
    std::string text = cformat("CV Host Version=%4.2f%c\n", kHostVersion, kHostVersionLetter);
    for (int record = 1; record <= kHostSetupRecordCount; ++record) {
        const auto fields = fieldsOf(copy, record);
        std::string line = cformat("%d %d", record, kHostSetupFieldCounts[record]);
        for (const Field& field : fields) {
            line += cformat(" %d", field.value != nullptr ? *field.value : field.fixed);
        }
        if (record == 4) {
            line += " ";  // "4 0 %s" with a text that is always empty
        } else if (record == 22) {
            line += " Last.plt";
        } else if (hasTrailingBlank(record)) {
            line += " ";
        }
        text += line;
        text += '\n';
    }
    return text;
}

HostSetupStoreOutcome storeHostSetup(const std::filesystem::path& path, const HostSetup& setup) {
    std::string text = formatHostSetup(setup);
#ifdef _WIN32
    // Earlier versions wrote the file in text mode: CR LF line ends on Windows.
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    text.swap(crlf);
#endif
    ReplacingFile file;
    if (auto error = file.create(path))
        return {HostSetupStoreResult::NotCreated, std::move(error)};
    file.write(text);
    if (auto error = file.commit())
        return {HostSetupStoreResult::WriteFailed, std::move(error)};
    return {};
}

HostSetupLoad parseHostSetup(std::string_view text, Operator& op) {
    LineSource lines(text);
    const std::string versionLine = lines.next().value_or(std::string());
    const bool threeFieldPort = isKnownVersionLine(versionLine);

    HostSetup setup;
    setup.hasHostPortSetup = threeFieldPort;
    for (int record = 1; record <= kHostSetupRecordCount; ++record) {
        const int count = record == 1 && !threeFieldPort ? 2 : kHostSetupFieldCounts[record];
        if (!readRecord(lines, record, count, setup, op)) {
            return HostSetupLoad{HostSetupLoadResult::Invalid, std::nullopt};
        }
    }

    // The values as they are applied: a mode outside 1..8 is no mode, and a PC-logger box
    // stored with nothing selected comes back on its first item.
    const auto mode = static_cast<HostMode>(setup.activeHostMode);
    if (mode < HostMode::Analog || mode > HostMode::PcLogger)
        setup.activeHostMode = hostModeNumber(HostMode::None);
    for (auto* list : {&setup.deckPort, &setup.deckSetup, &setup.portType}) {
        for (auto& v : *list) {
            if (v == -1)
                v = 0;
        }
    }
    return HostSetupLoad{HostSetupLoadResult::Loaded, setup};
}

HostSetupLoad loadHostSetup(const std::filesystem::path& path, Operator& op) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return HostSetupLoad{HostSetupLoadResult::Missing, {}};
    if (std::filesystem::is_directory(path, ec)) {
        return HostSetupLoad{HostSetupLoadResult::Unreadable, {}};
    }
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in)
        return HostSetupLoad{HostSetupLoadResult::Unreadable, {}};
    std::string text;
    std::array<char, 4096> chunk{};
    while (text.size() < kMaxHostSetupFileBytes) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = in.gcount();
        if (got <= 0)
            break;
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    if (in.bad())
        return HostSetupLoad{HostSetupLoadResult::Unreadable, {}};
    if (text.size() > kMaxHostSetupFileBytes)
        text.resize(kMaxHostSetupFileBytes);
    // Both passes work on this one copy, so the file cannot change between check and apply.
    return parseHostSetup(text, op);
}

std::int16_t editTextValue(const std::string& text) {
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 32767)
            return 32767;
    }
    return static_cast<std::int16_t>(value);
}

LoggerPortRestore restoreLoggerPort(const HostSetup& setup, bool openedFromMenu,
                                    int currentLoggerPortIndex) {
    LoggerPortRestore r;
    r.selectLoggerPort = !openedFromMenu || currentLoggerPortIndex == 0;
    r.loggerPortIndex = setup.loggerPortIndex;
    r.loggerSetupIndex = setup.loggerSetupIndex;
    if (setup.hasHostPortSetup)
        r.hostPortSetupIndex = setup.hostPortSetupIndex;
    return r;
}

std::span<const HostSetupApplyStep> hostSetupApplyOrder() {
    static constexpr std::array<HostSetupApplyStep, 18> kOrder{{
        {HostSetupStep::LoggerPort, 1, 1},
        {HostSetupStep::HostMode, 2, 2},
        {HostSetupStep::WindowGeometry, 3, 3},
        {HostSetupStep::MenuItems, 6, 6},
        {HostSetupStep::MooredTimeSource, 7, 8},
        {HostSetupStep::AutoStart, 9, 9},
        {HostSetupStep::LoggerPortMenu, 10, 10},
        {HostSetupStep::RawDisplay, 13, 13},
        {HostSetupStep::DeckRate, 14, 14},
        {HostSetupStep::PcPortBoxes, 15, 17},
        {HostSetupStep::PcPortSpinners, 18, 19},
        {HostSetupStep::ReplayControls, 20, 20},
        {HostSetupStep::ModeBoxes, 21, 21},
        {HostSetupStep::PortSetupRows, 23, 29},
        {HostSetupStep::AnalogRate, 30, 30},
        {HostSetupStep::Sampling, 31, 33},
        {HostSetupStep::ModeSelections, 34, 34},
        {HostSetupStep::PcLoggerReload, 0, 0},
    }};
    return kOrder;
}

namespace {

constexpr std::string_view kHostSetupFilter = "CV Host Setup (*.cvh)|*.cvh";
constexpr std::string_view kHostSetupDefaultExtension = "*.cvh";

FileDialogRequest hostSetupDialog(std::string title) {
    return fileDialogRequest(std::move(title), kHostSetupFilter, kHostSetupDefaultExtension);
}

}  // namespace

FileDialogRequest saveHostSetupDialog() {
    return hostSetupDialog("Save CV Host Program Setup");
}

FileDialogRequest openHostSetupDialog() {
    return hostSetupDialog("Open CV Host Program Setup");
}

}  // namespace cvh
