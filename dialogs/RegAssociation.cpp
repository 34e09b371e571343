// The .reg file association: program path, commands, and the keys under HKEY_CLASSES_ROOT.
#include "dialogs/RegAssociation.h"

#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"

#include <windows.h>

const wchar_t kInstallDirKey[] = L"SOFTWARE\\Ordwyn\\Keyhaven";
const wchar_t kRegExtension[] = L".reg";
const wchar_t kRegClassName[] = L"regfile";
const wchar_t kRegDescription[] = L"Registry File";

namespace {

bool IsEmptyText(const wchar_t* text)
{
    return !text || !*text;
}

// The key's default value as a string; "" when the key or the value cannot be read.
CString ReadDefaultString(const wchar_t* path)
{
    CShdRegKey key;
    CString text;
    if (!key.Open(HKEY_CLASSES_ROOT, path) || !key.QueryString(L"", text))
        text.Empty();
    return text;
}

void CreateWithDefault(HKEY parent, const wchar_t* path, const wchar_t* text, CShdRegKey& key)
{
    if (key.Create(parent, path))
        key.SetString(L"", text);
}

} // namespace

CString GetProgramPath()
{
    CShdRegKey key;
    CString folder;
    if (!key.Open(HKEY_LOCAL_MACHINE, kInstallDirKey) || !key.QueryString(L"InstallDir", folder) ||
        folder.IsEmpty())
        return CString();
    if (folder[folder.GetLength() - 1] != L'\\')
        folder += L'\\';
    return folder + L"Hivelet.exe";
}

CString GetOpenCommand()
{
    CString path = GetProgramPath();
    if (path.IsEmpty())
        return path;
    CString command;
    command.Format(L"\"%s\" \"%%1\"", path.c_str());
    return command;
}

CString GetIconText(int iconNumber)
{
    CString path = GetProgramPath();
    if (path.IsEmpty())
        return path;
    CString text;
    text.Format(L"%s,-%i", path.c_str(), iconNumber);
    return text;
}

bool GetAssociationCommand(const wchar_t* extension, CString& command)
{
    command.Empty();
    CString className = ReadDefaultString(extension);
    if (className.IsEmpty())
        return false;
    CShdRegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, className + L"\\Shell\\Open\\Command") && key.QueryString(L"", command))
        return true;
    command.Empty();
    return false;
}

// Each step's result is left alone: the buttons of the options page show the end state.
bool InstallAssociation(const wchar_t* extension, const wchar_t* className, const wchar_t* description,
                        const wchar_t* iconText, const wchar_t* command)
{
    if (IsEmptyText(extension) || IsEmptyText(className))
        return false;
    DeleteKeyTree(HKEY_CLASSES_ROOT, extension);
    DeleteKeyTree(HKEY_CLASSES_ROOT, className);
    CShdRegKey classKey(true);
    CreateWithDefault(HKEY_CLASSES_ROOT, className, description, classKey);
    {
        CShdRegKey icon(true);
        CreateWithDefault(classKey.GetHandle(), L"DefaultIcon", iconText, icon);
    }
    {
        CShdRegKey open(true);
        CreateWithDefault(classKey.GetHandle(), L"Shell\\Open\\Command", command, open);
    }
    classKey.Close();
    CShdRegKey extensionKey(true);
    CreateWithDefault(HKEY_CLASSES_ROOT, extension, className, extensionKey);
    return true;
}

bool RemoveAssociation(const wchar_t* extension)
{
    if (IsEmptyText(extension))
        return false;
    CString className = ReadDefaultString(extension);
    DeleteKeyTree(HKEY_CLASSES_ROOT, extension);
    if (!className.IsEmpty())
        DeleteKeyTree(HKEY_CLASSES_ROOT, className);
    return true;
}

bool IsAssociated()
{
    CString ours = GetOpenCommand(), found;
    return !ours.IsEmpty() && GetAssociationCommand(kRegExtension, found) && found.EqualsNoCase(ours);
}
