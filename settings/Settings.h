// CSettings: the program's persistent settings, mirrored in one process-wide object.
//   Settings()               the object (created on first use)
//   Load()                   reads all seventeen values from HKLM\SOFTWARE\Ordwyn\Keyhaven\Settings;
//                            a missing key, value, or a value of the wrong type or size gives the default
//   SaveSearchOptions / SaveLastPosition / SaveOptions   write one group (without flush)
//   Flush()                  flushes the key; every caller of a save calls it right after
// Write failures are ignored: the in-memory value stays in force.
#pragma once

#include "settings/SearchOptions.h"
#include "shd/String.h"

#include <windows.h>

class CSettings
{
public:
    CSettings() = default;
    virtual ~CSettings() = default;
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    static const wchar_t* const kKeyPath; // below HKEY_LOCAL_MACHINE

    void Load();

    SSearchOptions GetSearchOptions() const { return m_search; }
    void SaveSearchOptions(const SSearchOptions& options);

    void GetLastPosition(DWORD& root, CString& keyPath, CString& valueName, bool& valueSelected) const;
    void SaveLastPosition(DWORD root, const wchar_t* keyPath, const wchar_t* valueName, bool valueSelected);

    bool GetSavePosition() const { return m_savePosition; }
    void SetSavePosition(bool on) { m_savePosition = on; }
    bool GetShowSearchToolbar() const { return m_showSearchToolbar; }
    void SetShowSearchToolbar(bool on) { m_showSearchToolbar = on; }
    bool GetDoNotCheckImportHeader() const { return m_doNotCheckImportHeader; }
    void SetDoNotCheckImportHeader(bool on) { m_doNotCheckImportHeader = on; }
    void SaveOptions();

    void Flush();

private:
    SSearchOptions m_search;
    DWORD m_lastRoot = 0;
    CString m_lastKeyName;
    CString m_lastValueName;
    bool m_lastValueSelected = false;
    bool m_savePosition = true;
    bool m_showSearchToolbar = true;
    bool m_doNotCheckImportHeader = false;
};

CSettings& Settings();
