#include "settings/Settings.h"

#include "registry/ShdRegKey.h"

const wchar_t* const CSettings::kKeyPath = L"SOFTWARE\\Ordwyn\\Keyhaven\\Settings";

CSettings& Settings()
{
    static CSettings settings;
    return settings;
}

void CSettings::Load()
{
    // An unopened key answers every read with failure, so the defaults then hold throughout.
    CShdRegKey key(false);
    key.Open(HKEY_LOCAL_MACHINE, kKeyPath);
    const SSearchOptions defaults;
    m_search.searchString = key.GetString(L"SearchString", L"");
    m_search.keyNames = key.GetBool(L"SearchKeyNames", defaults.keyNames);
    m_search.valueNames = key.GetBool(L"SearchValueNames", defaults.valueNames);
    m_search.valueData = key.GetBool(L"SearchValueData", defaults.valueData);
    m_search.caseSensitive = key.GetBool(L"SearchCaseSensitive", defaults.caseSensitive);
    m_search.wholeStringOnly = key.GetBool(L"SearchWholeStringOnly", defaults.wholeStringOnly);
    m_search.strings = key.GetBool(L"SearchTypeStrings", defaults.strings);
    m_search.multiStrings = key.GetBool(L"SearchTypeMultiStrings", defaults.multiStrings);
    m_search.dwords = key.GetBool(L"SearchTypeDwords", defaults.dwords);
    m_search.binary = key.GetBool(L"SearchTypeBinary", defaults.binary);
    m_lastRoot = key.GetDword(L"LastPositionRoot", 0);
    m_lastKeyName = key.GetString(L"LastPositionKeyName", L"");
    m_lastValueName = key.GetString(L"LastPositionValueName", L"");
    m_lastValueSelected = key.GetBool(L"LastPositionValueSelected", false);
    m_savePosition = key.GetBool(L"SavePosition", true);
    m_showSearchToolbar = key.GetBool(L"ShowSearchToolbar", true);
    m_doNotCheckImportHeader = key.GetBool(L"DoNotCheckImportHeader", false);
    key.Close();
}

void CSettings::SaveSearchOptions(const SSearchOptions& options)
{
    m_search = options;
    CShdRegKey key(false);
    if (!key.Create(HKEY_LOCAL_MACHINE, kKeyPath))
        return;
    key.SetString(L"SearchString", m_search.searchString);
    key.SetDword(L"SearchKeyNames", m_search.keyNames ? 1 : 0);
    key.SetDword(L"SearchValueNames", m_search.valueNames ? 1 : 0);
    key.SetDword(L"SearchValueData", m_search.valueData ? 1 : 0);
    key.SetDword(L"SearchCaseSensitive", m_search.caseSensitive ? 1 : 0);
    key.SetDword(L"SearchWholeStringOnly", m_search.wholeStringOnly ? 1 : 0);
    key.SetDword(L"SearchTypeStrings", m_search.strings ? 1 : 0);
    key.SetDword(L"SearchTypeMultiStrings", m_search.multiStrings ? 1 : 0);
    key.SetDword(L"SearchTypeDwords", m_search.dwords ? 1 : 0);
    key.SetDword(L"SearchTypeBinary", m_search.binary ? 1 : 0);
    key.Close();
}

void CSettings::GetLastPosition(DWORD& root, CString& keyPath, CString& valueName, bool& valueSelected) const
{
    root = m_lastRoot;
    keyPath = m_lastKeyName;
    valueName = m_lastValueName;
    valueSelected = m_lastValueSelected;
}

void CSettings::SaveLastPosition(DWORD root, const wchar_t* keyPath, const wchar_t* valueName,
                                 bool valueSelected)
{
    m_lastRoot = root;
    m_lastKeyName = keyPath ? keyPath : L"";
    m_lastValueName = valueName ? valueName : L"";
    m_lastValueSelected = valueSelected;
    CShdRegKey key(false);
    if (!key.Create(HKEY_LOCAL_MACHINE, kKeyPath))
        return;
    key.SetDword(L"LastPositionRoot", m_lastRoot);
    key.SetString(L"LastPositionKeyName", m_lastKeyName);
    key.SetString(L"LastPositionValueName", m_lastValueName);
    key.SetDword(L"LastPositionValueSelected", m_lastValueSelected ? 1 : 0);
    key.Close();
}

void CSettings::SaveOptions()
{
    CShdRegKey key(false);
    if (!key.Create(HKEY_LOCAL_MACHINE, kKeyPath))
        return;
    key.SetDword(L"SavePosition", m_savePosition ? 1 : 0);
    key.SetDword(L"ShowSearchToolbar", m_showSearchToolbar ? 1 : 0);
    key.SetDword(L"DoNotCheckImportHeader", m_doNotCheckImportHeader ? 1 : 0);
    key.Close();
}

void CSettings::Flush()
{
    CShdRegKey key(true);
    if (key.Open(HKEY_LOCAL_MACHINE, kKeyPath))
        key.Close();
}
