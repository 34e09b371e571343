// Thousands of random edits from a fixed seed, applied to a live control and to a plain model of
// bytes, caret, selection, column, pending nibble and first visible line; compared after each.
#include "tests/dialogs/HexEditFixture.h"

#include "shd/HexDigits.h"

#include <algorithm>
#include <random>
#include <sstream>

namespace {

class CModel
{
public:
    CModel(DWORD bytesPerLine, DWORD fullRows) : b(bytesPerLine), rows(fullRows) {}

    Bytes data;
    DWORD caret = 0, anchor = 0, end = 0, top = 0;
    bool hex = true, pending = false;

    DWORD Size() const { return DWORD(data.size()); }
    DWORD Low() const { return std::min(anchor, end); }
    DWORD High() const { return std::max(anchor, end); }
    bool HasSelection() const { return anchor != end; }

    void SetCaret(DWORD position)
    {
        caret = anchor = end = position;
        pending = false;
    }
    void ScrollIntoView()
    {
        if (caret >= top && rows > 0) {
            if (caret >= top + rows * b)
                top = (caret - (rows - 1) * b) / b * b;
        } else {
            top = caret / b * b;
        }
    }
    DWORD Page() const { return std::max<DWORD>(rows, 1); }
    DWORD Maximum() const { return std::max((Size() + b - 1) / b, Page() - 1); }
    void Rebuild() { top = std::min(Maximum() - Page() + 1, top / b) * b; }
    void DeleteSelection()
    {
        DWORD low = Low(), high = std::min(High(), Size());
        if (low >= high)
            return;
        data.erase(data.begin() + low, data.begin() + high);
        SetCaret(low);
        ScrollIntoView();
        Rebuild();
    }
    void TypeHex(BYTE digit)
    {
        DeleteSelection();
        if (pending && caret < Size()) {
            data[caret] = BYTE((data[caret] & 0xF0) | digit);
            SetCaret(caret + 1);
            ScrollIntoView();
        } else {
            data.insert(data.begin() + caret, BYTE(digit << 4));
            SetCaret(caret);
            pending = true;
        }
        Rebuild();
    }
    void TypeChar(BYTE value)
    {
        DeleteSelection();
        data.insert(data.begin() + caret, value);
        SetCaret(caret + 1);
        ScrollIntoView();
        Rebuild();
    }
    void Paste(const Bytes& bytes)
    {
        DeleteSelection();
        data.insert(data.begin() + caret, bytes.begin(), bytes.end());
        SetCaret(caret);
        ScrollIntoView();
        Rebuild();
    }
    void Navigate(UINT key)
    {
        bool upper = key == VK_RIGHT || key == VK_DOWN || key == VK_NEXT;
        if (HasSelection())
            caret = anchor = end = upper ? High() : Low();
        long long c = caret, size = Size(), line = b, page = (long long)rows * b;
        switch (key) {
        case VK_LEFT:
            c = std::max(c - 1, 0LL);
            break;
        case VK_RIGHT:
            c = std::min(c + 1, size);
            break;
        case VK_UP:
            c = std::max(c - line, 0LL);
            break;
        case VK_DOWN:
            c = c + line;
            break;
        case VK_PRIOR:
            c = (c >= top + line && c < top + (long long)visibleRows * b) ? top : std::max(c - page, 0LL);
            break;
        case VK_NEXT:
            c = (c >= top && c + line < top + page) ? top + page - 1 : c + page;
            break;
        case VK_HOME:
            c = 0;
            break;
        case VK_END:
            c = size;
            break;
        }
        SetCaret(DWORD(std::min(c, size)));
        ScrollIntoView();
    }
    bool DeletionKey(UINT key)
    {
        if (!HasSelection()) {
            if (key == VK_BACK && pending && caret < Size())
                anchor = caret, end = caret + 1;
            else if (key == VK_BACK && caret > 0)
                anchor = caret - 1, end = caret;
            else if (key == VK_DELETE && caret < Size())
                anchor = caret, end = caret + 1;
            else
                return false;
        }
        DeleteSelection();
        return true;
    }
    void ScrollLines(int lines)
    {
        long long position = (long long)(top / b) + lines;
        position = std::min(position, (long long)Maximum() - Page() + 1);
        position = std::max(position, 0LL);
        top = DWORD(position) * b;
        if (!HasSelection()) {
            DWORD visibleEnd = top + Page() * b;
            if (caret >= visibleEnd)
                SetCaret(std::min(visibleEnd - b, Size()));
            else if (caret < top)
                SetCaret(top);
        }
    }
    void Drag(DWORD from, DWORD to, bool hexColumn)
    {
        SetCaret(std::min(from, Size()));
        hex = hexColumn;
        end = std::min(to, Size());
        if (!HasSelection())
            ScrollIntoView();
    }

    DWORD b;
    DWORD rows;
    DWORD visibleRows = 0;
};

std::string Describe(const CModel& model)
{
    std::ostringstream text;
    text << "size " << model.Size() << " caret " << model.caret << " anchor " << model.anchor << " end "
         << model.end << " top " << model.top << " hex " << model.hex << " pending " << model.pending;
    return text.str();
}

} // namespace

class HexEditModel : public HexEditTest
{
protected:
    void SetUp() override { CreateControl(3, 320, 110); }

    void ExpectSame(const CModel& model, int step, const std::string& operation)
    {
        ASSERT_EQ(model.data, Data()) << "step " << step << " " << operation << ": " << Describe(model);
        CModel seen = model;
        seen.caret = m_hex.GetCaret();
        seen.anchor = m_hex.GetAnchor();
        seen.end = m_hex.GetSelectionEnd();
        seen.top = m_hex.GetTopOffset();
        seen.hex = m_hex.IsHexColumnActive();
        seen.pending = m_hex.IsLowNibblePending();
        ASSERT_EQ(Describe(model), Describe(seen)) << "step " << step << " " << operation;
    }
};

TEST_F(HexEditModel, RandomEditsMatchAByteVectorModel)
{
    CModel model(m_hex.GetBytesPerLine(), m_hex.GetFullRows());
    model.visibleRows = m_hex.GetRows();
    ASSERT_EQ(3u, model.b);
    ASSERT_GT(model.rows, 2u);
    std::mt19937 random(20261208);
    auto pick = [&random](DWORD count) { return DWORD(random() % count); };
    // Start with a few pages of data, so that scrolling matters from the beginning.
    model.data.resize(60);
    for (BYTE& value : model.data)
        value = BYTE(pick(256));
    SetData(model.data);
    int scrolled = 0, selected = 0, pending = 0;
    DWORD largest = 0;
    const UINT navigation[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END};
    for (int step = 0; step < 4000; ++step) {
        std::string operation;
        DWORD kind = pick(100);
        if (kind < 30) {
            BYTE digit = BYTE(pick(16));
            operation = "hex digit";
            wchar_t ch = L"0123456789abcdef"[digit];
            if (model.hex)
                model.TypeHex(digit);
            else
                model.TypeChar(BYTE(ch));
            SendMessageW(Hwnd(), WM_CHAR, ch, 1);
        } else if (kind < 38) {
            BYTE value = BYTE(0x20 + pick(0x5F));
            operation = "character";
            if (!model.hex)
                model.TypeChar(value);
            else if (HexDigitValue(wchar_t(value)) >= 0)
                model.TypeHex(BYTE(HexDigitValue(wchar_t(value))));
            SendMessageW(Hwnd(), WM_CHAR, value, 1);
        } else if (kind < 42) {
            operation = "switch column";
            SetShift(!model.hex);
            Key(VK_TAB);
            SetShift(false);
            model.hex = !model.hex;
            model.pending = false;
            model.ScrollIntoView();
        } else if (kind < 70) {
            UINT key = navigation[pick(8)];
            operation = "key " + std::to_string(key);
            model.pending = false;
            model.Navigate(key);
            Key(key);
        } else if (kind < 80) {
            UINT key = pick(2) ? VK_BACK : VK_DELETE;
            operation = "deletion key " + std::to_string(key);
            model.DeletionKey(key);
            Key(key);
        } else if (kind < 88) {
            bool hex = pick(2) != 0;
            DWORD rows = m_hex.GetRows();
            DWORD fromRow = pick(rows), toRow = pick(rows), fromColumn = pick(model.b),
                  toColumn = pick(model.b);
            DWORD from = model.top + fromRow * model.b + fromColumn;
            DWORD to = model.top + toRow * model.b + toColumn;
            operation = "drag " + std::to_string(from) + " to " + std::to_string(to);
            Drag(Cell(from, hex), Cell(to, hex));
            model.Drag(from, to, hex);
        } else if (kind < 92) {
            int lines = pick(2) ? 1 : -1;
            operation = "scroll " + std::to_string(lines);
            SendMessageW(Hwnd(), WM_VSCROLL, lines > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
            model.ScrollLines(lines);
        } else if (kind < 94) {
            operation = "select all";
            Command(CHexEditCtrl::kSelectAll);
            model.anchor = 0;
            model.end = model.Size();
            model.caret = 0;
            model.pending = false;
        } else if (kind < 97) {
            Bytes bytes(pick(17));
            std::wstring text;
            for (BYTE& value : bytes) {
                value = BYTE(pick(256));
                wchar_t pair[8];
                swprintf(pair, 8, L"%02x ", value);
                text += pair;
            }
            operation = "paste " + std::to_string(bytes.size());
            ASSERT_TRUE(SetClipboardText(text));
            Command(CHexEditCtrl::kPasteHex);
            model.Paste(bytes);
        } else {
            operation = "cut";
            if (model.HasSelection())
                model.DeleteSelection();
            Command(CHexEditCtrl::kCut);
        }
        ExpectSame(model, step, operation);
        if (HasFatalFailure())
            return;
        scrolled += model.top > 0;
        selected += model.HasSelection();
        pending += model.pending;
        largest = std::max(largest, model.Size());
    }
    EXPECT_EQ(0, PasteFailures());
    // The walk went where the risks are: scrolled views, selections, half-typed bytes.
    EXPECT_GT(scrolled, 400);
    EXPECT_GT(selected, 200);
    EXPECT_GT(pending, 200);
    EXPECT_GT(largest, 100u);
}
