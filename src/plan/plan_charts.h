#pragma once
// The plan window's two charts as plain shapes, so that the Qt and the Win32 windows draw the same
// picture: the layout bars (one stacked bar per layout, the recommended and the formatters'
// default layouts marked) and the slack by file size. Places, colours and texts are decided
// here; a window paints the boxes, then the frames, then the texts, in its own text colour on its
// own base colour, faded while the plan is not the size field's.
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
// The table's highlights: the recommended row, the exFAT one for devices that read exFAT.
Rgb recommendedRowColour();
Rgb recommendedExfatRowColour();
// Why a size is refused, and a plan of a walk that missed folders.
Rgb warningColour();

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

// One line of text, vertically centred in its box.
struct ChartText {
    int x = 0, y = 0, width = 0, height = 0;
    std::string text;
    bool bold = false;
    bool alignRight = false;
};

struct ChartPicture {
    int height = 0;       // what every row needs
    int minimumWidth = 0; // below it, the chart scrolls rather than cut a text or a bar away
    std::vector<ChartBox> boxes;
    std::vector<ChartFrame> frames;
    std::vector<ChartText> texts;
};

// The width of `text` in pixels, in the chart's normal font.
using TextWidth = std::function<int(std::string_view text)>;

// The width of the bars themselves in a chart `chartWidth` wide: what is left beside the labels
// and the marks.
int barAreaWidth(int chartWidth);
ChartPicture layoutBarsPicture(const std::vector<LayoutBar>& bars, int chartWidth,
                               const TextWidth& textWidth);

// "12 fichiers, 34 567 octets"
std::string slackFigureText(const SlackRow& row, const Figures& figures);
ChartPicture slackPicture(const std::vector<SlackRow>& rows, std::uint32_t clusterBytes,
                          const Figures& figures, int chartWidth, const TextWidth& textWidth);

} // namespace kesp::plan
