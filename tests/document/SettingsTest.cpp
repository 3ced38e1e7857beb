#include "DocTestSupport.h"

using namespace doctest;

namespace {

struct Settings {
    int32_t grade, width, smooth, size, strength, transparent;
};

Settings Read(const CQuillexDoc& doc)
{
    Settings s{};
    doc.m_pencilTool.GetOptions(s.grade, s.width, s.smooth);
    doc.m_eraserTool.GetOptions(s.size, s.strength);
    s.transparent = doc.m_bTransparent;
    return s;
}

void ExpectSettings(const Settings& got, const Settings& want, const char* what)
{
    EXPECT_EQ(got.grade, want.grade) << what;
    EXPECT_EQ(got.width, want.width) << what;
    EXPECT_EQ(got.smooth, want.smooth) << what;
    EXPECT_EQ(got.size, want.size) << what;
    EXPECT_EQ(got.strength, want.strength) << what;
    EXPECT_EQ(got.transparent, want.transparent) << what;
}

}  // namespace

TEST(DocumentSettings, ComeFromTheProfileClampedIntoRange)
{
    struct Case {
        const char* what;
        std::map<std::string, int32_t> stored;
        Settings expected;
    };
    const Case cases[] = {
        {"defaults", {}, {5, 1, 0, 1, 1, 0}},
        {"in range",
         {{"PencilType", 11}, {"PencilWidth", 3}, {"PencilSmooth", 1}, {"EraserSize", 2}, {"EraserStr", 3},
          {"Transparent", 1}},
         {11, 3, 1, 2, 3, 1}},
        {"above range",
         {{"PencilType", 99}, {"PencilWidth", 7}, {"PencilSmooth", 42}, {"EraserSize", 4}, {"EraserStr", 1000},
          {"Transparent", 5}},
         {11, 3, 1, 3, 3, 1}},
        {"below range",
         {{"PencilType", -1}, {"PencilWidth", 0}, {"PencilSmooth", -3}, {"EraserSize", -7}, {"EraserStr", 0},
          {"Transparent", -1}},
         {0, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        ServicesScope services;
        services.profile.values = c.stored;
        CQuillexDoc doc;
        ExpectSettings(Read(doc), c.expected, c.what);
        EXPECT_EQ(doc.m_pTool, &doc.m_pencilTool);
        EXPECT_EQ(doc.m_selectTool.m_pDoc, &doc);
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
    {
        CQuillexDoc doc;
        ExpectSettings(Read(doc), {7, 2, 1, 1, 3, 0}, "bars");
    }

    // Bar by bar: a bar without a window leaves its group to the profile.
    main.hasWindow[OptionBar::Eraser] = false;
    main.hasWindow[OptionBar::Select] = false;
    {
        CQuillexDoc doc;
        ExpectSettings(Read(doc), {7, 2, 1, 3, 1, 1}, "pencil bar only");
    }

    // Controls without a selection still give values in range.
    main.hasWindow[OptionBar::Eraser] = true;
    main.combos.clear();
    main.checks = {{IDC_TRANSPARENT, 2}};
    main.hasWindow[OptionBar::Select] = true;
    {
        CQuillexDoc doc;
        ExpectSettings(Read(doc), {0, 1, 0, 1, 1, 1}, "empty controls");
    }
}

TEST_F(DocTest, ToolSettingsSurviveNew)
{
    doc->m_pencilTool.SetOptions(8, 2, 1);
    doc->OnCommand(ID_TOOL_ERASER);
    ASSERT_TRUE(doc->OnNewDocument());
    int32_t grade, width, smooth;
    doc->m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(grade, 8);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(smooth, 1);
    EXPECT_EQ(doc->m_pTool, &doc->m_eraserTool);
}
