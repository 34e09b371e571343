// Path helpers and the location line's shortening, without windows.
#include "dialogs/FilePaths.h"
#include "dialogs/SelectFileDlg.h"

#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

TEST(FilePaths, BackslashesAtTheEnd)
{
    EXPECT_EQ(AddBackslash(L""), L"\\");
    EXPECT_EQ(AddBackslash(L"\\"), L"\\");
    EXPECT_EQ(AddBackslash(L"\\Temp"), L"\\Temp\\");
    EXPECT_EQ(RemoveTrailingBackslash(L"\\"), L"\\");
    EXPECT_EQ(RemoveTrailingBackslash(L"\\Temp\\"), L"\\Temp");
    EXPECT_EQ(RemoveTrailingBackslash(L"C:\\"), L"C:");
}

TEST(FilePaths, SplittingPathsAndFolders)
{
    CString folder, name;
    SplitFilePath(L"\\data.reg", folder, name);
    EXPECT_EQ(folder, L"\\");
    EXPECT_EQ(name, L"data.reg");
    SplitFilePath(L"\\My Documents\\a.reg", folder, name);
    EXPECT_EQ(folder, L"\\My Documents");
    EXPECT_EQ(name, L"a.reg");
    SplitFilePath(L"plain.reg", folder, name);
    EXPECT_EQ(folder, L"");
    EXPECT_EQ(name, L"plain.reg");

    CString walk = L"\\Storage Card\\Backups";
    EXPECT_EQ(SplitLastFolder(walk), L"Backups");
    EXPECT_EQ(walk, L"\\Storage Card");
    EXPECT_EQ(SplitLastFolder(walk), L"Storage Card");
    EXPECT_EQ(walk, L"\\");
    CString bare = L"NoSlash";
    EXPECT_EQ(SplitLastFolder(bare), L"");
    EXPECT_EQ(bare, L"");
}

TEST(FilePaths, ExtensionsNamesAndRoots)
{
    EXPECT_EQ(GetExtension(L"data.REG"), L".REG");
    EXPECT_EQ(GetExtension(L"\\dir.d\\file"), L"");
    EXPECT_EQ(GetExtension(L"a.tar.gz"), L".gz");
    EXPECT_TRUE(IsValidFileName(L"my file.reg"));
    for (const wchar_t* bad : {L"a\\b", L"a/b", L"c:", L"*", L"?", L"\"q\"", L"<", L">", L"|"})
        EXPECT_FALSE(IsValidFileName(bad)) << static_cast<int>(bad[0]);
    EXPECT_TRUE(IsRootFolder(L"\\"));
    EXPECT_TRUE(IsRootFolder(L"C:"));
    EXPECT_TRUE(IsRootFolder(L"z:\\"));
    EXPECT_FALSE(IsRootFolder(L"\\Storage Card"));
    EXPECT_FALSE(IsRootFolder(L"C:\\Temp"));
}

// One character is one unit of width; the text fits up to the given number of characters.
CString Fit(const CString& folder, int width)
{
    return CSelectFileDlg::FitLocationText(
        folder, [width](const CString& text) { return text.GetLength() <= width; });
}

TEST(FilePaths, LocationIsCutInThreeParts)
{
    const CString folder = L"\\My Documents\\Projects\\Registry\\Backups";
    EXPECT_EQ(Fit(folder, 200), L"Location: " + folder);
    // The middle goes first, from its end; the first and last parts stay.
    EXPECT_EQ(Fit(folder, 10 + 14 + 4 + 3 + 8), L"Location: \\My Documents\\Proj...\\Backups");
    // Then the first part from its end.
    EXPECT_EQ(Fit(folder, 10 + 5 + 3 + 8), L"Location: \\My D...\\Backups");
    // Then the last part from its start.
    EXPECT_EQ(Fit(folder, 10 + 3 + 4), L"Location: ...kups");
    // Nothing fits: everything is cut.
    EXPECT_EQ(Fit(folder, 2), L"Location: ...");
    // A folder right below the root has no middle: the first part is cut, then the last.
    EXPECT_EQ(Fit(L"\\Storage Card", 10 + 3 + 6), L"Location: ...e Card");
}

} // namespace
