// Water-sample annotation: the operator marks sample starts and ends, or types a note; each
// mark becomes one time-stamped line that the PC logger sends in the text slot ("Port 9") of
// its next packet, so it is recorded among the instrument data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/operator.h"
#include "files/pc_logger_packet_clock.h"

namespace cvh {

// The typed text is kept in 200 bytes including its end.
inline constexpr std::size_t kAnnotationTextLimit = 199;
// The pending line: time stamp, one blank, the text.
inline constexpr std::size_t kAnnotationLineLimit = 1127;
inline constexpr int kMaxSampleNumber = 1000;  // UDNext's maximum

inline constexpr const char* kAnnotationLostCaption =
    "Error - Unable to insert this record into the Archive File";

// The controls of the annotation window (TAnnotationForm), by their names.
struct AnnotationFormState {
    int UDNext = 1;  // the next sample number, 1..1000
    std::string LBNext = "Next Water Sample:  1";
    std::string EDITAnnotation = "Annotate Here";
    std::string AnnotateDANDT = "Date and Time";      // time stamp of the last annotation
    std::string LBAnnotation = "Last Annotation...";  // its text
    bool visible = false;
};

// Cuts `text` to at most `limit` characters. Annotation texts are Latin-1, one byte per
// character (the window hands them over so, and the archive carries them so), so every byte
// boundary is a character boundary and no character is lost before the limit.
std::string shortenAtCharacter(const std::string& text, std::size_t limit);

class WaterSampleAnnotation {
public:
    WaterSampleAnnotation(PCLoggerClock& clock, Operator& op) : clock_(clock), operator_(op) {}

    AnnotationFormState form;

    // Buttons and spinner of the window.
    void startSample();  // "Start Water Sample"
    void endSample();    // "End Water Sample"
    void
    insertTypedAnnotation();  // "Insert Annotation": the edit box's text, then the box is cleared
    void resetSampleCount();  // "Reset Sample Count"
    void stepNextSample(int position);
    void hide() { form.visible = false; }
    void show() { form.visible = true; }  // menu "Annotate Archive File"

    // Queues one line for the next PC-logger packet. Only one line waits at a time: a line
    // still waiting is reported with kAnnotationLostCaption and dropped.
    void insertAnnotation(const std::string& text);

    bool pending() const { return pending_; }
    const std::string& pendingLine() const { return pendingLine_; }
    // The waiting line, which stops waiting; nothing when none waits.
    std::optional<std::string> takePendingAnnotation();

    std::int16_t currentSample() const { return currentSample_; }

private:
    PCLoggerClock& clock_;
    Operator& operator_;
    std::int16_t currentSample_ = 1;  // the last started sample
    bool pending_ = false;
    std::string pendingLine_;
};

}  // namespace cvh
