#include "gui/win32/tool_images.h"

namespace kesp {
namespace {

struct Gdi {
    HDC dc;
    void pen(COLORREF colour) { DeleteObject(SelectObject(dc, CreatePen(PS_SOLID, 1, colour))); }
    void brush(COLORREF colour) { DeleteObject(SelectObject(dc, CreateSolidBrush(colour))); }
    void hollow() { DeleteObject(SelectObject(dc, GetStockObject(NULL_BRUSH))); }
    void line(int x1, int y1, int x2, int y2) {
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    }
    void rect(int l, int t, int r, int b) { Rectangle(dc, l, t, r, b); }
};

constexpr COLORREF kNoir = RGB(0, 0, 0), kBlanc = RGB(255, 255, 255), kGris = RGB(128, 128, 128),
                   kBleu = RGB(0, 0, 128), kJaune = RGB(255, 255, 0), kRouge = RGB(255, 0, 0),
                   kVert = RGB(0, 128, 0);

void drawTool(Gdi& g, int image) {
    switch (image) {
    case kToolImageEnregistrer: // a diskette
        g.pen(kNoir), g.brush(kBleu), g.rect(1, 1, 15, 15);
        g.brush(kBlanc), g.rect(4, 1, 12, 7);
        g.brush(kGris), g.rect(5, 10, 11, 15);
        break;
    case kToolImageImprimer: // a printer with its sheet
        g.pen(kNoir), g.brush(kBlanc), g.rect(4, 1, 12, 7);
        g.brush(kGris), g.rect(1, 6, 15, 12);
        g.brush(kBlanc), g.rect(4, 10, 12, 15);
        break;
    case kToolImageOptimiser: // bars of three heights
        g.pen(kNoir), g.brush(kVert), g.rect(1, 9, 5, 15);
        g.brush(kJaune), g.rect(6, 5, 10, 15);
        g.brush(kRouge), g.rect(11, 1, 15, 15);
        break;
    case kToolImagePlan: // a sheet with rows
        g.pen(kNoir), g.brush(kBlanc), g.rect(2, 1, 14, 15);
        g.pen(kBleu), g.line(4, 4, 12, 4), g.line(4, 7, 12, 7), g.line(4, 10, 12, 10);
        g.line(4, 13, 9, 13);
        break;
    case kToolImageAide: { // a question mark
        HFONT font = CreateFontW(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                 VARIABLE_PITCH | FF_SWISS, L"Arial");
        const HGDIOBJ previous = SelectObject(g.dc, font);
        SetBkMode(g.dc, TRANSPARENT);
        SetTextColor(g.dc, kBleu);
        RECT all{0, 0, 16, 16};
        DrawTextW(g.dc, L"?", 1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(g.dc, previous);
        DeleteObject(font);
        break;
    }
    case kToolImageApropos: // "i" in a bubble
        g.pen(kNoir), g.brush(kBlanc), Ellipse(g.dc, 0, 0, 16, 16);
        g.brush(kBleu), g.pen(kBleu), g.rect(7, 3, 9, 5), g.rect(7, 7, 9, 13);
        break;
    default:
        break;
    }
}

} // namespace

HIMAGELIST makeToolImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, kToolImageCount, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    for (int image = 0; image < kToolImageCount; ++image) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        // Magenta is the transparent colour of the mask.
        const RECT all{0, 0, 16, 16};
        HBRUSH fond = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, fond);
        DeleteObject(fond);
        Gdi g{dc};
        const HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
        const HGDIOBJ brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        drawTool(g, image);
        DeleteObject(SelectObject(dc, pen));
        DeleteObject(SelectObject(dc, brush));
        SelectObject(dc, previous);
        ImageList_AddMasked(list, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return list;
}

void drawFace(HDC dc, int x, int y, int index) {
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, x, y, nullptr);
    Gdi g{dc};
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    g.pen(kNoir), g.brush(kJaune), Ellipse(dc, 1, 1, 31, 31);
    // Eyes: open dots, squeezed shut while laughing hard.
    if (index == 4) {
        g.line(9, 11, 14, 11), g.line(18, 11, 23, 11);
    } else {
        g.brush(kNoir), g.rect(10, 9, 13, 13), g.rect(19, 9, 22, 13);
    }
    switch (index) {
    case 1:
        g.line(10, 21, 22, 21);
        break;
    case 2:
        g.hollow();
        Arc(dc, 8, 12, 24, 23, 8, 18, 24, 18);
        break;
    default: {
        // Open laughing mouth: a red half-moon under a white row of teeth.
        const int haut = index == 3 ? 17 : 16;
        const int profondeur = index == 3 ? 9 : 11;
        g.brush(kRouge);
        Chord(dc, 8, haut - profondeur, 25, haut + profondeur, 8, haut, 24, haut);
        g.pen(kBlanc), g.brush(kBlanc), g.rect(10, haut + 1, 22, haut + 3);
        break;
    }
    }
    // The last pen and brush made here go with the saved state's own.
    const HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
    const HGDIOBJ brush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    RestoreDC(dc, saved);
    DeleteObject(pen);
    DeleteObject(brush);
}

} // namespace kesp
