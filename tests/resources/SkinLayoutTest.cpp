// The skin must not draw anything where the editor puts a control or a value display
// (it would be hidden), and it must be exactly the panel colour under every value display
// (which fills itself with that colour) so that the displays blend in.
#include "framework/BitmapResources.h"
#include "framework/DecodedBitmaps.h"
#include "resources/artwork/generator/SkinLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace {

using tolvan::artwork::Box;
using tolvan::artwork::Fonts;

// Streamed rather than summed with operator+, which GCC 12's optimiser wrongly reports
// as overlapping copies (-Wrestrict) in release builds.
std::string describe(const Box& b)
{
    std::ostringstream text;
    text << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
    return text.str();
}

class SkinLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Fonts::load(std::string(TOLVAN_SOURCE_DIR) + "/resources/fonts", fonts));
        layout = tolvan::artwork::layoutSkin(fonts);
        covered = tolvan::artwork::controlRects();
        const auto displays = tolvan::artwork::valueDisplayRects();
        covered.insert(covered.end(), displays.begin(), displays.end());
    }

    Fonts fonts;
    tolvan::artwork::SkinLayout layout;
    std::vector<Box> covered;
};

TEST_F(SkinLayoutTest, EditorCoversTheControlsAndDisplaysOfTheTable)
{
    // 38 controls with a bitmap (ids 3-40), the graph, the meter and the information button;
    // 26 value displays (ids 5, 6, 7, 10 and 19-40).
    EXPECT_EQ(tolvan::artwork::controlRects().size(), 38u + 2u + 1u);
    EXPECT_EQ(tolvan::artwork::valueDisplayRects().size(), 26u);
    EXPECT_EQ(tolvan::artwork::valueDisplayRects().front(), (Box{433, 152, 486, 163}));
    // The two buttons drawn over a copy of the skin must sit where the editor puts them.
    const auto rects = tolvan::artwork::controlRects();
    EXPECT_NE(std::find(rects.begin(), rects.end(), tolvan::artwork::kResetButton), rects.end());
    EXPECT_NE(std::find(rects.begin(), rects.end(), tolvan::artwork::kInfoButton), rects.end());
}

TEST_F(SkinLayoutTest, NoLabelOrScrewIsHiddenUnderAControlOrDisplay)
{
    const Box skin{0, 0, 754, 374};
    std::vector<std::pair<std::string, Box>> marks;
    for (const auto& t : layout.texts) marks.emplace_back('"' + t.text + '"', t.ink);
    for (const Box& s : layout.screws) marks.emplace_back("screw", s);
    for (const auto& s : layout.swatches) marks.emplace_back("legend swatch", s.box);
    ASSERT_FALSE(marks.empty());
    for (const auto& [name, box] : marks) {
        SCOPED_TRACE(name + " at " + describe(box));
        EXPECT_FALSE(box.empty());
        EXPECT_TRUE(skin.contains(box));
        for (const Box& c : covered) EXPECT_FALSE(box.intersects(c)) << "under " << describe(c);
    }
}

// Two pixels apart at least, so that neighbouring labels do not read as one.
TEST_F(SkinLayoutTest, LabelsKeepClearOfEachOther)
{
    for (std::size_t i = 0; i < layout.texts.size(); ++i)
        for (std::size_t j = i + 1; j < layout.texts.size(); ++j)
            EXPECT_FALSE(layout.texts[i].ink.inflated(2).intersects(layout.texts[j].ink))
                << '"' << layout.texts[i].text << "\" touches \"" << layout.texts[j].text << '"';
}

TEST_F(SkinLayoutTest, SkinIsThePanelColourUnderEveryValueDisplay)
{
    // At every scale: the displays fill their device pixels with the panel colour too.
    for (const VSTGUI::BitmapResource& r : VSTGUI::bitmapResources()) {
        if (r.id != 11030) continue;
        const VSTGUI::DisplayScale scale = r.scale;
        SCOPED_TRACE(VSTGUI::percent(scale));
        const std::shared_ptr<const VSTGUI::DecodedBitmap> skin = VSTGUI::decodedBitmap(r);
        ASSERT_NE(skin, nullptr);
        const VSTGUI::Color panel{64, 88, 112, 255};
        for (const Box& d : tolvan::artwork::valueDisplayRects()) {
            SCOPED_TRACE(describe(d));
            int wrong = 0;
            // One pixel around the display too, so that its edge does not show either.
            const Box area = d.inflated(1);
            for (int y = VSTGUI::toDevice(area.top, scale); y < VSTGUI::toDevice(area.bottom, scale); ++y)
                for (int x = VSTGUI::toDevice(area.left, scale); x < VSTGUI::toDevice(area.right, scale); ++x)
                    wrong += !(skin->colorAt(x, y) == panel);
            EXPECT_EQ(wrong, 0);
        }
    }
}

}  // namespace
