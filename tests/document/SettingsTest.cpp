#include "DocTestSupport.h"

using namespace doctest;

TEST(DocumentSettings, ComeFromTheProfileClampedIntoRange)
{
    const struct {
        std::vector<int32_t> stored, expected;
    } cases[] = {
        {{}, {5, 1, 0, 1, 1, 0}},  // defaults
        {{11, 3, 1, 2, 3, 1}, {11, 3, 1, 2, 3, 1}},
        {{99, 7, 42, 4, 1000, 5}, {11, 3, 1, 3, 3, 1}},
        {{-1, 0, -3, -7, 0, -1}, {0, 1, 1, 1, 1, 1}},
    };
    const char* const names[] = {"PencilType", "PencilWidth", "PencilSmooth", "EraserSize", "EraserStr", "Transparent"};
    for (const auto& c : cases) {
        FakeServices services;
        for (size_t i = 0; i < c.stored.size(); ++i) services.profile[names[i]] = c.stored[i];
        CQuillexDoc doc;
        EXPECT_EQ(ToolSettings(doc), c.expected) << c.stored.size();
        EXPECT_EQ(doc.m_pTool, &doc.m_pencilTool);
    }
}

TEST(DocumentSettings, ComeFromTheOptionBarsWhenTheyExist)
{
    FakeServices services;
    services.UseMainWindow();
    services.profile = {{"PencilType", 1}, {"EraserSize", 3}, {"Transparent", 1}};
    services.combos = {{IDC_PENCIL_GRADE, 7}, {IDC_PENCIL_WIDTH, 1}, {IDC_ERASER_SIZE, 0}, {IDC_ERASER_STRENGTH, 2}};
    services.checks = {{IDC_SMOOTH, 1}, {IDC_TRANSPARENT, 0}};
    EXPECT_EQ(ToolSettings(CQuillexDoc{}), (std::vector<int32_t>{7, 2, 1, 1, 3, 0}));
    // Bar by bar: a bar without a window leaves its group to the profile.
    services.noWindow = {OptionBar::Eraser, OptionBar::Select};
    EXPECT_EQ(ToolSettings(CQuillexDoc{}), (std::vector<int32_t>{7, 2, 1, 3, 1, 1}));
    // Controls without a selection still give values in range.
    services.noWindow.clear();
    services.combos.clear();
    services.checks = {{IDC_TRANSPARENT, 2}};
    EXPECT_EQ(ToolSettings(CQuillexDoc{}), (std::vector<int32_t>{0, 1, 0, 1, 1, 1}));
}

TEST(DocumentSettings, PressureIsOnByDefaultAndFollowsTheProfileOrTheCheckBoxes)
{
    FakeServices services;
    auto pressure = [](const CQuillexDoc& doc) { return std::pair{doc.m_pencilTool.m_bPressure, doc.m_eraserTool.m_bPressure}; };
    EXPECT_EQ(pressure(CQuillexDoc{}), (std::pair{1, 1}));
    services.profile = {{"PencilPressure", 0}, {"EraserPressure", -4}};
    EXPECT_EQ(pressure(CQuillexDoc{}), (std::pair{0, 1}));
    services.UseMainWindow();
    services.checks = {{IDC_PENCIL_PRESSURE, 1}, {IDC_ERASER_PRESSURE, 0}};
    EXPECT_EQ(pressure(CQuillexDoc{}), (std::pair{1, 0}));
}
