#include "DocTestSupport.h"

using namespace doctest;

// Grade, width, smooth, eraser size, strength, transparent, pencil pressure, eraser pressure.
TEST(DocumentSettings, ComeFromTheProfileClampedIntoRange)
{
    const struct {
        std::vector<int32_t> stored, expected;
    } cases[] = {
        {{}, {5, 1, 0, 1, 1, 0, 1, 1}},  // defaults
        {{11, 3, 1, 2, 3, 1, 0, 1}, {11, 3, 1, 2, 3, 1, 0, 1}},
        {{99, 7, 42, 4, 1000, 5, 1, -4}, {11, 3, 1, 3, 3, 1, 1, 1}},
        {{-1, 0, -3, -7, 0, -1, 7, 0}, {0, 1, 1, 1, 1, 1, 1, 0}},
    };
    const char* const names[] = {"PencilType",  "PencilWidth", "PencilSmooth",   "EraserSize",
                                 "EraserStr",   "Transparent", "PencilPressure", "EraserPressure"};
    for (const auto& c : cases) {
        FakeServices services;
        for (size_t i = 0; i < c.stored.size(); ++i) services.profile[names[i]] = c.stored[i];
        CQuillexDoc doc(services);
        EXPECT_EQ(Options(doc), c.expected) << c.stored.size();
        EXPECT_EQ(doc.GetTool(), ToolKind::Pencil);
    }
}

// Bar by bar: a bar without a window leaves its group to the profile; controls without a
// selection still give values in range.
TEST(DocumentSettings, ComeFromTheOptionBarsWhenTheyExist)
{
    FakeServices services;
    services.UseMainWindow();
    services.profile = {{"PencilType", 1}, {"EraserSize", 3}, {"Transparent", 1}, {"EraserPressure", 0}};
    services.combos = {{IDC_PENCIL_GRADE, 7}, {IDC_PENCIL_WIDTH, 1}, {IDC_ERASER_SIZE, 0}, {IDC_ERASER_STRENGTH, 2}};
    services.checks = {{IDC_SMOOTH, 1}, {IDC_TRANSPARENT, 0}, {IDC_PENCIL_PRESSURE, 1}, {IDC_ERASER_PRESSURE, 1}};
    EXPECT_EQ(Options(CQuillexDoc{services}), (std::vector<int32_t>{7, 2, 1, 1, 3, 0, 1, 1}));
    services.noWindow = {OptionBar::Eraser, OptionBar::Select};
    EXPECT_EQ(Options(CQuillexDoc{services}), (std::vector<int32_t>{7, 2, 1, 3, 1, 1, 1, 0}));
    services.noWindow.clear();
    services.combos.clear();
    services.checks = {{IDC_TRANSPARENT, 2}};
    EXPECT_EQ(Options(CQuillexDoc{services}), (std::vector<int32_t>{0, 1, 0, 1, 1, 1, 0, 0}));
}
