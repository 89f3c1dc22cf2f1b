#include "files/host_setup_file.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include "base/cformat.h"
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

// One stored value: a field of the setup, or a constant the file always carries there.
struct Field {
    std::int16_t* value = nullptr;
    std::int16_t fixed = 0;
};

Field f(std::int16_t& v) {
    return Field{&v, 0};
}
Field zero() {
    return Field{nullptr, 0};
}
Field constant(std::int16_t v) {
    return Field{nullptr, v};
}

template <std::size_t N>
void addAll(std::vector<Field>& out, std::array<std::int16_t, N>& values) {
    for (auto& v : values)
        out.push_back(f(v));
}

void addZeros(std::vector<Field>& out, int count) {
    for (int i = 0; i < count; ++i)
        out.push_back(zero());
}

// The one table of the file layout: which value sits in which field of which record. The
// writer and the reader both walk it, so they cannot drift apart.
std::vector<Field> fieldsOf(HostSetup& s, int record) {
    std::vector<Field> out;
    switch (record) {
        case 1:
            out = {f(s.loggerPortIndex), f(s.loggerSetupIndex), f(s.hostPortSetupIndex)};
            break;
        case 2:
            out = {f(s.activeHostMode)};
            break;
        case 3:
            out = {f(s.windowState), f(s.windowHeight), f(s.windowWidth)};
            break;
        case 4:
            break;
        case 5:
            out = {f(s.tabPortSetup),
                   f(s.tabLoggerControl),
                   f(s.tabDataStatus),
                   f(s.tabUpload),
                   f(s.tabRealTime),
                   f(s.tabRecord),
                   f(s.tabPcLogger),
                   zero(),
                   zero(),
                   f(s.tabPlotSetup),
                   f(s.tabHardware),
                   f(s.tabAnalog)};
            break;
        case 6:
            out = {f(s.menuKb5PassThruVisible),
                   f(s.menuAnnotateFileVisible),
                   f(s.menuLoggerTimeUpdateVisible),
                   f(s.menuAutoTimeUpdateVisible),
                   f(s.menuAutoTimeUpdateChecked),
                   f(s.menuUpdateTimeNowVisible),
                   zero(),
                   f(s.menuChangeLoggerIdVisible),
                   zero(),
                   zero(),
                   zero()};
            break;
        case 7:
            addZeros(out, 13);
            break;
        case 8:
            out = {f(s.menuMooredTimeUpdateVisible), f(s.menuMooredTimeUpdateChecked),
                   f(s.timeSourceVisible), f(s.timeSourceIndex)};
            break;
        case 9:
            out = {zero(), zero(), constant(1), f(s.autoStartShownChecked)};
            break;
        case 10:
            addZeros(out, 7);
            out.push_back(f(s.menuLoggerPortSetupVisible));
            break;
        case 11:
            addZeros(out, 9);
            break;
        case 12:
            addZeros(out, 15);
            break;
        case 13:
            out = {f(s.extractFilesIndex), f(s.rawSourceIndex), f(s.rawMuxId), f(s.rawPortIndex)};
            break;
        case 14:
            out = {f(s.deckRate), f(s.recordPcTime)};
            break;
        case 15:
            addAll(out, s.deckPort);
            break;
        case 16:
            addAll(out, s.deckSetup);
            break;
        case 17:
            addAll(out, s.portType);
            break;
        case 18:
            addAll(out, s.deckType);
            break;
        case 19:
            addAll(out, s.outPort);
            break;
        case 20:
            out = {zero(), zero()};
            addAll(out, s.replayVisible);
            out.push_back(f(s.replaySpeed));
            break;
        case 21:
            out = {f(s.modeVisible),   f(s.modeIndex),   f(s.fileVisible), f(s.fileIndex),
                   f(s.outputVisible), f(s.outputIndex), zero(),           zero()};
            break;
        case 22:
            out = {zero()};
            break;
        case 23:
            addAll(out, s.meterType);
            break;
        case 24:
            addAll(out, s.portSetup);
            break;
        case 25:
            addAll(out, s.serialOncePerHour);
            break;
        case 26:
            addAll(out, s.analog);
            break;
        case 27:
            addAll(out, s.analogOncePerHour);
            break;
        case 28:
            addAll(out, s.pump);
            break;
        case 29:
            addAll(out, s.pumpOncePerHour);
            break;
        case 30:
            out = {f(s.analogRate), f(s.lvCutOff), f(s.autoStart), f(s.dateAndTime)};
            break;
        case 31:
            addAll(out, s.samplingPosition);
            break;
        case 32:
            addAll(out, s.samplingEdit);
            break;
        case 33:
            addAll(out, s.samplingUnit);
            break;
        case 34:
            out = {f(s.finalModeIndex), f(s.finalFileIndex), f(s.finalOutputIndex),
                   f(s.finalTimeSourceIndex)};
            break;
        default:
            break;
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
    if (setup.activeHostMode < 1 || setup.activeHostMode > 8)
        setup.activeHostMode = -1;
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

// The dialogs' filter and default extension as operators know them ("description|pattern",
// "*.ext"), turned into the form the operator's file dialogs take: the description (which
// names its pattern in brackets) and the extension without "*.". Handing the pattern form on
// unchanged would filter out every file and save names ending in ".*.cvh".
constexpr std::string_view kHostSetupFilter = "CV Host Setup (*.cvh)|*.cvh";
constexpr std::string_view kHostSetupDefaultExtension = "*.cvh";

FileDialogRequest hostSetupDialog(std::string title) {
    std::string_view filter = kHostSetupFilter;
    filter = filter.substr(0, filter.find('|'));
    std::string_view extension = kHostSetupDefaultExtension;
    extension.remove_prefix(extension.find('.') + 1);
    return FileDialogRequest{std::move(title), std::string(filter), std::string(extension), ""};
}

}  // namespace

FileDialogRequest saveHostSetupDialog() {
    return hostSetupDialog("Save CV Host Program Setup");
}

FileDialogRequest openHostSetupDialog() {
    return hostSetupDialog("Open CV Host Program Setup");
}

}  // namespace cvh
