// Cached screen densities and the scaling rules built on them.
#include "shd/ScreenScale.h"

#include <windows.h>

namespace {

struct SDensity
{
    bool known = false;
    int x = 96;
    int y = 96;
};

SDensity& Density()
{
    static SDensity density;
    if (!density.known) {
        if (HDC screen = GetDC(nullptr)) {
            density.x = GetDeviceCaps(screen, LOGPIXELSX);
            density.y = GetDeviceCaps(screen, LOGPIXELSY);
            ReleaseDC(nullptr, screen);
        }
        density.known = true;
    }
    return density;
}

} // namespace

int GetLogPixelsX()
{
    return Density().x;
}

int GetLogPixelsY()
{
    return Density().y;
}

int ScaleX(int length)
{
    return (GetLogPixelsX() * length + 48) / 96;
}

int ScaleY(int length)
{
    return (GetLogPixelsY() * length + 48) / 96;
}

int FontHeightFromPoints(int points)
{
    return -(GetLogPixelsY() * points + 36) / 72;
}

bool IsHighResolution()
{
    return (GetLogPixelsX() + 48) / 96 > 1;
}

void OverrideLogPixels(int x, int y)
{
    SDensity& density = Density();
    density.known = x > 0 && y > 0;
    density.x = x > 0 ? x : 96;
    density.y = y > 0 ? y : 96;
}
