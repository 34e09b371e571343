// CShdObjArray: ownership, sizes, range removal and sorting.
#include "shd/ShdObjArray.h"
#include "shd/String.h"

#include <gtest/gtest.h>

namespace {

struct SCounted
{
    static int live;
    int value = 0;
    SCounted() { ++live; }
    SCounted(const SCounted& other) : value(other.value) { ++live; }
    explicit SCounted(int v) : value(v) { ++live; }
    ~SCounted() { --live; }
};
int SCounted::live = 0;

} // namespace

TEST(CShdObjArray, AddReturnsIndexAndOwnsCopies)
{
    SCounted::live = 0;
    {
        CShdObjArray<SCounted> array;
        for (int i = 0; i < 100; ++i)
            EXPECT_EQ(i, array.Add(SCounted(i)));
        EXPECT_EQ(100, array.GetSize());
        EXPECT_EQ(100, SCounted::live);
        EXPECT_EQ(57, array[57].value);
        SCounted* element = &array[3];
        array.Add(SCounted(100)); // growing the pointer array keeps elements in place
        EXPECT_EQ(element, &array[3]);
    }
    EXPECT_EQ(0, SCounted::live);
}

TEST(CShdObjArray, SetSizeCreatesAndDeletes)
{
    SCounted::live = 0;
    CShdObjArray<SCounted> array;
    EXPECT_TRUE(array.SetSize(5));
    EXPECT_EQ(5, SCounted::live);
    array[4].value = 9;
    EXPECT_TRUE(array.SetSize(2));
    EXPECT_EQ(2, SCounted::live);
    EXPECT_TRUE(array.SetSize(3));
    EXPECT_EQ(0, array[2].value);
    EXPECT_FALSE(array.SetSize(-1));
    EXPECT_EQ(3, array.GetSize());
    array.RemoveAll();
    EXPECT_EQ(0, SCounted::live);
    EXPECT_EQ(nullptr, array.GetAt(0));
}

TEST(CShdObjArray, RemoveRangeClosesTheGap)
{
    SCounted::live = 0;
    CShdObjArray<SCounted> array;
    for (int i = 0; i < 6; ++i)
        array.Add(SCounted(i));
    array.RemoveAt(1, 3);
    ASSERT_EQ(3, array.GetSize());
    EXPECT_EQ(0, array[0].value);
    EXPECT_EQ(4, array[1].value);
    EXPECT_EQ(5, array[2].value);
    EXPECT_EQ(3, SCounted::live);
    array.RemoveAt(2, 100); // past the end: clipped
    EXPECT_EQ(2, array.GetSize());
    array.RemoveAt(5); // outside: nothing
    array.RemoveAt(0, 0);
    EXPECT_EQ(2, array.GetSize());
}

TEST(CShdObjArray, SortIsCaseInsensitiveAndStable)
{
    CShdObjArray<CString> names;
    for (const wchar_t* name : {L"beta", L"Alpha", L"ALPHA", L"a_b", L"gamma", L"alpha"})
        names.Add(name);
    names.Sort([](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    const wchar_t* expected[] = {L"a_b", L"Alpha", L"ALPHA", L"alpha", L"beta", L"gamma"};
    for (int i = 0; i < names.GetSize(); ++i)
        EXPECT_EQ(CString(expected[i]), names[i]) << i;
}
