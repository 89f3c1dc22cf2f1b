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

// Record 9's third field is always 1.
constexpr int kConstantRecord = 9;
constexpr int kConstantField = 2;
constexpr std::int16_t kConstantValue = 1;

bool inLayout(int record, int field) {
    return record >= 1 && record <= kHostSetupRecordCount && field >= 0 &&
           field < kHostSetupFieldCounts[static_cast<std::size_t>(record)];
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

    for (int i = 0; i < count; ++i) {
        const std::size_t t = static_cast<std::size_t>(i) + 2;
        const auto value = t < tokens.size() ? parseInt(tokens[t], -32768, 32767) : std::nullopt;
        if (!value) {
            op.notice("Invalid Record in *.CVH File - The CVH File was NOT Loaded E4", line, true);
            return false;
        }
        setup.setValue(number, i, static_cast<std::int16_t>(*value));
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

HostSetup::HostSetup() {
    setValue(kConstantRecord, kConstantField, kConstantValue);
}

std::int16_t HostSetup::value(int record, int field) const {
    if (!inLayout(record, field))
        return 0;
    return values_[static_cast<std::size_t>(record)][static_cast<std::size_t>(field)];
}

void HostSetup::setValue(int record, int field, std::int16_t value) {
    if (inLayout(record, field))
        values_[static_cast<std::size_t>(record)][static_cast<std::size_t>(field)] = value;
}

std::string formatHostSetup(const HostSetup& setup) {
    std::string text = cformat("CV Host Version=%4.2f%c\n", kHostVersion, kHostVersionLetter);
    for (int record = 1; record <= kHostSetupRecordCount; ++record) {
        std::string line = cformat("%d %d", record, kHostSetupFieldCounts[record]);
        for (int field = 0; field < kHostSetupFieldCounts[record]; ++field)
            line += cformat(" %d", setup.value(record, field));
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
