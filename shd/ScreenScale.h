// Screen scaling: the screen's logical pixels per inch, read once, and lengths given at 96 dpi
// scaled to it: ScaleX(n) = (LOGPIXELSX * n + 48) / 96, ScaleY likewise with LOGPIXELSY; font
// heights for a point size; IsHighResolution (144 dpi and more: the double-size bitmaps).
#pragma once

int GetLogPixelsX();
int GetLogPixelsY();
int ScaleX(int length);
int ScaleY(int length);
// -(LOGPIXELSY * points + 36) / 72, a LOGFONT height.
int FontHeightFromPoints(int points);
bool IsHighResolution();

// Replaces the cached densities (tests); 0, 0 reads the screen again on the next call.
void OverrideLogPixels(int x, int y);
