#include "DocTestSupport.h"

using namespace doctest;

namespace {

// Grade, width, smooth, eraser size, strength, transparent.
std::vector<int32_t> ToolSettings(const CQuillexDoc& doc)
{
    int32_t grade, width, smooth, size, strength;
    doc.m_pencilTool.GetOptions(grade, width, smooth);
    doc.m_eraserTool.GetOptions(size, strength);
    return {grade, width, smooth, size, strength, doc.m_bTransparent};
}

}  // namespace

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
        ServicesScope services;
        for (size_t i = 0; i < c.stored.size(); ++i) services.profile.values[names[i]] = c.stored[i];
        CQuillexDoc doc;
        EXPECT_EQ(ToolSettings(doc), c.expected) << c.stored.size();
        EXPECT_EQ(doc.m_pTool, &doc.m_pencilTool);
    }
}

TEST(DocumentSettings, ComeFromTheOptionBarsWhenTheyExist)
{
    ServicesScope services;
    services.UseMainWindow();
    auto& main = services.mainWindow;
    services.profile.values = {{"PencilType", 1}, {"EraserSize", 3}, {"Transparent", 1}};
    main.combos = {{IDC_PENCIL_GRADE, 7}, {IDC_PENCIL_WIDTH, 1}, {IDC_ERASER_SIZE, 0}, {IDC_ERASER_STRENGTH, 2}};
    main.checks = {{IDC_SMOOTH, 1}, {IDC_TRANSPARENT, 0}};
    EXPECT_EQ(ToolSettings(CQuillexDoc{}), (std::vector<int32_t>{7, 2, 1, 1, 3, 0}));

    // Bar by bar: a bar without a window leaves its group to the profile.
    main.hasWindow[OptionBar::Eraser] = main.hasWindow[OptionBar::Select] = false;
    EXPECT_EQ(ToolSettings(CQuillexDoc{}), (std::vector<int32_t>{7, 2, 1, 3, 1, 1}));

    // Controls without a selection still give values in range.
    main.hasWindow[OptionBar::Eraser] = main.hasWindow[OptionBar::Select] = true;
    main.combos.clear();
    main.checks = {{IDC_TRANSPARENT, 2}};
    EXPECT_EQ(ToolSettings(CQuillexDoc{}), (std::vector<int32_t>{0, 1, 0, 1, 1, 1}));
}
