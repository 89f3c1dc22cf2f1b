#ifndef CVH_CONSOLE_PAGE_PC_LOGGER_H
#define CVH_CONSOLE_PAGE_PC_LOGGER_H

#include <QWidget>

namespace cvh {

// The "PC-Logger" page: eight PC port slots, each with its function (PortType1CB..8), COM port
// (DeckPort1CB..8), line choice (DeckSetup1CB..8) and, for a logger output, the source logger ID
// (UDDeckType1..8, LBDeckType1..8) and source port (UDOutPort1..8, PCOutPort1..8); the deck rate
// (UDDeckRate, LBDeckRate, LBDeckInterval), "Add PC Time to Port 9 " and the load, restore and
// clear buttons. Every control carries its component name as objectName.
class PcLoggerPage : public QWidget {
    Q_OBJECT
public:
    explicit PcLoggerPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
