// Resource identifiers of Hivelet.exe, grouped by kind.
#pragma once

// Version
#define HIVELET_VERSION_MAJOR 1
#define HIVELET_VERSION_MINOR 1
#define HIVELET_VERSION_PATCH 2
#define HIVELET_VERSION_BUILD 183

// Icons
#define IDI_HIVELET 122
