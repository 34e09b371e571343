#include "regfile/ShdFileWriteCache.h"
#include "tests/regfile/ExportTestSupport.h"

#include <gtest/gtest.h>

namespace {

class CWriteCacheTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = TestFilePath();
        m_file = CreateFileW(m_path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_file);
    }
    void TearDown() override
    {
        CloseFile();
        DeleteFileW(m_path);
    }
    void CloseFile()
    {
        if (m_file != INVALID_HANDLE_VALUE)
            CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    CString m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
};

TEST_F(CWriteCacheTest, HoldsBytesUntilTheBlockIsFullOrFlushed)
{
    CShdFileWriteCache cache;
    ASSERT_TRUE(cache.Allocate(4));
    ASSERT_TRUE(cache.Attach(m_file));
    EXPECT_TRUE(cache.Write("abc", 3));
    EXPECT_EQ("", ReadFileBytes(m_path));
    EXPECT_TRUE(cache.Write("defghij", 7)); // spills two full blocks, keeps "ij"
    EXPECT_EQ("abcdefgh", ReadFileBytes(m_path));
    EXPECT_EQ(2u, cache.GetHeld());
    EXPECT_TRUE(cache.Flush());
    EXPECT_EQ("abcdefghij", ReadFileBytes(m_path));
    // The handle is forgotten: nothing more can be written out.
    EXPECT_TRUE(cache.Write("k", 1));
    EXPECT_FALSE(cache.Flush());
    EXPECT_EQ(1u, cache.GetHeld());
}

TEST_F(CWriteCacheTest, ArgumentsAndUncachedWrites)
{
    CShdFileWriteCache cache;
    EXPECT_FALSE(cache.Allocate(0x80000000ull));
    EXPECT_TRUE(cache.Allocate(0));
    ASSERT_TRUE(cache.Attach(m_file));
    EXPECT_TRUE(cache.Write(nullptr, 0));
    EXPECT_FALSE(cache.Write(nullptr, 1));
    EXPECT_TRUE(cache.Write("xy", 2));
    EXPECT_EQ("xy", ReadFileBytes(m_path));
}

TEST_F(CWriteCacheTest, DestructorAndReleaseWriteOut)
{
    {
        CShdFileWriteCache cache;
        ASSERT_TRUE(cache.Allocate(64));
        ASSERT_TRUE(cache.Attach(m_file));
        cache.Write("12", 2);
        cache.Release();
        EXPECT_EQ(0u, cache.GetCapacity());
        EXPECT_EQ("12", ReadFileBytes(m_path));
        ASSERT_TRUE(cache.Allocate(64));
        ASSERT_TRUE(cache.Attach(m_file));
        cache.Write("34", 2);
    }
    EXPECT_EQ("1234", ReadFileBytes(m_path));
}

// Bytes that could not reach their file never end up in the next one.
TEST_F(CWriteCacheTest, FailedWritesDoNotLeakIntoTheNextFile)
{
    CShdFileWriteCache cache;
    ASSERT_TRUE(cache.Allocate(2));
    EXPECT_TRUE(cache.Write("ab", 2));
    EXPECT_FALSE(cache.Write("c", 1)); // block full, no file
    EXPECT_FALSE(cache.Attach(m_file));
    EXPECT_TRUE(cache.Write("z", 1));
    EXPECT_TRUE(cache.Flush());
    EXPECT_EQ("z", ReadFileBytes(m_path));

    HANDLE readOnly = CreateFileW(m_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(cache.Attach(readOnly));
    EXPECT_TRUE(cache.Write("qq", 2));
    EXPECT_FALSE(cache.Write("r", 1)); // WriteFile refuses on a read-only handle
    CloseHandle(readOnly);
}

} // namespace
