// CSelectObject: a GDI object selected into a device context for one scope; the previous
// object is selected back at its end. A null object selects nothing.
#pragma once

#include <windows.h>

class CSelectObject
{
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr)
    {
    }
    ~CSelectObject()
    {
        if (m_previous)
            SelectObject(m_dc, m_previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
