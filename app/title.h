// The main window's title: the dialog formats it; the tools and tests find the window by it.
#pragma once

#define TOOL_TITLE_FORMAT L"Velmora GPIO Config V %d.%d"
#define TOOL_VERSION_MAJOR 2
#define TOOL_VERSION_MINOR 3
// TOOL_TITLE_FORMAT filled with the version.
#define TOOL_TITLE L"Velmora GPIO Config V 2.3"
