#include "plan/plan_charts.h"

#include <algorithm>

namespace kesp::plan {
namespace {

namespace bars {
constexpr int kLabelWidth = 110;
constexpr int kMarkWidth = 190;
constexpr int kRowHeight = 22;
constexpr int kLegendHeight = 26;
constexpr int kMargin = 6;
constexpr int kLeastBarWidth = 200;
constexpr int kSwatch = 12;
constexpr int kSwatchGap = 4;
constexpr int kLegendGap = 14;
} // namespace bars

namespace slack {
constexpr int kRowHeight = 18;
constexpr int kTitleHeight = 24;
constexpr int kLabelWidth = 70;
constexpr int kLeastBarWidth = 100;
constexpr int kGap = 6;
constexpr int kMargin = 6;
} // namespace slack

constexpr Rgb kBlack{0, 0, 0};

void addBox(ChartPicture& picture, int x, int y, int width, int height, Rgb fill) {
    if (width > 0 && height > 0) picture.boxes.push_back({x, y, width, height, fill});
}

std::string marksOf(const LayoutBar& bar) {
    std::string marks;
    if (bar.recommended) marks = "★ recommandé";
    if (bar.formatterDefault) marks += marks.empty() ? "◆ par défaut" : " ◆ par défaut";
    return marks;
}

// `part` of `whole` in `width` pixels, rounded down, without leaving 64 bits.
int share(std::uint64_t part, std::uint64_t whole, int width) {
    if (whole == 0 || width <= 0) return 0;
    while (whole > (std::uint64_t{1} << 40)) {
        part >>= 1;
        whole >>= 1;
    }
    return static_cast<int>(part * static_cast<std::uint64_t>(width) /
                            std::max<std::uint64_t>(whole, 1));
}

} // namespace

Rgb barPartColour(std::size_t part) {
    static constexpr Rgb colours[kBarParts] = {{0x3b, 0x6f, 0xb6},
                                               {0xe8, 0x83, 0x3a},
                                               {0x6a, 0xa8, 0x4f},
                                               {0x80, 0x80, 0x80},
                                               {0xe4, 0xe4, 0xe4}};
    return colours[part];
}

Rgb recommendedRowColour() {
    return {0xff, 0xef, 0xa8};
}

Rgb recommendedExfatRowColour() {
    return {0xd8, 0xea, 0xff};
}

Rgb warningColour() {
    return {0xb0, 0x00, 0x00};
}

int barAreaWidth(int chartWidth) {
    return std::max(0, chartWidth - bars::kLabelWidth - bars::kMarkWidth - 2 * bars::kMargin);
}

ChartPicture layoutBarsPicture(const std::vector<LayoutBar>& layoutBars, int chartWidth,
                               const TextWidth& textWidth) {
    using namespace bars;
    ChartPicture picture;
    picture.height = kLegendHeight + kMargin + static_cast<int>(layoutBars.size()) * kRowHeight;

    // The legend: a swatch and a name per part.
    int x = kMargin;
    for (std::size_t part = 0; part < kBarParts; ++part) {
        addBox(picture, x, kMargin + 4, kSwatch, kSwatch, barPartColour(part));
        const std::string& name = barPartNames()[part];
        const int width = textWidth(name);
        picture.texts.push_back({x + kSwatch + kSwatchGap, kMargin + 2, width, kSwatch + 4, name});
        x += kSwatch + kSwatchGap + width + kLegendGap;
    }
    picture.minimumWidth =
        std::max(x, kMargin + kLabelWidth + kLeastBarWidth + kMarkWidth + kMargin);

    const int barX = kMargin + kLabelWidth;
    const int area = barAreaWidth(chartWidth);
    for (std::size_t row = 0; row < layoutBars.size(); ++row) {
        const LayoutBar& bar = layoutBars[row];
        const int y = kLegendHeight + kMargin + static_cast<int>(row) * kRowHeight;
        picture.texts.push_back(
            {kMargin, y, kLabelWidth - 6, kRowHeight - 4, bar.label, bar.recommended});
        int partX = barX;
        const auto widths = barWidths(bar, area);
        for (std::size_t part = 0; part < kBarParts; ++part) {
            addBox(picture, partX, y + 2, widths[part], kRowHeight - 8, barPartColour(part));
            partX += widths[part];
        }
        if (bar.recommended)
            picture.frames.push_back({barX - 1, y + 1, area + 1, kRowHeight - 6, 2, kBlack});
        if (const std::string marks = marksOf(bar); !marks.empty())
            picture.texts.push_back({barX + area + 6, y, kMarkWidth, kRowHeight - 4, marks});
    }
    return picture;
}

std::string slackFigureText(const SlackRow& row, const Figures& figures) {
    return figures(row.files) + (row.files > 1 ? " fichiers, " : " fichier, ") +
           figures(row.lostBytes) + " octets";
}

ChartPicture slackPicture(const std::vector<SlackRow>& rows, std::uint32_t clusterBytes,
                          const Figures& figures, int chartWidth, const TextWidth& textWidth) {
    using namespace slack;
    ChartPicture picture;
    picture.height = kTitleHeight + kMargin + static_cast<int>(rows.size()) * kRowHeight;
    const std::string title = slackChartTitle(clusterBytes, figures);
    picture.texts.push_back(
        {kMargin, kMargin, chartWidth - 2 * kMargin, kTitleHeight - kMargin, title});

    // The figures' column as wide as its widest text; the bars take what is left.
    std::vector<std::string> texts;
    int figureWidth = 0;
    std::uint64_t most = 1;
    for (const SlackRow& row : rows) {
        texts.push_back(slackFigureText(row, figures));
        figureWidth = std::max(figureWidth, textWidth(texts.back()));
        most = std::max(most, row.lostBytes);
    }
    picture.minimumWidth =
        std::max(kMargin + kLabelWidth + kLeastBarWidth + kGap + figureWidth + kMargin,
                 2 * kMargin + textWidth(title));
    const int barWidth = std::max(0, chartWidth - kLabelWidth - kGap - figureWidth - 2 * kMargin);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SlackRow& row = rows[i];
        const int y = kTitleHeight + kMargin + static_cast<int>(i) * kRowHeight;
        picture.texts.push_back({kMargin, y, kLabelWidth - 4, kRowHeight, row.label, false, true});
        addBox(picture, kMargin + kLabelWidth, y + 3, share(row.lostBytes, most, barWidth),
               kRowHeight - 6, barPartColour(Slack));
        picture.texts.push_back(
            {kMargin + kLabelWidth + barWidth + kGap, y, figureWidth, kRowHeight, texts[i]});
    }
    return picture;
}

} // namespace kesp::plan
