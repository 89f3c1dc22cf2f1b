// Directory entries and upload blocks as the logger might send them, mixed with the operator's
// buttons and the timers, through the run directory and the upload. Run files go to a scratch
// folder; commands go to a closed port and are dropped.
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "base/clock.h"
#include "files/run_upload.h"
#include "link/run_directory_record.h"
#include "link/serial_port_table.h"

namespace {

using namespace cvh;

class NoPorts : public SerialBackend {
public:
    std::unique_ptr<SerialDevice> open(const std::string&) override { return nullptr; }
    bool exists(const std::string&) const override { return false; }
};

// Confirms every dialog in the scratch folder and answers every question at random.
class FuzzOperator final : public Operator {
public:
    std::filesystem::path folder;
    std::uint8_t answer = 0;
    void notice(const std::string&, const std::string&, bool) override {}
    Answer askOkCancel(const std::string&, const std::string&, Icon, bool) override {
        return answer & 1 ? Answer::Ok : Answer::Cancel;
    }
    Answer askYesNo(const std::string&, const std::string&, Icon, bool) override {
        return answer & 1 ? Answer::Yes : Answer::No;
    }
    Answer askYesNoCancel(const std::string&, const std::string&, Icon) override {
        return answer % 3 == 0 ? Answer::Yes : answer % 3 == 1 ? Answer::No : Answer::Cancel;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override {
        return (folder / "run.xxx").string();
    }
    void beep() override {}
};

// A folder of its own under the system's temporary directory, removed when the fuzzer ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fuzz_upload_XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ec);
    }
    std::filesystem::path path() const { return path_.empty() ? "." : path_; }

private:
    std::filesystem::path path_;
};

std::filesystem::path scratchFolder() {
    static const ScratchFolder folder;
    return folder.path();
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    // Up to `n` bytes, zero-padded to exactly `n`.
    std::vector<std::uint8_t> take(std::size_t n) {
        std::vector<std::uint8_t> out(n, 0);
        const std::size_t k = std::min(n, size_ - std::min(at_, size_));
        std::copy_n(data_ + at_, k, out.begin());
        at_ += k;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The closed port table is built once: its 260 port names cost more than most inputs.
    static NoPorts backend;
    static FuzzOperator op;
    static SerialPortTable table(backend, op);
    static LoggerCommands commands(table, op);
    op.folder = scratchFolder();
    op.answer = 0;
    // Every finished or cancelled run appends a line to the log: left alone over ten million
    // inputs it grows by gigabytes.
    std::error_code ec;
    std::filesystem::remove(op.folder / "upload.log", ec);
    FixedClock clock;
    RunUpload upload(commands, op, clock, nullptr);

    Input in(data, size);
    while (!in.empty()) {
        switch (in.byte() % 9) {
            case 0:  // a directory entry as it came off the line
                upload.onDirectoryEntry(in.take(kDirectoryEntryLength));
                break;
            case 1: {  // a well-formed block: number, data length, data
                const auto head = in.take(3);
                const std::size_t length = std::min<std::size_t>(
                    kUploadDataCapacity, static_cast<std::size_t>(head[2]) * 8);
                const auto payload = in.take(length);
                if (const auto block = encodeUploadBlock(
                        static_cast<std::uint16_t>(head[0] | head[1] << 8), payload))
                    upload.onUploadBlock(*block);
                break;
            }
            case 2:  // any 1036 bytes as a block
                upload.onUploadBlock(in.take(kUploadBlockLength));
                break;
            case 3:
                upload.onTimeoutTick();
                break;
            case 4:
                upload.pacingStep();
                break;
            case 5:
                upload.cancelUpload();
                break;
            case 6: {
                std::vector<int> lines;
                for (int n = in.byte() % 4; n > 0; --n)
                    lines.push_back(static_cast<int>(in.byte()) - 8);
                upload.startUpload(lines, static_cast<int>(in.byte() % 3) - 1, 1);
                break;
            }
            case 7:
                upload.requestDirectory(in.byte() & 1 ? 9 : 2, "logger");
                break;
            case 8:
                op.answer = in.byte();
                upload.clearMemory();
                break;
        }
        // The page's view of the facts must stay within the list and the bar.
        const UploadFacts& f = upload.facts();
        if (f.progressPosition < 0 || f.progressMaximum < 0 || f.received < 0 ||
            upload.directory().entryCount() > kRunDirectoryCapacity)
            __builtin_trap();
    }
    return 0;
}
