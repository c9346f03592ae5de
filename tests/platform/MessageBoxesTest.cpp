#include <gtest/gtest.h>

#include "MessageBoxes.h"

namespace {

using namespace platform;

TEST(MessageBoxes, RecordingFakeAnswersFromItsScriptThenPositively)
{
    RecordingMessageBoxes fake;
    fake.answers = {BoxAnswer::Cancel};
    ScopedMessageBoxes scope(fake);
    EXPECT_EQ(messageBoxes().show(kConfirmCaption, "Save?", BoxButtons::YesNoCancel, BoxIcon::Question),
              BoxAnswer::Cancel);
    EXPECT_EQ(showError("Bad"), BoxAnswer::Ok);
    EXPECT_EQ(messageBoxes().show(kConfirmCaption, "Again?", BoxButtons::YesNo, BoxIcon::Question), BoxAnswer::Yes);
    ASSERT_EQ(fake.boxes.size(), 3u);
    EXPECT_EQ(fake.boxes[1].caption, "Error! - Tolvane");
    EXPECT_EQ(fake.boxes[1].text, "Bad");
    EXPECT_EQ(fake.boxes[0].caption, "Confirm");
}

TEST(MessageBoxes, WithoutAnApplicationBoxesGoToStandardError)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(messageBoxes().show("Caption", "Text", BoxButtons::OkCancel, BoxIcon::Error), BoxAnswer::Ok);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: Text\n");
}

}  // namespace
