// The random walk the hex edit tests share: the reference's moves and the step choices.
#include "tests/dialogs/HexEditRandomWalk.h"

#include "shd/HexDigits.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

std::string Describe(const CModel& model)
{
    std::ostringstream text;
    text << "size " << model.Size() << " caret " << model.caret << " anchor " << model.anchor << " end "
         << model.end << " top " << model.top << " hex " << model.hex << " pending " << model.pending;
    return text.str();
}

namespace {

void ExpectSame(const IHexEditSubject& subject, const CModel& model, int step, const std::string& operation)
{
    CModel seen = subject.Seen(model);
    ASSERT_EQ(model.data, seen.data) << "step " << step << " " << operation << ": " << Describe(model);
    ASSERT_EQ(Describe(model), Describe(seen)) << "step " << step << " " << operation;
}

} // namespace

SWalkFigures RunRandomWalk(IHexEditSubject& subject, CModel& model, int steps, unsigned seed)
{
    std::mt19937 random(seed);
    auto pick = [&random](DWORD count) { return DWORD(random() % count); };
    // Start with a few pages of data, so that scrolling matters from the beginning.
    model.data.resize(60);
    for (BYTE& value : model.data)
        value = BYTE(pick(256));
    subject.SetData(model.data);
    SWalkFigures figures;
    using EMove = CHexEditModel::EMove;
    const UINT navigation[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END};
    const EMove moves[] = {EMove::kLeft,   EMove::kRight,    EMove::kUp,   EMove::kDown,
                           EMove::kPageUp, EMove::kPageDown, EMove::kHome, EMove::kEnd};
    for (int step = 0; step < steps; ++step) {
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
            subject.Char(ch);
        } else if (kind < 38) {
            BYTE value = BYTE(0x20 + pick(0x5F));
            operation = "character";
            if (!model.hex)
                model.TypeChar(value);
            else if (HexDigitValue(wchar_t(value)) >= 0)
                model.TypeHex(BYTE(HexDigitValue(wchar_t(value))));
            subject.Char(wchar_t(value));
        } else if (kind < 42) {
            operation = "switch column";
            subject.SwitchColumn(!model.hex);
            model.hex = !model.hex;
            model.pending = false;
            model.ScrollIntoView();
        } else if (kind < 70) {
            DWORD which = pick(8);
            UINT key = navigation[which];
            operation = "key " + std::to_string(key);
            model.pending = false;
            model.Navigate(key);
            subject.Key(key, moves[which]);
        } else if (kind < 80) {
            UINT key = pick(2) ? VK_BACK : VK_DELETE;
            operation = "deletion key " + std::to_string(key);
            model.DeletionKey(key);
            subject.DeletionKey(key);
        } else if (kind < 88) {
            bool hex = pick(2) != 0;
            DWORD rows = subject.Rows();
            DWORD fromRow = pick(rows), toRow = pick(rows), fromColumn = pick(model.b),
                  toColumn = pick(model.b);
            DWORD from = model.top + fromRow * model.b + fromColumn;
            DWORD to = model.top + toRow * model.b + toColumn;
            operation = "drag " + std::to_string(from) + " to " + std::to_string(to);
            subject.Drag(from, to, hex);
            model.Drag(from, to, hex);
        } else if (kind < 92) {
            int lines = pick(2) ? 1 : -1;
            operation = "scroll " + std::to_string(lines);
            subject.ScrollLines(lines);
            model.ScrollLines(lines);
        } else if (kind < 94) {
            operation = "select all";
            subject.SelectAll();
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
            subject.PasteHex(bytes, text);
            model.Paste(bytes);
        } else {
            operation = "cut";
            if (model.HasSelection())
                model.DeleteSelection();
            subject.Cut();
        }
        ExpectSame(subject, model, step, operation);
        if (testing::Test::HasFatalFailure())
            return figures;
        figures.scrolled += model.top > 0;
        figures.selected += model.HasSelection();
        figures.pending += model.pending;
        figures.largest = std::max(figures.largest, model.Size());
    }
    return figures;
}
