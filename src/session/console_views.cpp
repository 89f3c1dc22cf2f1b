#include "session/console_views.h"

#include "base/cformat.h"

namespace cvh {

MainWindowView::MainWindowView() {
    for (std::size_t i = 0; i < menu.size(); ++i) {
        menu[i].caption = kMenuTable[i].caption;
        menu[i].visible = kMenuTable[i].visibleAtStart;
        menu[i].checked = kMenuTable[i].checkedAtStart;
    }
    // As designed, every page shows until a mode is chosen.
    pageVisible.fill(true);
    pageVisible[static_cast<std::size_t>(pageIndex(Page::PlotSetup))] = false;
}

DataStatusView::DataStatusView() {
    for (int i = 0; i < 8; ++i) {
        auto& row = PortRowTable[static_cast<std::size_t>(i)];
        row.name = {cformat("Port %d:", i + 1)};
        row.rateCaption = {"Bytes/Second:"};
        row.sizeCaption = {"File Size:"};
        row.typeName = {"OFF"};
        row.rate = {"0"};
        row.fileSize = {"0 K"};
    }
    for (int i = 0; i < 7; ++i) {
        auto& pair = AnalogRowTable[static_cast<std::size_t>(i)];
        pair.name = {cformat("A%d:", i + 1)};
        pair.value = {"0.000"};
    }
    AnalogRowTable[7].name = {"Analog File Size:  "};
    AnalogRowTable[7].value = {"0"};
    for (int i = 0; i < 8; ++i) {
        DSPCPort[static_cast<std::size_t>(i)] = {cformat("Port %d:", i + 1), false};
        PCPort[static_cast<std::size_t>(i)] = cformat("Port %d:", i + 1);
    }
}

}  // namespace cvh
