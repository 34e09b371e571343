// The growing read, the buffers and the typed reads where only the in-memory registry can
// produce the case: exact capacities, chosen ERROR_MORE_DATA answers, unterminated strings.
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"

#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class GrowingRead : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_key.Create(HKEY_CURRENT_USER, L"Grow"));
        m_memory.ClearCallLog();
    }
    void Put(const wchar_t* name, DWORD type, DWORD size, BYTE fill = 0x5A)
    {
        std::vector<BYTE> data(size, fill);
        ASSERT_TRUE(m_key.SetValue(name, type, data.data(), size));
    }
    std::vector<CMemoryRegistryBackend::SCallRecord> Calls(IRegistryBackend::EOperation op) const
    {
        std::vector<CMemoryRegistryBackend::SCallRecord> calls;
        for (const auto& call : m_memory.CallLog()) {
            if (call.op == op)
                calls.push_back(call);
        }
        return calls;
    }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    CShdRegKey m_key;
};

} // namespace

TEST_F(GrowingRead, DataCapacitiesForEnumValue)
{
    Put(L"a1024", REG_BINARY, 1024);
    Put(L"b1025", REG_BINARY, 1025);
    Put(L"c2000", REG_BINARY, 2000);
    CString name;
    DWORD type;
    CShdBinaryBuffer data;

    ASSERT_TRUE(m_key.EnumValue(0, name, type, data));
    auto calls = Calls(IRegistryBackend::OpEnumValue);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(1025u, calls[0].dataCapacity);
    EXPECT_EQ(261u, calls[0].nameCapacity);

    m_memory.ClearCallLog();
    ASSERT_TRUE(m_key.EnumValue(1, name, type, data)); // fills 1025 exactly: counted as cut
    calls = Calls(IRegistryBackend::OpEnumValue);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(1537u, calls[1].dataCapacity);
    EXPECT_EQ(1025u, data.GetSize());

    m_memory.ClearCallLog();
    ASSERT_TRUE(m_key.EnumValue(2, name, type, data)); // answered 234 with 2000
    calls = Calls(IRegistryBackend::OpEnumValue);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(2001u, calls[1].dataCapacity);
    EXPECT_EQ(2000u, data.GetSize());
}

TEST_F(GrowingRead, NameCapacitiesFollowTheRequiredLength)
{
    CString name260(L'x', 260);
    Put(name260, REG_NONE, 0);
    CString name;
    DWORD type;
    ASSERT_TRUE(m_key.EnumValueName260(0, name, type));
    auto calls = Calls(IRegistryBackend::OpEnumValue);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(261u, calls[0].nameCapacity);

    m_memory.ClearCallLog();
    m_memory.AnswerMoreData(IRegistryBackend::OpEnumValue, 300, 0);
    ASSERT_TRUE(m_key.EnumValueName260(0, name, type));
    calls = Calls(IRegistryBackend::OpEnumValue);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(301u, calls[1].nameCapacity);
    EXPECT_EQ(name260, name);

    // The longest-name hint of the key is where EnumValueName starts.
    m_memory.ClearCallLog();
    ASSERT_TRUE(m_key.EnumValueName(0, name, type));
    calls = Calls(IRegistryBackend::OpEnumValue);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(261u, calls[0].nameCapacity);
}

TEST_F(GrowingRead, MoreDataWithoutALargerSizeEndsTheRead)
{
    Put(L"v", REG_BINARY, 10);
    // 234 although the returned sizes fit: nothing to grow, so the read fails cleanly.
    m_memory.AnswerMoreData(IRegistryBackend::OpQueryValue, 0, 5);
    DWORD type = 1;
    CShdBinaryBuffer data;
    EXPECT_FALSE(m_key.QueryValue(L"v", type, data));
    EXPECT_EQ(0u, type);
    EXPECT_EQ(nullptr, data.GetData());
    // Any other failure ends it too, and leaves nothing stale behind.
    m_memory.FailCall(IRegistryBackend::OpEnumValue, 1, ERROR_ACCESS_DENIED);
    CString name = L"stale";
    EXPECT_FALSE(m_key.EnumValue(0, name, type, data));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_TRUE(m_key.QueryValue(L"v", type, data));
    EXPECT_EQ(10u, data.GetSize());
}

namespace {

// Reports a longest value name of 0 whatever the key holds, as a hint gone stale while
// another thread added a value would.
class CStaleHintBackend : public CMemoryRegistryBackend
{
protected:
    LONG DoQueryInfoKey(HKEY key, wchar_t* keyClass, DWORD* classLength, SKeyInfo& info) override
    {
        LONG rc = CMemoryRegistryBackend::DoQueryInfoKey(key, keyClass, classLength, info);
        info.maxValueNameLength = 0;
        return rc;
    }
};

} // namespace

// A capacity of one character filled exactly must still grow, or the read never ends.
TEST(GrowingReadFromOne, StaleHintOfZeroStillReadsTheName)
{
    CStaleHintBackend backend;
    CScopedRegistryBackend scope(backend);
    CShdRegKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, L"Stale"));
    ASSERT_TRUE(key.SetDword(L"x", 1));
    ASSERT_TRUE(key.SetDword(L"long name", 2));
    CString name;
    EXPECT_TRUE(key.EnumValueName(0, name));
    EXPECT_EQ(CString(L"long name"), name);
    EXPECT_TRUE(key.EnumValueName(1, name));
    EXPECT_EQ(CString(L"x"), name);
    EXPECT_LT(backend.CallCount(IRegistryBackend::OpEnumValue), 10u);
}

TEST_F(GrowingRead, StringWithoutTerminatorReadsWhole)
{
    const wchar_t text[] = L"abc";
    ASSERT_TRUE(m_key.SetValue(L"bare", REG_SZ, text, 6)); // no NUL stored
    ASSERT_TRUE(m_key.SetValue(L"odd", REG_SZ, text, 5));  // odd byte count
    CString value;
    EXPECT_TRUE(m_key.QueryString(L"bare", value));
    EXPECT_EQ(CString(L"abc"), value);
    EXPECT_TRUE(m_key.QueryString(L"odd", value));
    EXPECT_EQ(L'a', value[0]);
    EXPECT_EQ(L'b', value[1]);
}

TEST_F(GrowingRead, ValueGrowingBetweenSizeAndReadIsReadWhole)
{
    Put(L"v", REG_BINARY, 8);
    m_memory.AnswerMoreData(IRegistryBackend::OpQueryValue, 0, 4000);
    DWORD type;
    CShdBinaryBuffer data;
    ASSERT_TRUE(m_key.QueryValue(L"v", type, data));
    auto calls = Calls(IRegistryBackend::OpQueryValue);
    ASSERT_EQ(3u, calls.size()); // size query, cut read, read at 4001
    EXPECT_EQ(9u, calls[1].dataCapacity);
    EXPECT_EQ(4001u, calls[2].dataCapacity);
}

TEST(ShdBinaryBuffer, SizesAndDwords)
{
    CShdBinaryBuffer buffer;
    EXPECT_EQ(nullptr, buffer.GetData());
    EXPECT_EQ(0u, buffer.ReadDword(0));
    ASSERT_TRUE(buffer.SetSize(0));
    EXPECT_NE(nullptr, buffer.GetData());
    EXPECT_EQ(1u, buffer.GetCapacity());
    EXPECT_EQ(0u, buffer.GetSize());
    const BYTE bytes[] = {0x78, 0x56, 0x34, 0x12, 0xFF};
    ASSERT_TRUE(buffer.Assign(bytes, 5));
    EXPECT_EQ(0x12345678u, buffer.ReadDword(0));
    EXPECT_EQ(0u, buffer.ReadDword(2)); // past the used size
    ASSERT_TRUE(buffer.SetSize(2));     // never shrinks the block
    EXPECT_EQ(5u, buffer.GetCapacity());
    ASSERT_TRUE(buffer.SetSize(8)); // grows, keeping the bytes
    EXPECT_EQ(0x78, buffer.GetData()[0]);
    EXPECT_EQ(0x56, buffer.GetData()[1]);
    buffer.Free();
    EXPECT_EQ(0u, buffer.GetCapacity());

    CShdCopyableBinaryBuffer a, b;
    ASSERT_TRUE(a.Assign(bytes, 3));
    b = a;
    ASSERT_EQ(3u, b.GetSize());
    EXPECT_NE(a.GetData(), b.GetData());
    EXPECT_EQ(0x34, b.GetData()[2]);
    CShdCopyableBinaryBuffer empty;
    b = empty;
    EXPECT_EQ(nullptr, b.GetData());
    CShdCopyableBinaryBuffer c(a);
    EXPECT_EQ(3u, c.GetSize());
}
