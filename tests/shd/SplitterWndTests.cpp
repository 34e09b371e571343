// The splitter's notifications for clicks, drags, lost capture and arrow keys.
#include "shd/ScreenScale.h"
#include "shd/SplitterWnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SNotification
{
    WPARAM phase;
    short dx;
    short dy;
};

class CTargetWnd : public CShdWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 1) {
            received.push_back({wParam, short(LOWORD(lParam)), short(HIWORD(lParam))});
            return 0;
        }
        return CShdWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<SNotification> received;
};

class SplitterWnd : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            m_target.Create(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 300, nullptr, 0, nullptr));
        ASSERT_TRUE(
            m_splitter.Create(true, WS_CHILD | WS_VISIBLE, 0, 100, 240, 6, m_target.GetHwnd(), 103, nullptr));
        m_splitter.SetNotify(m_target.GetHwnd(), WM_USER + 1);
    }

    void Send(UINT message, int x, int y)
    {
        SendMessageW(m_splitter.GetHwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(x, y));
    }
    void Key(UINT key) { SendMessageW(m_splitter.GetHwnd(), WM_KEYDOWN, key, 0); }
    const std::vector<SNotification>& Received() const { return m_target.received; }

    CTargetWnd m_target;
    CSplitterWnd m_splitter;
};

} // namespace

TEST_F(SplitterWnd, ClickWithoutMovementGivesBeginAndEndWithZero)
{
    Send(WM_LBUTTONDOWN, 10, 3);
    EXPECT_TRUE(IsWindowVisible(m_splitter.GetDragHwnd()));
    Send(WM_LBUTTONUP, 10, 3);
    ASSERT_EQ(2u, Received().size());
    EXPECT_EQ(1u, Received()[0].phase);
    EXPECT_EQ(3u, Received()[1].phase);
    EXPECT_EQ(0, Received()[1].dx);
    EXPECT_EQ(0, Received()[1].dy);
    EXPECT_FALSE(IsWindowVisible(m_splitter.GetDragHwnd()));
    EXPECT_FALSE(m_splitter.IsDragging());
}

TEST_F(SplitterWnd, DragReportsOffsetsAlongTheMovingAxisAndMovesTheFeedbackBar)
{
    Send(WM_LBUTTONDOWN, 10, 3);
    Send(WM_MOUSEMOVE, 50, -37); // up by 40; the sideways move is ignored
    ASSERT_EQ(2u, Received().size());
    EXPECT_EQ(2u, Received()[1].phase);
    EXPECT_EQ(0, Received()[1].dx);
    EXPECT_EQ(-40, Received()[1].dy);
    RECT drag;
    GetWindowRect(m_splitter.GetDragHwnd(), &drag);
    MapWindowPoints(nullptr, m_target.GetHwnd(), reinterpret_cast<POINT*>(&drag), 2);
    EXPECT_EQ(60, drag.top);
    EXPECT_EQ(0, drag.left);
    Send(WM_LBUTTONUP, 12, 23);
    ASSERT_EQ(3u, Received().size());
    EXPECT_EQ(3u, Received()[2].phase);
    EXPECT_EQ(20, Received()[2].dy);

    m_splitter.MoveBy(99, 20); // only along the moving axis
    RECT bar;
    GetWindowRect(m_splitter.GetHwnd(), &bar);
    MapWindowPoints(nullptr, m_target.GetHwnd(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(0, bar.left);
    EXPECT_EQ(120, bar.top);
    EXPECT_EQ(6, bar.bottom - bar.top);
}

TEST_F(SplitterWnd, LostCaptureEndsTheDragWithTheOffsetReached)
{
    m_splitter.SetHorizontal(false);
    Send(WM_LBUTTONDOWN, 3, 10);
    Send(WM_MOUSEMOVE, 33, 90);
    ReleaseCapture(); // as a message box taking the capture would
    SendMessageW(m_splitter.GetHwnd(), WM_CAPTURECHANGED, 0, 0);
    ASSERT_EQ(3u, Received().size());
    EXPECT_EQ(3u, Received()[2].phase);
    EXPECT_EQ(30, Received()[2].dx);
    EXPECT_EQ(0, Received()[2].dy);
    Send(WM_LBUTTONUP, 50, 50); // no longer dragging: nothing
    EXPECT_EQ(3u, Received().size());
}

TEST_F(SplitterWnd, ArrowKeysOfTheMovingAxisOnly)
{
    Key(VK_LEFT);
    Key(VK_RIGHT);
    EXPECT_TRUE(Received().empty());
    Key(VK_UP);
    Key(VK_DOWN);
    ASSERT_EQ(4u, Received().size());
    EXPECT_EQ(1u, Received()[0].phase);
    EXPECT_EQ(3u, Received()[1].phase);
    EXPECT_EQ(-ScaleY(5), Received()[1].dy);
    EXPECT_EQ(ScaleY(5), Received()[3].dy);

    m_splitter.SetHorizontal(false);
    Key(VK_UP);
    Key(VK_LEFT);
    ASSERT_EQ(6u, Received().size());
    EXPECT_EQ(-ScaleX(5), Received()[5].dx);
    EXPECT_EQ(0, Received()[5].dy);
}

TEST_F(SplitterWnd, WithoutTargetDragShowsFeedbackAndKeysDoNothing)
{
    m_splitter.SetNotify(nullptr, 0);
    Key(VK_DOWN);
    Send(WM_LBUTTONDOWN, 10, 3);
    EXPECT_TRUE(IsWindowVisible(m_splitter.GetDragHwnd()));
    Send(WM_MOUSEMOVE, 10, 30);
    Send(WM_LBUTTONUP, 10, 30);
    EXPECT_FALSE(IsWindowVisible(m_splitter.GetDragHwnd()));
    EXPECT_TRUE(Received().empty());
    EXPECT_FALSE(m_splitter.Create(true, WS_CHILD, 0, 0, 1, 1, m_target.GetHwnd(), 1, nullptr));
}
