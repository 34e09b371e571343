// Thousands of random edits from a fixed seed, applied to a live control through its messages and
// to the bare model through its calls, each compared with a plain reference of bytes, caret,
// selection, column, pending nibble and first visible line after every step.
#include "tests/dialogs/HexEditFixture.h"
#include "tests/dialogs/HexEditRandomWalk.h"

#include "shd/HexDigits.h"

namespace {

CModel SeenModel(const CHexEditModel& model, const CModel& like)
{
    CModel seen = like;
    seen.data.assign(model.GetData(), model.GetData() + model.GetSize());
    seen.caret = model.GetCaret();
    seen.anchor = model.GetAnchor();
    seen.end = model.GetSelectionEnd();
    seen.top = model.GetTopOffset();
    seen.hex = model.IsHexColumnActive();
    seen.pending = model.IsLowNibblePending();
    return seen;
}

// The model alone, called as the control calls it.
class CModelSubject : public IHexEditSubject
{
public:
    CModelSubject(DWORD bytesPerLine, DWORD fullRows, DWORD rows)
    {
        m_model.SetLayout(bytesPerLine, fullRows, rows);
    }

    void SetData(const Bytes& bytes) override { m_model.SetBytes(bytes.data(), DWORD(bytes.size())); }
    void Char(wchar_t ch) override
    {
        if (!m_model.IsHexColumnActive())
            m_model.TypeByte(BYTE(ch));
        else if (HexDigitValue(ch) >= 0)
            m_model.TypeHexDigit(BYTE(HexDigitValue(ch)));
    }
    void SwitchColumn(bool toHex) override
    {
        m_model.ClearLowNibble();
        m_model.SetHexColumn(toHex);
        m_model.ScrollCaretIntoView();
    }
    void Key(UINT, CHexEditModel::EMove move) override { m_model.Move(move, false); }
    void DeletionKey(UINT key) override { m_model.DeleteKey(key == VK_BACK); }
    void Drag(DWORD from, DWORD to, bool hex) override
    {
        m_model.BeginSelection(from, hex);
        m_model.ExtendSelection(to);
        if (!m_model.HasSelection())
            m_model.ScrollCaretIntoView();
    }
    void ScrollLines(int lines) override { m_model.ScrollToLine(m_model.GetTopLine() + lines, false); }
    void SelectAll() override { m_model.SelectAll(); }
    void PasteHex(const Bytes& bytes, const std::wstring&) override
    {
        ASSERT_TRUE(m_model.Paste(bytes.data(), DWORD(bytes.size())));
    }
    void Cut() override { m_model.DeleteSelection(); }
    CModel Seen(const CModel& like) const override { return SeenModel(m_model, like); }
    DWORD Rows() const override { return m_model.GetRows(); }

private:
    CHexEditModel m_model;
};

} // namespace

// The control, driven as the user would: keys, characters, stylus, scroll bar, menu commands.
class HexEditModel : public HexEditTest, public IHexEditSubject
{
protected:
    void SetUp() override { CreateControl(3, 320, 110); }

    void SetData(const Bytes& bytes) override { HexEditTest::SetData(bytes); }
    void Char(wchar_t ch) override { SendMessageW(Hwnd(), WM_CHAR, ch, 1); }
    void SwitchColumn(bool toHex) override
    {
        SetShift(toHex);
        HexEditTest::Key(VK_TAB);
        SetShift(false);
    }
    void Key(UINT key, CHexEditModel::EMove) override { HexEditTest::Key(key); }
    void DeletionKey(UINT key) override { HexEditTest::Key(key); }
    void Drag(DWORD from, DWORD to, bool hex) override { HexEditTest::Drag(Cell(from, hex), Cell(to, hex)); }
    void ScrollLines(int lines) override
    {
        SendMessageW(Hwnd(), WM_VSCROLL, lines > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    }
    void SelectAll() override { Command(CHexEditCtrl::kSelectAll); }
    void PasteHex(const Bytes&, const std::wstring& text) override
    {
        ASSERT_TRUE(SetClipboardText(text));
        Command(CHexEditCtrl::kPasteHex);
    }
    void Cut() override { Command(CHexEditCtrl::kCut); }
    CModel Seen(const CModel& like) const override { return SeenModel(m_hex.GetModel(), like); }
    DWORD Rows() const override { return m_hex.GetRows(); }
};

TEST_F(HexEditModel, RandomEditsMatchAByteVectorModel)
{
    CModel model(m_hex.GetBytesPerLine(), m_hex.GetFullRows());
    model.visibleRows = m_hex.GetRows();
    ASSERT_EQ(3u, model.b);
    ASSERT_GT(model.rows, 2u);
    SWalkFigures figures = RunRandomWalk(*this, model, 4000, 20261208);
    EXPECT_EQ(0, PasteFailures());
    // The walk went where the risks are: scrolled views, selections, half-typed bytes.
    EXPECT_GT(figures.scrolled, 400);
    EXPECT_GT(figures.selected, 200);
    EXPECT_GT(figures.pending, 200);
    EXPECT_GT(figures.largest, 100u);
}

// The same walk on the model without a window, long enough to reach rare states, in a few
// line widths and heights: one line of many bytes, a partly visible last row, no full row.
TEST(HexEditBareModel, RandomEditsMatchAByteVectorModelWithoutAWindow)
{
    struct SLayout
    {
        DWORD b, fullRows, rows;
    } layouts[] = {{3, 6, 7}, {16, 1, 2}, {1, 3, 3}, {4, 0, 1}};
    for (const SLayout& layout : layouts) {
        SCOPED_TRACE(testing::Message() << layout.b << " bytes per line, rows " << layout.fullRows);
        CModel model(layout.b, layout.fullRows);
        model.visibleRows = layout.rows;
        CModelSubject subject(layout.b, layout.fullRows, layout.rows);
        SWalkFigures figures = RunRandomWalk(subject, model, 50000, 20261209 + layout.b);
        if (HasFatalFailure())
            return;
        EXPECT_GT(figures.scrolled, 5000);
        EXPECT_GT(figures.selected, 2500);
        EXPECT_GT(figures.pending, 2500);
    }
}
