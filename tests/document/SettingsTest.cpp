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
