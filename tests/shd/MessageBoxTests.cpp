// Every box carries the caption and MB_SETFOREGROUND; only IDYES counts as yes.
#include "shd/MessageBox.h"
#include "tests/support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

TEST(ShdMessageBox, StylesAndAnswers)
{
    CMessageBoxRecorder recorder;
    ShowInfoMessage(nullptr, L"Done.");
    recorder.QueueAnswer(IDOK); // anything but IDYES is no
    EXPECT_FALSE(AskQuestion(nullptr, L"Sure?"));
    recorder.QueueAnswer(IDYES);
    EXPECT_TRUE(AskQuestion(nullptr, L"Sure?"));
    EXPECT_EQ(IDOK, ShdMessageBox(nullptr, L"raw", MB_OK));
    ASSERT_EQ(4u, recorder.Count());
    for (const auto& message : recorder.Messages())
        EXPECT_EQ(CString(L"Hivelet"), message.caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND), recorder.Messages()[0].style);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), recorder.Messages()[1].style);
    EXPECT_EQ(UINT(MB_OK | MB_SETFOREGROUND), recorder.Messages()[3].style);
}

TEST(ShdMessageBox, RecorderRestoresThePreviousSink)
{
    CMessageBoxRecorder outer;
    {
        CMessageBoxRecorder inner;
        ShowErrorMessage(nullptr, L"inner");
        EXPECT_EQ(1u, inner.Count());
    }
    ShowErrorMessage(nullptr, L"outer");
    EXPECT_EQ(1u, outer.Count());
    EXPECT_EQ(CString(L"outer"), outer.Text(0));
}
