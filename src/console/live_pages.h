// The two live pages: "Data Status" (port rows, analog voltages, PC-logger lines) and "Real
// Time Data" (the text view with its selectors and the send line).
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace cvh {

class HostSession;

class DataStatusPage : public QWidget {
    Q_OBJECT
public:
    explicit DataStatusPage(QWidget* parent = nullptr);
    void refresh(const HostSession& session);

private:
    struct Row {
        std::array<QLabel*, 6> labels{};  // name, rate caption, size caption, type, rate, size
        QLabel* silence = nullptr;        // the seconds of silence while the port is flagged
    };
    void showSilence(const HostSession& session);
    std::array<Row, 8> ports_{};
    std::array<std::array<QLabel*, 2>, 8> analog_{};  // seven pairs and the file pair
    QLabel* LBSerial;
    QLabel* LBAnalog;
    QLabel* SilentAnalogLabel;
    QLabel* DSPCPorts;
    std::array<QLabel*, 8> DSPCPort{};
};

class RealTimePage : public QWidget {
    Q_OBJECT
public:
    explicit RealTimePage(QWidget* parent = nullptr);
    void refresh(const HostSession& session);

    QPlainTextEdit* Memo1;
    QLineEdit* EditSendText;
    QPushButton* BTSendText;
    QPushButton* BTDisplayRaw;
    QPushButton* BTResetCounters;
    QComboBox* RawSourceCB;
    QComboBox* RawPortCB;
    QSpinBox* RawMuxIDUD;
    QLabel* RawMuxIDLB;
    QLabel* LBTimeUnit;
    std::array<QLabel*, 4> LBUnit{};

signals:
    void enterPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::uint64_t shownLines_ = 0;  // Memo1's lines appended to the box so far
};

}  // namespace cvh
