#pragma once
// The tool bar's 16 x 16 images and the About window's four faces, drawn with GDI in the
// 16-colour palette rather than shipped as files.
#include <windows.h>

#include <commctrl.h>

namespace kesp {

enum ToolImage {
    kToolImageEnregistrer,
    kToolImageImprimer,
    kToolImageOptimiser,
    kToolImagePlan,
    kToolImageAide,
    kToolImageApropos,
    kToolImageCount
};

HIMAGELIST makeToolImages();
// Face `index` (1 to 4) as a 32 x 32 picture with its top left corner at (x, y).
void drawFace(HDC dc, int x, int y, int index);

} // namespace kesp
