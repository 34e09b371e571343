// The patterns a search string gives, prepared once per search, and the name and data tests.
#pragma once

#include "registry/ShdBinaryBuffer.h"
#include "settings/SearchOptions.h"
#include "shd/String.h"

#include <windows.h>

class CSearchPatterns
{
public:
    void Prepare(const SSearchOptions& options);
    void Clear();

    bool NameMatches(const wchar_t* name) const;
    // Value data by type; false when the type's option is off.
    bool DataMatches(DWORD type, const BYTE* data, DWORD size) const;

    // Exposed for tests.
    bool HasNumber() const { return m_numberValid; }
    DWORD Number() const { return m_number; }
    const CShdBinaryBuffer& HexPattern() const { return m_hex; }
    const CShdBinaryBuffer& AnsiPattern() const { return m_ansi; }

private:
    bool TextMatches(const wchar_t* text, int length) const;
    bool MultiStringMatches(const wchar_t* units, int count) const;
    bool BinaryMatches(const BYTE* data, DWORD size) const;

    SSearchOptions m_options;
    CString m_lowered;
    DWORD m_number = 0;
    bool m_numberValid = false;
    CShdBinaryBuffer m_utf16;
    CShdBinaryBuffer m_ansi;
    CShdBinaryBuffer m_hex;
};

// Parsers behind the patterns.
bool ParseSearchNumber(const wchar_t* text, DWORD& number);
bool ParseHexPattern(const wchar_t* text, CShdBinaryBuffer& bytes); // false: not hex, bytes empty
