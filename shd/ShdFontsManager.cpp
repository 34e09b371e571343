// The shared dialog font.
#include "shd/ShdFontsManager.h"

#include "shd/ScreenScale.h"

#include <cwchar>

CShdFontsManager& CShdFontsManager::Instance()
{
    static CShdFontsManager instance;
    return instance;
}

CShdFontsManager::~CShdFontsManager()
{
    if (m_dialogFont)
        DeleteObject(m_dialogFont);
}

HFONT CShdFontsManager::GetDialogFont()
{
    if (m_dialogFont)
        return m_dialogFont;
    LOGFONTW font = {};
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font)) {
        font = LOGFONTW();
        wcscpy(font.lfFaceName, L"Tahoma");
    }
    font.lfHeight = FontHeightFromPoints(8);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    font.lfQuality = 0;
    m_dialogFont = CreateFontIndirectW(&font);
    return m_dialogFont;
}
