// The plan window's charts as shapes, the same for both toolkits: where the bars and their parts
// lie, the marks, the legend, and the slack bars in proportion.
#include "plan/plan_charts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kesp::plan {
namespace {

int sevenPerByte(std::string_view text) {
    return 7 * static_cast<int>(text.size());
}

bool within(const ChartBox& box, int top, int height) {
    return box.y >= top && box.y + box.height <= top + height;
}

TEST(LayoutBarsPicture, EachBarCutInItsPartsTheRecommendedFramedAndTheMarksBeside) {
    TreeTally tally;
    for (int i = 0; i < 400; ++i)
        tallyFile(tally, 700 + 37 * static_cast<std::uint64_t>(i), 4096);
    tallyFolder(tally, {30, 90}, false);
    tallyFolder(tally, {400 - 30 + 1, 3 * (400 - 30 + 1)}, true);
    const PlanWindowModel model(tally, 300ull << 20, 4096);
    const std::vector<LayoutBar> bars = model.bars();
    // The FAT layout to recommend and the exFAT one, each framed.
    ASSERT_TRUE(model.plan().recommended && model.plan().recommendedExfat);
    const int width = 900;
    const int area = barAreaWidth(width);
    EXPECT_EQ(area, width - 110 - 190 - 2 * 6);
    const ChartPicture picture = layoutBarsPicture(bars, width, sevenPerByte);
    EXPECT_EQ(picture.height, 26 + 6 + static_cast<int>(bars.size()) * 22);
    int legend = 6;
    for (const std::string& name : barPartNames())
        legend += 12 + 4 + sevenPerByte(name) + 14;
    EXPECT_EQ(picture.minimumWidth, std::max(legend, 6 + 110 + 200 + 190 + 6));

    // The legend: one swatch per part, in the parts' colours, each name after its swatch.
    ASSERT_GE(picture.boxes.size(), std::size_t{kBarParts});
    ASSERT_GE(picture.texts.size(), std::size_t{kBarParts});
    for (std::size_t part = 0; part < kBarParts; ++part) {
        EXPECT_EQ(picture.boxes[part].fill, barPartColour(part));
        EXPECT_EQ(picture.texts[part].text, barPartNames()[part]);
        EXPECT_GT(picture.texts[part].x, picture.boxes[part].x + picture.boxes[part].width);
        if (part > 0) {
            EXPECT_GT(picture.boxes[part].x,
                      picture.texts[part - 1].x + picture.texts[part - 1].width);
        }
    }

    ASSERT_EQ(picture.frames.size(), 2u);
    for (std::size_t row = 0; row < bars.size(); ++row) {
        const int top = 26 + 6 + static_cast<int>(row) * 22;
        // The parts, left to right, side by side, across the whole bar area.
        int x = 6 + 110;
        std::size_t part = 0;
        for (const ChartBox& box : picture.boxes) {
            if (!within(box, top, 22)) continue;
            while (part < kBarParts && box.fill != barPartColour(part))
                ++part;
            ASSERT_LT(part, std::size_t{kBarParts}) << row;
            EXPECT_EQ(box.x, x) << row;
            x += box.width;
        }
        EXPECT_EQ(x, 6 + 110 + area) << row;
        const bool framed = std::any_of(
            picture.frames.begin(), picture.frames.end(), [top](const ChartFrame& frame) {
                return frame.y >= top && frame.y + frame.height <= top + 22 && frame.pen == 2;
            });
        EXPECT_EQ(framed, bars[row].recommended) << row;

        std::string label, marks;
        bool bold = false;
        for (const ChartText& text : picture.texts) {
            if (text.y != top) continue;
            if (text.x < 6 + 110) {
                label = text.text;
                bold = text.bold;
            } else {
                marks = text.text;
            }
        }
        EXPECT_EQ(label, bars[row].label);
        EXPECT_EQ(bold, bars[row].recommended);
        EXPECT_EQ(marks.starts_with("★ recommandé"), bars[row].recommended) << row;
        EXPECT_EQ(marks.find("◆ par défaut") != std::string::npos, bars[row].formatterDefault)
            << row;
    }
}

TEST(SlackPicture, BarsInProportionToTheLargestLossAndTheFiguresBeside) {
    const int width = 700;
    const auto hundred = [](std::string_view) { return 100; };
    const int barWidth = width - 70 - 6 - 100 - 2 * 6;
    const std::vector<SlackRow> rows = {{"< 512 o", 3, 1000},
                                        {"512 o", 1, 0},
                                        {"1 Ko", 10, 4000},
                                        {"2 Ko", 2, std::uint64_t{1} << 62},
                                        {"4 Ko", 1, std::uint64_t{1} << 61}};
    const ChartPicture picture = slackPicture(rows, 4096, {}, width, hundred);
    EXPECT_EQ(picture.height, 24 + 6 + 5 * 18);
    ASSERT_FALSE(picture.texts.empty());
    EXPECT_EQ(picture.texts.front().text, slackChartTitle(4096, {}));

    // No box for a bucket that lost nothing; the largest loss takes the whole width.
    const std::vector<int> expected = {0, 0, 0, barWidth, barWidth / 2};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int top = 24 + 6 + static_cast<int>(i) * 18;
        int drawn = 0;
        for (const ChartBox& box : picture.boxes) {
            if (!within(box, top, 18)) continue;
            EXPECT_EQ(box.fill, barPartColour(Slack));
            EXPECT_EQ(box.x, 6 + 70);
            drawn = box.width;
        }
        EXPECT_EQ(drawn, expected[i]) << i;
    }
    // Without the two huge rows the largest is 4000 bytes; figures grouped as the user's.
    const ChartPicture small =
        slackPicture({rows[0], rows[2]}, 512, Figures{NumberChars{" ", ","}}, width, hundred);
    ASSERT_EQ(small.boxes.size(), 2u);
    EXPECT_EQ(small.boxes[0].width, 1000 * barWidth / 4000);
    EXPECT_EQ(small.boxes[1].width, barWidth);
    std::vector<std::string> labels, figures;
    for (std::size_t t = 1; t < small.texts.size(); ++t)
        (small.texts[t].alignRight ? labels : figures).push_back(small.texts[t].text);
    EXPECT_EQ(labels, (std::vector<std::string>{"< 512 o", "1 Ko"}));
    EXPECT_EQ(figures,
              (std::vector<std::string>{"3 fichiers, 1 000 octets", "10 fichiers, 4 000 octets"}));
    EXPECT_EQ(slackFigureText(rows[1], {}), "1 fichier, 0 octets");

    // Narrower than its texts and the least bar, the chart asks for room rather than cut them.
    const auto measured = [](std::string_view text) { return 7 * static_cast<int>(text.size()); };
    const ChartPicture least = slackPicture(rows, 4096, {}, 10, measured);
    EXPECT_EQ(least.minimumWidth,
              std::max(6 + 70 + 100 + 6 + measured(slackFigureText(rows[3], {})) + 6,
                       2 * 6 + measured(slackChartTitle(4096, {}))));
}

} // namespace
} // namespace kesp::plan
