#pragma once
// The size at which a captured window image is painted into the preview
// area: its own size when it is smaller in both directions, else scaled
// down to fit, keeping its aspect ratio. Never enlarged.
#include <windows.h>

// stretched is set to whether the image must be scaled.
SIZE PreviewPaintSize(int width, int height, int areaWidth, int areaHeight, bool* stretched = nullptr);
