#include "files/annotation.h"

#include <gtest/gtest.h>

#include "base/clock.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

class AnnotationTest : public ::testing::Test {
protected:
    AnnotationTest() {
        // 2024-03-05 14:05:09.37 UTC, zone UTC.
        clock.now = daysFromCivil(2024, 3, 5) * 86400 + 14 * 3600 + 5 * 60 + 9;
        clock.nowHundredths = 37;
    }
    // What the next PC-logger packet would carry, as its text after the time stamp.
    std::string sentText() {
        const auto line = annotation.takePendingAnnotation();
        if (!line)
            return "<nothing>";
        EXPECT_EQ(line->rfind(kStamp, 0), 0u) << *line;
        return line->substr(std::string(kStamp).size());
    }

    static constexpr const char* kStamp = "03/05/24\t14:05:09.370 ";
    FixedClock clock;
    PCLoggerClock pcClock{clock};
    test::ScriptedOperator op;
    WaterSampleAnnotation annotation{pcClock, op};
};

TEST_F(AnnotationTest, StartStartEndNumbersTheSamples) {
    annotation.startSample();
    EXPECT_EQ(sentText(), "Start Sample 1");
    annotation.startSample();
    EXPECT_EQ(sentText(), "Start Sample 2");
    annotation.endSample();
    EXPECT_EQ(sentText(), "End Sample 2");
    EXPECT_EQ(annotation.form.UDNext, 3);
    EXPECT_EQ(annotation.form.LBNext, "Next Water Sample:  3");
    EXPECT_EQ(annotation.form.LBAnnotation, "End Sample 2");
    EXPECT_EQ(annotation.form.AnnotateDANDT, "03/05/24\t14:05:09.370");
    EXPECT_TRUE(op.asked.empty());
}

TEST_F(AnnotationTest, EndBeforeStartAndAfterResetEndsSampleOne) {
    annotation.endSample();
    EXPECT_EQ(sentText(), "End Sample 1");
    annotation.startSample();
    annotation.startSample();
    annotation.takePendingAnnotation();
    annotation.resetSampleCount();
    EXPECT_EQ(annotation.form.UDNext, 1);
    EXPECT_EQ(annotation.form.LBNext, "Next Water Sample:  1");
    annotation.endSample();
    EXPECT_EQ(sentText(), "End Sample 1");
}

TEST_F(AnnotationTest, SpinnerStaysAtItsMaximum) {
    annotation.stepNextSample(1000);
    EXPECT_EQ(annotation.form.LBNext, "Next Water Sample: 1000");  // one blank from the spinner
    annotation.startSample();
    EXPECT_EQ(sentText(), "Start Sample 1000");
    EXPECT_EQ(annotation.form.UDNext, 1000);
    EXPECT_EQ(annotation.form.LBNext, "Next Water Sample:  1001");
    annotation.startSample();
    EXPECT_EQ(sentText(), "Start Sample 1000");
}

TEST_F(AnnotationTest, InsertAnnotationSendsTheEditTextAndClearsIt) {
    annotation.form.EDITAnnotation = "CTD cast 4";
    annotation.insertTypedAnnotation();
    EXPECT_EQ(annotation.form.EDITAnnotation, "");
    EXPECT_EQ(annotation.form.LBAnnotation, "CTD cast 4");
    EXPECT_EQ(sentText(), "CTD cast 4");
    // An empty box still marks the moment: the time stamp and one blank.
    annotation.insertTypedAnnotation();
    EXPECT_EQ(annotation.takePendingAnnotation(), std::string(kStamp));
    EXPECT_FALSE(annotation.takePendingAnnotation().has_value());
}

TEST_F(AnnotationTest, SecondInsertReportsAndDropsTheWaitingLine) {
    annotation.startSample();
    annotation.endSample();
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption,
              "Error - Unable to insert this record into the Archive File");
    EXPECT_EQ(op.notices()[0].text, std::string(kStamp) + "Start Sample 1");
    EXPECT_EQ(op.beeps, 1);
    EXPECT_EQ(sentText(), "End Sample 1");
}

TEST_F(AnnotationTest, TheNewLineIsStampedAfterTheLostLineNoticeWasClosed) {
    annotation.startSample();
    op.whileShown = [this](const test::Asked&) { clock.now += 5; };
    annotation.endSample();
    EXPECT_EQ(annotation.form.AnnotateDANDT, "03/05/24\t14:05:14.370");
}

TEST_F(AnnotationTest, LongTextIsShortenedAtACharacter) {
    // Latin-1 text, one byte a character: a degree sign (0xB0) at the limit stays whole, and
    // signs of the upper half are never taken for parts of a longer character.
    annotation.form.EDITAnnotation = std::string(198, 'a') + "\xB0" + "tail";
    annotation.insertTypedAnnotation();
    EXPECT_EQ(sentText(), std::string(198, 'a') + "\xB0");
    EXPECT_EQ(shortenAtCharacter("abc", 5), "abc");
    EXPECT_EQ(shortenAtCharacter(std::string(250, '\xB1'), 199), std::string(199, '\xB1'));
}

TEST_F(AnnotationTest, WindowKeepsItsStateWhileHidden) {
    annotation.show();
    annotation.startSample();
    annotation.hide();
    EXPECT_FALSE(annotation.form.visible);
    EXPECT_TRUE(annotation.pending());
    EXPECT_EQ(annotation.form.UDNext, 2);
}

}  // namespace
}  // namespace cvh
