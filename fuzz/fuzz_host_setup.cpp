// Host setup files come from disk and the operator's file dialog: any bytes must be checked,
// reported at most once, and never read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/host_setup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cvh::NullOperator op;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const cvh::HostSetupLoad load = cvh::parseHostSetup(text, op);
    // A load either succeeds silently or fails with exactly one notice.
    if (load.loaded() == (op.notices != 0) || op.notices > 1)
        __builtin_trap();
    if (load.loaded()) {
        // What was read writes back to a file that reads the same.
        cvh::NullOperator again;
        const cvh::HostSetupLoad reread =
            cvh::parseHostSetup(cvh::formatHostSetup(*load.setup), again);
        if (!reread.loaded() || again.notices != 0)
            __builtin_trap();
    }
    return 0;
}
