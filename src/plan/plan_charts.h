#pragma once
// The plan window's two charts as plain shapes, so that the Qt and the Win32 windows draw the same
// picture: the layout bars (one stacked bar per layout, the recommended and the formatters'
// default layouts marked) and the slack by file size. Places, colours and texts are decided
// here; a window paints the boxes, then the frames, then the texts, in its own text colour on its
// own base colour.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plan/plan_window_model.h"

namespace kesp::plan {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

Rgb barPartColour(std::size_t part);
// The highlight of the table's recommended row.
Rgb recommendedRowColour();
// The size field's text while what it holds is no size.
Rgb unreadableSizeColour();

struct ChartBox {
    int x = 0, y = 0, width = 0, height = 0;
    Rgb fill;
};

// An outline `pen` pixels wide, centred on the rectangle's edges.
struct ChartFrame {
    int x = 0, y = 0, width = 0, height = 0;
    int pen = 1;
    Rgb colour;
};

// One line of text, vertically centred in its box, cut where it would leave it.
struct ChartText {
    int x = 0, y = 0, width = 0, height = 0;
    std::string text;
    bool bold = false;
    bool alignRight = false;
};

struct ChartPicture {
    int height = 0; // the height every row needs
    std::vector<ChartBox> boxes;
    std::vector<ChartFrame> frames;
    std::vector<ChartText> texts;
};

// The width of `text` in pixels, in the chart's normal font.
using TextWidth = std::function<int(std::string_view text)>;

// The width of the bars themselves in a chart `chartWidth` wide: what is left beside the labels
// and the marks.
int barAreaWidth(int chartWidth);
// The chart width that leaves `barArea` pixels to the bars.
int layoutBarsWidth(int barArea);
ChartPicture layoutBarsPicture(const std::vector<LayoutBar>& bars, int chartWidth,
                               const TextWidth& textWidth);

ChartPicture slackPicture(const std::vector<SlackRow>& rows, std::uint32_t clusterBytes,
                          int chartWidth);

// The table's columns whose figures are aligned to the right.
bool figureColumn(std::size_t column);

} // namespace kesp::plan
