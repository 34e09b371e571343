// The desktop uninstaller's steps.
#include "uninstall/Uninstaller.h"

#include "uninstall/SelfDeleteBatch.h"
#include "uninstall/UninstallPaths.h"

#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"

const wchar_t kBatchFileName[] = L"{21322C10-B2B5-4BE1-BD15-BC9F21C0E54E}_uninstall.bat";
const wchar_t* const kPackageFileNames[2] = {L"Keyhaven.cab", L"Keyhaven.ini"};
const wchar_t kUninstallParentPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kUninstallEntryName[] = L"Keyhaven {21322C10-B2B5-4BE1-BD15-BC9F21C0E54E}";

CUninstaller::CUninstaller(const CString& programPath, const CString& programFolder)
    : m_programPath(programPath), m_programFolder(programFolder)
{
}

void CUninstaller::Run() const
{
    DeleteUninstallEntry();
    DeletePackageFiles(m_programFolder);
    // Without its own path the program cannot tell a batch file what to remove.
    if (!m_programPath.IsEmpty())
        StartSelfDelete();
}

void CUninstaller::DeleteUninstallEntry()
{
    CShdRegKey parent(true);
    if (!parent.Open(HKEY_LOCAL_MACHINE, kUninstallParentPath))
        return;
    // Children go before their parents, and values after the subkeys of the same key.
    DeleteKeyTree(parent.GetHandle(), kUninstallEntryName);
    parent.Close();
}

void CUninstaller::DeletePackageFiles(const CString& programFolder)
{
    if (programFolder.IsEmpty())
        return;
    for (const wchar_t* name : kPackageFileNames) {
        CString path = JoinFolderAndName(programFolder, name);
        SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path);
    }
}

CString CUninstaller::GetBatchPath() const
{
    return JoinFolderAndName(GetFolderOfPath(m_programFolder), kBatchFileName);
}

bool CUninstaller::StartSelfDelete() const
{
    CString batchPath = GetBatchPath();
    CSelfDeleteBatch batch(m_programPath, m_programFolder);
    if (!batch.Write(batchPath))
        return false;
    // The batch runs in the parent folder: a process whose current folder is the program
    // folder would keep that folder from being removed.
    if (CSelfDeleteBatch::Start(batchPath, GetFolderOfPath(m_programFolder)))
        return true;
    DeleteFileW(batchPath);
    return false;
}
