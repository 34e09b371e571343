// The desktop uninstaller's steps.
#include "uninstall/Uninstaller.h"

#include "uninstall/SelfDeleteBatch.h"
#include "uninstall/UninstallPaths.h"

const wchar_t kBatchFileName[] = L"{21322C10-B2B5-4BE1-BD15-BC9F21C0E54E}_uninstall.bat";
const wchar_t* const kPackageFileNames[2] = {L"Keyhaven.cab", L"Keyhaven.ini"};

CUninstaller::CUninstaller(const CString& programPath, const CString& programFolder)
    : m_programPath(programPath), m_programFolder(programFolder)
{
}

void CUninstaller::Run() const
{
    DeletePackageFiles(m_programFolder);
    // Without its own path the program cannot tell a batch file what to remove.
    if (!m_programPath.IsEmpty())
        StartSelfDelete();
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
