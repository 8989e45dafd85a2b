// The plan window's charts as shapes, the same for both toolkits: where the bars and their parts
// lie, the marks, the legend, and the slack bars in proportion.
#include "plan/plan_charts.h"

#include <gtest/gtest.h>

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
    tallyFolder(tally, 30, false);
    const PlanWindowModel model(tally, 300ull << 20, 4096);
    const std::vector<LayoutBar> bars = model.bars();
    ASSERT_TRUE(model.plan().recommended);
    const std::size_t recommended = *model.plan().recommended;
    const int width = 900;
    const int area = barAreaWidth(width);
    EXPECT_EQ(layoutBarsWidth(area), width);
    const ChartPicture picture = layoutBarsPicture(bars, width, sevenPerByte);
    EXPECT_EQ(picture.height, 26 + 6 + static_cast<int>(bars.size()) * 22);

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

    ASSERT_EQ(picture.frames.size(), 1u);
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
        const ChartFrame& frame = picture.frames[0];
        EXPECT_EQ(frame.y >= top && frame.y + frame.height <= top + 22, row == recommended) << row;

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
        EXPECT_EQ(bold, row == recommended);
        EXPECT_EQ(marks.starts_with("★ recommandé"), bars[row].recommended) << row;
        EXPECT_EQ(marks.find("◆ par défaut") != std::string::npos, bars[row].formatterDefault)
            << row;
    }
}

TEST(SlackPicture, BarsInProportionToTheLargestLossAndTheFiguresBeside) {
    const int width = 700;
    const int barWidth = width - 70 - 210 - 2 * 6;
    const std::vector<SlackRow> rows = {{"< 512 o", 3, 1000},
                                        {"512 o", 1, 0},
                                        {"1 Ko", 10, 4000},
                                        {"2 Ko", 2, std::uint64_t{1} << 62},
                                        {"4 Ko", 1, std::uint64_t{1} << 61}};
    const ChartPicture picture = slackPicture(rows, 4096, width);
    EXPECT_EQ(picture.height, 24 + 6 + 5 * 18);
    ASSERT_FALSE(picture.texts.empty());
    EXPECT_EQ(picture.texts.front().text, slackChartTitle(4096));

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
    // Without the two huge rows the largest is 4000 bytes.
    const ChartPicture small = slackPicture({rows[0], rows[2]}, 512, width);
    ASSERT_EQ(small.boxes.size(), 2u);
    EXPECT_EQ(small.boxes[0].width, 1000 * barWidth / 4000);
    EXPECT_EQ(small.boxes[1].width, barWidth);

    std::vector<std::string> labels, figures;
    for (std::size_t t = 1; t < small.texts.size(); ++t)
        (small.texts[t].alignRight ? labels : figures).push_back(small.texts[t].text);
    EXPECT_EQ(labels, (std::vector<std::string>{"< 512 o", "1 Ko"}));
    EXPECT_EQ(figures,
              (std::vector<std::string>{"3 fichiers, 1000 octets", "10 fichiers, 4000 octets"}));
    EXPECT_EQ(slackPicture({rows[1]}, 512, width).texts.back().text, "1 fichier, 0 octets");
}

} // namespace
} // namespace kesp::plan
