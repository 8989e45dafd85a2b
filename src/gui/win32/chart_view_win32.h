#pragma once
// A chart of plan_charts in a child window, painted with GDI in the window's text colour on its
// base colour, faded while disabled, with scroll bars where the window is smaller than the chart.
#include <windows.h>

#include <functional>

#include "plan/plan_charts.h"

namespace kesp {

// Paints `picture` into `dc` over `area`, shifted by the scroll offsets; `font` and `boldFont`
// are the texts' fonts. Faded, every colour is mixed with the base colour, as Qt paints a
// disabled chart.
void paintChart(HDC dc, const RECT& area, const plan::ChartPicture& picture, POINT scroll,
                HFONT font, HFONT boldFont, bool faded);

class ChartViewWin32 {
public:
    // The picture for a chart `width` pixels wide, texts measured by `textWidth`.
    using Draw = std::function<plan::ChartPicture(int width, const plan::TextWidth& textWidth)>;
    ChartViewWin32(HWND parent, HFONT font, HFONT boldFont, Draw draw);
    ~ChartViewWin32();
    ChartViewWin32(const ChartViewWin32&) = delete;
    ChartViewWin32& operator=(const ChartViewWin32&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The picture at the window's width, or at the chart's least width when the window is
    // narrower.
    plan::ChartPicture picture() const;
    // After the data behind `draw` changed: the scroll ranges follow and the window repaints.
    void update();
    POINT scroll() const { return scroll_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void scrollTo(POINT position);
    void scrolled(int bar, WPARAM request);

    HWND hwnd_ = nullptr;
    HFONT font_;
    HFONT boldFont_;
    Draw draw_;
    POINT scroll_{0, 0};
};

} // namespace kesp
