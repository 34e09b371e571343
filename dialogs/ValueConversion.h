// Conversions between a value's stored bytes and the text its editor shows, the number parser
// of the double-word and type fields, and the names of the value types.
//   Strings:       bytes -> text up to the first NUL (whole text without one); text -> text + NUL
//   Double words:  exactly 4 little-endian bytes, shown with %lu or %lx
//   Multi-strings: one string per CR LF line; CR LF, LF CR, LF and CR all end a line
#pragma once

#include "registry/ShdBinaryBuffer.h"
#include "shd/String.h"

#include <windows.h>

// "REG_SZ" and the other known names; "Unknown (0x5)" for the rest.
CString GetValueTypeName(DWORD type);

// Digits only (0-9, or 0-9 a-f A-F in hexadecimal): no sign, prefix or blank, not empty, and a
// value not above upperBound however many leading zeros it has.
bool ParseNumber(const wchar_t* text, bool hexadecimal, DWORD upperBound, DWORD& number);
// %lx or %lu.
CString FormatNumber(DWORD number, bool hexadecimal);

CString StringFromBytes(const CShdBinaryBuffer& data);
bool BytesFromString(const wchar_t* text, CShdBinaryBuffer& data);
// False unless the data is exactly 4 bytes long.
bool DwordFromBytes(const CShdBinaryBuffer& data, DWORD& number);
bool BytesFromDword(DWORD number, CShdBinaryBuffer& data);
CString MultiStringFromBytes(const CShdBinaryBuffer& data);
bool BytesFromMultiString(const wchar_t* text, CShdBinaryBuffer& data);
// As typed by the user: an empty string ends the list for every reader of the value, so empty
// lines are dropped, except a last one (a text that ends in a line break).
bool BytesFromEditedMultiString(const wchar_t* text, CShdBinaryBuffer& data, bool& droppedEmptyLines);

// The largest of 1, 2, 4, 8, 16 bytes per line that fits where autoBytesPerLine would
// (0, an unmeasured control, counts as 4).
unsigned PowerOfTwoBytesPerLine(unsigned autoBytesPerLine);
