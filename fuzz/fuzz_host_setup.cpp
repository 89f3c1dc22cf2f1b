// Host setup files come from disk and the operator's file dialog: any bytes must be checked,
// reported at most once, and never read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/host_setup_file.h"

namespace {

class SilentOperator final : public cvh::Operator {
public:
    int notices = 0;
    void notice(const std::string&, const std::string&, bool) override { ++notices; }
    cvh::Answer askOkCancel(const std::string&, const std::string&, cvh::Icon, bool) override {
        return cvh::Answer::Cancel;
    }
    cvh::Answer askYesNo(const std::string&, const std::string&, cvh::Icon, bool) override {
        return cvh::Answer::No;
    }
    cvh::Answer askYesNoCancel(const std::string&, const std::string&, cvh::Icon) override {
        return cvh::Answer::Cancel;
    }
    std::optional<std::string> openFile(const cvh::FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const cvh::FileDialogRequest&) override { return {}; }
    void beep() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SilentOperator op;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const cvh::HostSetupLoad load = cvh::parseHostSetup(text, op);
    // A load either succeeds silently or fails with exactly one notice.
    if (load.loaded() == (op.notices != 0) || op.notices > 1)
        __builtin_trap();
    if (load.loaded()) {
        // What was read writes back to a file that reads the same.
        SilentOperator again;
        const cvh::HostSetupLoad reread =
            cvh::parseHostSetup(cvh::formatHostSetup(*load.setup), again);
        if (!reread.loaded() || again.notices != 0)
            __builtin_trap();
    }
    return 0;
}
