#include "base/file_dialog.h"

namespace cvh {

FileDialogRequest fileDialogRequest(std::string title, std::string_view filter,
                                    std::string_view defaultExtension) {
    std::string entries;
    // Descriptions stand at the even places of the pair list.
    for (bool description = true; !filter.empty(); description = !description) {
        const std::size_t bar = filter.find('|');
        const std::string_view part = filter.substr(0, bar);
        if (description) {
            if (!entries.empty())
                entries += ";;";
            entries += part;
        }
        filter.remove_prefix(bar == std::string_view::npos ? filter.size() : bar + 1);
    }
    if (const std::size_t dot = defaultExtension.find('.'); dot != std::string_view::npos)
        defaultExtension.remove_prefix(dot + 1);
    return FileDialogRequest{std::move(title), std::move(entries), std::string(defaultExtension),
                             ""};
}

}  // namespace cvh
