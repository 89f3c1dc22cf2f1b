#include "files/annotation.h"

#include <algorithm>

#include "base/cformat.h"

namespace cvh {

std::string shortenAtCharacter(const std::string& text, std::size_t limit) {
    return text.size() <= limit ? text : text.substr(0, limit);
}

void WaterSampleAnnotation::startSample() {
    const int n = form.UDNext;
    currentSample_ = static_cast<std::int16_t>(n);
    const std::string text = cformat("Start Sample %1d", n);
    form.LBAnnotation = text;
    insertAnnotation(text);
    // The spinner stops at its maximum while the label shows the number that would follow.
    form.UDNext = std::min(n + 1, kMaxSampleNumber);
    form.LBNext = cformat("Next Water Sample:  %1d", n + 1);
}

void WaterSampleAnnotation::endSample() {
    const std::string text = cformat("End Sample %1d", currentSample_);
    form.LBAnnotation = text;
    insertAnnotation(text);
}

void WaterSampleAnnotation::insertTypedAnnotation() {
    const std::string text = shortenAtCharacter(form.EDITAnnotation, kAnnotationTextLimit);
    form.LBAnnotation = text;
    form.EDITAnnotation.clear();
    insertAnnotation(text);
}

void WaterSampleAnnotation::resetSampleCount() {
    form.UDNext = 1;
    form.LBNext = "Next Water Sample:  1";
    currentSample_ = 1;
}

void WaterSampleAnnotation::stepNextSample(int position) {
    form.UDNext = std::clamp(position, 1, kMaxSampleNumber);
    form.LBNext = cformat("Next Water Sample: %1d", form.UDNext);
}

void WaterSampleAnnotation::insertAnnotation(const std::string& text) {
    // A line the PC logger has not taken yet is lost: say so first, then stamp the new one, so
    // its time is the moment the operator's mark goes on its way.
    if (pending_) {
        pending_ = false;
        const std::string lost = pendingLine_;
        pendingLine_.clear();
        operator_.notice(kAnnotationLostCaption, lost, true);
    }
    std::string stamp;
    clock_.readClock(stamp);
    form.AnnotateDANDT = stamp;
    pendingLine_ = shortenAtCharacter(stamp + " " + text, kAnnotationLineLimit);
    pending_ = true;
}

std::optional<std::string> WaterSampleAnnotation::takePendingAnnotation() {
    if (!pending_)
        return std::nullopt;
    pending_ = false;
    std::string line = std::move(pendingLine_);
    pendingLine_.clear();
    return line;
}

}  // namespace cvh
