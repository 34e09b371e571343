// The .reg file association: program path, commands, and the keys under HKEY_CLASSES_ROOT.
#include "dialogs/RegAssociation.h"

#include "registry/KeyTree.h"
#include "registry/ShdRegKey.h"
#include "shd/ShdObjArray.h"

#include <windows.h>

const wchar_t kInstallDirKey[] = L"SOFTWARE\\Ordwyn\\Keyhaven";
const wchar_t kRegExtension[] = L".reg";
const wchar_t kRegClassName[] = L"regfile";
const wchar_t kRegDescription[] = L"Registry File";

namespace {

// Tried in turn for a class of ours when the class name itself is taken.
const int kMaxFreeNameTries = 100;

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

bool KeyExists(const wchar_t* path)
{
    CShdRegKey key;
    return key.Open(HKEY_CLASSES_ROOT, path);
}

bool ClassOpensWith(const CString& className, const wchar_t* command)
{
    return !className.IsEmpty() && !IsEmptyText(command) &&
           ReadDefaultString(className + L"\\Shell\\Open\\Command").EqualsNoCase(command);
}

struct SClassTexts
{
    const wchar_t* description;
    const wchar_t* iconText;
    const wchar_t* command;
};

bool WriteDefault(HKEY parent, const wchar_t* path, const wchar_t* text)
{
    CShdRegKey key(true);
    return key.Create(parent, path) && key.SetString(L"", text);
}

bool ClassHolds(const CString& name, const SClassTexts& texts)
{
    return ReadDefaultString(name) == texts.description &&
           ReadDefaultString(name + L"\\DefaultIcon") == texts.iconText &&
           ReadDefaultString(name + L"\\Shell\\Open\\Command") == texts.command;
}

// For a key the caller created and could not fill: deleted when it holds nothing.
void DeleteIfEmpty(const wchar_t* path)
{
    CShdRegKey key;
    DWORD subKeys = 0, values = 0;
    const bool empty =
        key.Open(HKEY_CLASSES_ROOT, path) && key.QueryCounts(subKeys, values) && subKeys == 0 && values == 0;
    key.Close();
    if (empty)
        DeleteKeyTree(HKEY_CLASSES_ROOT, path);
}

// Writes a whole class under a name no key holds anything under yet, and reads it back. On a
// failure the class is deleted again; a key that was there with contents is left as it was.
bool WriteNewClass(const CString& name, const SClassTexts& texts)
{
    CShdRegKey key(true);
    DWORD subKeys = 0, values = 0;
    const bool existed = !name.IsEmpty() && KeyExists(name);
    if (name.IsEmpty() || !key.Create(HKEY_CLASSES_ROOT, name))
        return false;
    if (!key.QueryCounts(subKeys, values) || subKeys > 0 || values > 0) {
        key.Close();
        if (!existed)
            DeleteIfEmpty(name);
        return false;
    }
    const bool written = key.SetString(L"", texts.description) &&
                         WriteDefault(key.GetHandle(), L"DefaultIcon", texts.iconText) &&
                         WriteDefault(key.GetHandle(), L"Shell\\Open\\Command", texts.command);
    key.Close();
    if (written && ClassHolds(name, texts))
        return true;
    DeleteKeyTree(HKEY_CLASSES_ROOT, name);
    return false;
}

// The one write that moves the extension from its old class to the new one: until it succeeds
// the old association stands, after it the new one, already complete.
bool InstallAsNewClass(const wchar_t* extension, const CString& name, const SClassTexts& texts)
{
    const bool extensionExisted = KeyExists(extension);
    if (!WriteNewClass(name, texts))
        return false;
    if (WriteDefault(HKEY_CLASSES_ROOT, extension, name))
        return true;
    DeleteKeyTree(HKEY_CLASSES_ROOT, name);
    if (!extensionExisted)
        DeleteIfEmpty(extension);
    return false;
}

// "Hivelet.regfile", then "Hivelet.regfile.2" and so on; "" when all are taken.
CString FreeClassName(const wchar_t* className)
{
    for (int i = 1; i <= kMaxFreeNameTries; ++i) {
        CString name;
        if (i == 1)
            name.Format(L"Hivelet.%s", className);
        else
            name.Format(L"Hivelet.%s.%i", className, i);
        if (!KeyExists(name))
            return name;
    }
    return CString();
}

// The class is replaced without a moment in which the extension names a half-written class:
// the new class is first installed under a free name, then the old one is deleted and written
// anew, and the extension is moved back to it. A failure after the first move leaves the new
// association in place under the free name.
bool ReplaceClass(const wchar_t* extension, const wchar_t* className, const SClassTexts& texts)
{
    const CString staging = FreeClassName(className);
    if (!InstallAsNewClass(extension, staging, texts))
        return false;
    if (DeleteKeyTree(HKEY_CLASSES_ROOT, className) && InstallAsNewClass(extension, className, texts))
        DeleteKeyTree(HKEY_CLASSES_ROOT, staging);
    return true;
}

// Other programs' subkeys and values of the extension's key go with the registration they
// belonged to; the default value, which names the new class, stays.
void ClearAllButDefault(const wchar_t* extension)
{
    CShdRegKey key(true);
    if (!key.Open(HKEY_CLASSES_ROOT, extension))
        return;
    CShdObjArray<CString> names;
    CString name;
    for (DWORD i = 0; key.EnumKey(i, name); ++i)
        names.Add(name);
    for (int i = 0; i < names.GetSize(); ++i)
        DeleteKeyTree(key.GetHandle(), names[i]);
    names.RemoveAll();
    for (DWORD i = 0; key.EnumValueName(i, name); ++i) {
        if (!name.IsEmpty())
            names.Add(name);
    }
    for (int i = 0; i < names.GetSize(); ++i)
        key.DeleteValue(names[i]);
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

// The class goes under its own name when that is free, replaces it when the extension names it
// or it is ours, and otherwise, being another program's, is left alone for a free name.
bool InstallAssociation(const wchar_t* extension, const wchar_t* className, const wchar_t* description,
                        const wchar_t* iconText, const wchar_t* command)
{
    if (IsEmptyText(extension) || IsEmptyText(className))
        return false;
    const SClassTexts texts = {description, iconText, command};
    const CString oldClass = ReadDefaultString(extension);
    bool installed = false;
    if (!KeyExists(className))
        installed = InstallAsNewClass(extension, className, texts);
    else if (oldClass.EqualsNoCase(className) || ClassOpensWith(className, command))
        installed = ReplaceClass(extension, className, texts);
    else
        installed = InstallAsNewClass(extension, FreeClassName(className), texts);
    if (installed)
        ClearAllButDefault(extension);
    return installed;
}

// The class goes only once the extension no longer names it. An extension key that could not
// be deleted but lost its default value on the way no longer opens anything: that counts as
// removed.
bool RemoveAssociation(const wchar_t* extension, const wchar_t* command)
{
    if (IsEmptyText(extension) || IsEmptyText(command))
        return false;
    const CString className = ReadDefaultString(extension);
    if (!ClassOpensWith(className, command))
        return false;
    if (!DeleteKeyTree(HKEY_CLASSES_ROOT, extension) && ReadDefaultString(extension).EqualsNoCase(className))
        return false;
    DeleteKeyTree(HKEY_CLASSES_ROOT, className);
    return true;
}

bool HasForeignAssociation()
{
    if (IsAssociated())
        return false;
    CShdRegKey key;
    DWORD subKeys = 0, values = 0;
    if (!key.Open(HKEY_CLASSES_ROOT, kRegExtension))
        return false;
    return !key.QueryCounts(subKeys, values) || subKeys > 0 || values > 0;
}

bool IsAssociated()
{
    CString ours = GetOpenCommand(), found;
    return !ours.IsEmpty() && GetAssociationCommand(kRegExtension, found) && found.EqualsNoCase(ours);
}
