#pragma once
// A chart of plan_charts in a child window, painted with GDI in the window's text colour on its
// base colour, with a vertical scroll bar when the rows are taller than the window.
#include <windows.h>

#include <functional>

#include "plan/plan_charts.h"

namespace kesp {

// Paints `picture` into `dc` over `area`, shifted up by `scrollY`; `font` and `boldFont` are
// the texts' fonts.
void paintChart(HDC dc, const RECT& area, const plan::ChartPicture& picture, int scrollY,
                HFONT font, HFONT boldFont);

class ChartViewWin32 {
public:
    // The picture for a chart `width` pixels wide, texts measured by `textWidth`.
    using Draw = std::function<plan::ChartPicture(int width, const plan::TextWidth& textWidth)>;
    ChartViewWin32(HWND parent, HFONT font, HFONT boldFont, Draw draw);
    ~ChartViewWin32();
    ChartViewWin32(const ChartViewWin32&) = delete;
    ChartViewWin32& operator=(const ChartViewWin32&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The picture at the window's present width.
    plan::ChartPicture picture() const;
    // After the data behind `draw` changed: the scroll range follows and the window repaints.
    void update();
    int scrollY() const { return scrollY_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void scrollTo(int y);

    HWND hwnd_ = nullptr;
    HFONT font_;
    HFONT boldFont_;
    Draw draw_;
    int scrollY_ = 0;
};

} // namespace kesp
