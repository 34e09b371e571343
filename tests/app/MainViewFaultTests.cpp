// The key tree and the value list over the in-memory registry told to fail chosen calls: items
// that cannot be read are stepped over, keys that cannot be opened are leaves, unreadable data
// leaves its "Value" column empty.
#include "tests/app/KeyCommandTests.h"

#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::wstring>;
using Op = IRegistryBackend::EOperation;

using MainViewFaults = CKeyCommandFaultTest;

} // namespace

TEST_F(MainViewFaults, ASubkeyThatCannotBeReadIsSteppedOver)
{
    MakeKey(L"P\\A");
    MakeKey(L"P\\B");
    MakeKey(L"P\\C");
    MakeKey(L"P\\D");
    ASSERT_TRUE(Select(L"P"));
    m_memory.FailCall(IRegistryBackend::OpEnumKey, 2); // "B"
    TreeView_Expand(Tree().GetHwnd(), Item(L"P"), TVE_EXPAND);
    EXPECT_EQ(Names({L"A", L"C", L"D"}), Labels(Item(L"P"))) << "the names after it are read";

    m_memory.FailCall(IRegistryBackend::OpEnumKey, 3); // "C"
    Tree().Refresh(Item(L"P"));
    EXPECT_EQ(Names({L"A", L"B", L"C", L"D"}), Labels(Item(L"P"))) << "a child already shown stays";
}
