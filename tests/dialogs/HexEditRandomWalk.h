// A random walk of edits, moves, drags, scrolls and pastes from a fixed seed, applied to a hex
// edit control (or its bare model) and to a reference of bytes in a vector with caret, selection,
// column, pending nibble and first visible line; the two are compared after every step.
#pragma once

#include "dialogs/HexEditModel.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

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
                SetCaret(std::min(top, Size()));
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

std::string Describe(const CModel& model);

// What the walk does to the subject under test, as a user would cause it.
class IHexEditSubject
{
public:
    virtual ~IHexEditSubject() = default;
    virtual void SetData(const Bytes& bytes) = 0;
    virtual void Char(wchar_t ch) = 0;
    virtual void SwitchColumn(bool toHex) = 0;
    virtual void Key(UINT key, CHexEditModel::EMove move) = 0;
    virtual void DeletionKey(UINT key) = 0;
    virtual void Drag(DWORD from, DWORD to, bool hex) = 0;
    virtual void ScrollLines(int lines) = 0;
    virtual void SelectAll() = 0;
    virtual void PasteHex(const Bytes& bytes, const std::wstring& text) = 0;
    virtual void Cut() = 0;
    // The subject's state, in the reference's terms.
    virtual CModel Seen(const CModel& like) const = 0;
    virtual DWORD Rows() const = 0;
};

struct SWalkFigures
{
    int scrolled = 0, selected = 0, pending = 0;
    DWORD largest = 0;
};

// Starts both with the same few pages of data; stops at the first difference (a fatal failure).
SWalkFigures RunRandomWalk(IHexEditSubject& subject, CModel& model, int steps, unsigned seed);
