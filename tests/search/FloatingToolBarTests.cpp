// The floating toolbar at 96 dpi: size and hit test, press tracking and the commands it sends,
// dragging inside the parent, KeepInside, and the image painted for each button state.
#include "search/FloatingToolBar.h"
#include "shd/ScreenScale.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

COLORREF ImageColour(int image)
{
    return RGB(20 * image + 10, 200 - 15 * image, 60 + image);
}

// Ten solid 24x24 images of distinct colours.
HIMAGELIST SolidImages()
{
    HIMAGELIST images = ImageList_Create(24, 24, ILC_COLOR24 | ILC_MASK, 10, 0);
    HDC screen = GetDC(nullptr);
    for (int image = 0; image < 10; ++image) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 24);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(ImageColour(image));
        RECT rect = {0, 0, 24, 24};
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        SelectObject(dc, previous);
        DeleteDC(dc);
        ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return images;
}

class CParentWnd : public CShdWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND) {
            commands.push_back(LOWORD(wParam));
            sources.push_back(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        return CShdWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> commands;
    std::vector<HWND> sources;
};

class FloatingToolBar : public testing::Test
{
protected:
    void SetUp() override
    {
        OverrideLogPixels(96, 96);
        ASSERT_TRUE(
            m_parent.Create(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, 0, nullptr));
        m_toolbar.reset(new CFloatingToolBar);
        ASSERT_TRUE(m_toolbar->Create(m_parent.GetHwnd(), 106, 10, 10, 50, 50));
        m_toolbar->SetImageList(SolidImages());
        m_toolbar->AddButton(40147, 4, 4, 5);
        m_toolbar->AddButton(40152, 2, 2, 3);
        m_toolbar->AddButton(40143, 8, 8, 9);
        m_toolbar->AddButton(40149, 6, 6, 7);
        ShowWindow(m_toolbar->GetHwnd(), SW_SHOW);
    }
    void TearDown() override
    {
        m_toolbar.reset();
        OverrideLogPixels(0, 0);
    }

    HWND Bar() const { return m_toolbar->GetHwnd(); }
    void Mouse(UINT message, int x, int y)
    {
        SendMessageW(Bar(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Click(int x, int y)
    {
        Mouse(WM_LBUTTONDOWN, x, y);
        Mouse(WM_LBUTTONUP, x, y);
    }
    POINT Position() const
    {
        RECT rect;
        GetWindowRect(Bar(), &rect);
        POINT topLeft = {rect.left, rect.top};
        MapWindowPoints(nullptr, m_parent.GetHwnd(), &topLeft, 1);
        return topLeft;
    }
    void ResizeParent(int width, int height)
    {
        SetWindowPos(m_parent.GetHwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }
    // The toolbar painted into a bitmap; the colour at a client point.
    COLORREF PaintedPixel(int x, int y)
    {
        RECT client;
        GetClientRect(Bar(), &client);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        m_toolbar->Paint(dc);
        COLORREF colour = GetPixel(dc, x, y);
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return colour;
    }
    COLORREF ButtonCentre(int index)
    {
        RECT rect = m_toolbar->GetButtonRect(index);
        return PaintedPixel((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }

    CParentWnd m_parent;
    std::unique_ptr<CFloatingToolBar> m_toolbar;
};

// At 96 dpi: grip 24 wide (6 + 3 x 4 + 2 x 2 + 2), buttons 26 x 26 from x = 27, 2 apart,
// 5 from the top, right border 6.
const int kFirstButton = 27, kButton = 26, kGap = 2, kTop = 5;

} // namespace

TEST_F(FloatingToolBar, SizeAndHitTestFollowTheMetrics)
{
    SIZE size = m_toolbar->CalcSize();
    EXPECT_EQ(24 + 3 + 4 * kButton + 3 * kGap + 6, size.cx);
    EXPECT_EQ(kButton + 2 * kTop, size.cy);

    auto hit = [this](int x, int y) { return m_toolbar->HitTest(POINT{x, y}); };
    EXPECT_EQ(CFloatingToolBar::HitGrip, hit(23, 20));
    EXPECT_EQ(CFloatingToolBar::HitNone, hit(25, 20)); // before the first button
    EXPECT_EQ(0, hit(kFirstButton, kTop));
    EXPECT_EQ(0, hit(kFirstButton + kButton - 1, kTop + kButton - 1));
    EXPECT_EQ(CFloatingToolBar::HitNone, hit(kFirstButton, kTop - 1));
    EXPECT_EQ(CFloatingToolBar::HitNone, hit(kFirstButton + kButton, 15)); // the gap
    EXPECT_EQ(1, hit(kFirstButton + kButton + kGap, 15));
    EXPECT_EQ(CFloatingToolBar::HitNone, hit(size.cx - 2, 15)); // right border
    EXPECT_EQ(CFloatingToolBar::HitNone, hit(-1, 15));
}

TEST_F(FloatingToolBar, ReleaseOverThePressedButtonOnlySendsItsCommand)
{
    int x = kFirstButton + 2 * (kButton + kGap) + 5, y = 15; // button 2
    m_toolbar->SetButtonImages(2, 8, 9, 9);
    Mouse(WM_LBUTTONDOWN, x, y);
    EXPECT_EQ(2, m_toolbar->GetPressedButton());
    EXPECT_EQ(Bar(), GetCapture());
    EXPECT_EQ(ImageColour(9), ButtonCentre(2)); // the pressed image while pressed and inside
    Mouse(WM_MOUSEMOVE, x, 60);                 // off
    EXPECT_FALSE(m_toolbar->IsPressedInside());
    EXPECT_EQ(ImageColour(8), ButtonCentre(2));
    Mouse(WM_LBUTTONUP, x, 60);
    EXPECT_TRUE(m_parent.commands.empty());
    EXPECT_EQ(nullptr, GetCapture());

    Mouse(WM_LBUTTONDOWN, x, y);
    Mouse(WM_MOUSEMOVE, kFirstButton + 5, y); // onto another button: still outside
    EXPECT_FALSE(m_toolbar->IsPressedInside());
    Mouse(WM_MOUSEMOVE, x + 3, y); // back on
    EXPECT_TRUE(m_toolbar->IsPressedInside());
    Mouse(WM_LBUTTONUP, x + 3, y);
    ASSERT_EQ(1u, m_parent.commands.size());
    EXPECT_EQ(40143u, m_parent.commands[0]);
    EXPECT_EQ(Bar(), m_parent.sources[0]);
    EXPECT_EQ(-1, m_toolbar->GetPressedButton());

    // Released over a different button: nothing.
    Mouse(WM_LBUTTONDOWN, x, y);
    Mouse(WM_LBUTTONUP, kFirstButton + 3 * (kButton + kGap) + 5, y);
    EXPECT_EQ(1u, m_parent.commands.size());

    // Losing the capture ends the press without a command.
    Mouse(WM_LBUTTONDOWN, x, y);
    ReleaseCapture();
    EXPECT_EQ(-1, m_toolbar->GetPressedButton());
    Mouse(WM_LBUTTONUP, x, y);
    EXPECT_EQ(1u, m_parent.commands.size());
}

TEST_F(FloatingToolBar, GapsAndDisabledButtonsDoNothing)
{
    Click(kFirstButton + kButton + 1, 15); // between buttons 0 and 1
    Click(kFirstButton + 5, 2);            // above button 0
    EXPECT_TRUE(m_parent.commands.empty());
    EXPECT_EQ(nullptr, GetCapture());

    m_toolbar->EnableButton(0, false);
    m_toolbar->EnableButton(1, false);
    m_toolbar->EnableButton(7, false); // ignored
    Click(kFirstButton + 5, 15);
    Click(kFirstButton + kButton + kGap + 5, 15);
    EXPECT_TRUE(m_parent.commands.empty());
    EXPECT_EQ(ImageColour(5), ButtonCentre(0));
    EXPECT_EQ(ImageColour(3), ButtonCentre(1));
    EXPECT_EQ(ImageColour(8), ButtonCentre(2));

    m_toolbar->EnableButton(0, true);
    m_toolbar->SetButtonImages(0, 0, -1, 1); // resume, pressed image kept
    EXPECT_EQ(ImageColour(0), ButtonCentre(0));
    EXPECT_EQ(4, m_toolbar->GetButton(0)->pressedImage);
    Click(kFirstButton + 5, 15);
    ASSERT_EQ(1u, m_parent.commands.size());
    EXPECT_EQ(40147u, m_parent.commands[0]);
}

TEST_F(FloatingToolBar, DragStaysInsideTheParent)
{
    SIZE size = m_toolbar->CalcSize();
    POINT start = Position();
    Mouse(WM_LBUTTONDOWN, 5, 10);
    EXPECT_TRUE(m_toolbar->IsDragging());
    Mouse(WM_MOUSEMOVE, 5 + 30, 10 + 20);
    EXPECT_EQ(start.x + 30, Position().x);
    EXPECT_EQ(start.y + 20, Position().y);
    // Client coordinates follow the window: a further 1000 beyond the start reaches the edges.
    Mouse(WM_MOUSEMOVE, 5 + 1000, 10 + 1000);
    EXPECT_EQ(300 - size.cx, Position().x);
    EXPECT_EQ(200 - size.cy, Position().y);
    POINT corner = Position();
    Mouse(WM_LBUTTONUP, 5 - corner.x - 50, 10 - corner.y - 50);
    EXPECT_EQ(0, Position().x);
    EXPECT_EQ(0, Position().y);
    EXPECT_FALSE(m_toolbar->IsDragging());
    EXPECT_TRUE(m_parent.commands.empty());
}

TEST_F(FloatingToolBar, SetPositionCountsFromTheEdgesAndKeepInsideFollowsTheParent)
{
    SIZE size = m_toolbar->CalcSize();
    m_toolbar->SetPosition(-20, -20);
    EXPECT_EQ(300 - size.cx - 20, Position().x);
    EXPECT_EQ(200 - size.cy - 20, Position().y);
    ResizeParent(160, 120);
    m_toolbar->KeepInside();
    EXPECT_EQ(160 - size.cx, Position().x);
    EXPECT_EQ(120 - size.cy, Position().y);
    ResizeParent(100, 20); // smaller than the toolbar: top-left
    m_toolbar->KeepInside();
    EXPECT_EQ(0, Position().x);
    EXPECT_EQ(0, Position().y);
    m_toolbar->SetPosition(5, 500);
    EXPECT_EQ(0, Position().y);
}
