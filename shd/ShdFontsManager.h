// CShdFontsManager: the one dialog font the program shares (8 points, normal weight, from the
// stock GUI font or "Tahoma"), created on first request and deleted at exit.
#pragma once

#include <windows.h>

class CShdFontsManager
{
public:
    static CShdFontsManager& Instance();
    HFONT GetDialogFont();

    virtual ~CShdFontsManager();

private:
    CShdFontsManager() = default;
    CShdFontsManager(const CShdFontsManager&) = delete;
    CShdFontsManager& operator=(const CShdFontsManager&) = delete;

    HFONT m_dialogFont = nullptr;
};
