// A gesture in progress shuts out every command that would change the drawing, and a command
// that leaves the drawing ends the gesture first, so that no interleaving of keys and drags can
// damage the sheet, its history or its selection.

#include "DocTestSupport.h"

using namespace doctest;

namespace {

// With selectFirst, a selection exists before the press, which lands inside it.
struct Gesture { const char* name; uint32_t tool; std::vector<CPoint> points; bool selectFirst; };

const Gesture kGestures[] = {
    {"pencil", ID_TOOL_PENCIL, {{30, 60}, {50, 75}, {70, 90}, {90, 100}}, false},
    {"eraser", ID_TOOL_ERASER, {{10, 22}, {40, 20}, {70, 18}, {90, 20}}, false},
    {"select band", ID_TOOL_SELECT, {{10, 10}, {30, 30}, {50, 40}, {60, 50}}, false},
    {"select move", ID_TOOL_SELECT, {{120, 115}, {130, 118}, {150, 120}, {170, 125}}, true}};

class GestureTest : public DocTest {
protected:
    // A drawing with a redo step, a piece on the clipboard and the gesture's tool chosen; then
    // the gesture, with the command pressed half-way when there is one; then the pencil chosen
    // again, which puts any floating piece down. The outcome in one string and the sheet.
    std::pair<std::string, std::vector<uint8_t>> Play(const Gesture& g, const std::function<void()>& command)
    {
        SetUp();
        Stroke({20, 20}, {180, 20});
        Band({5, 5, 40, 30});
        doc->CopySelection(&view, false);
        doc->OnCommand(ID_TOOL_PENCIL);
        Stroke({20, 130}, {180, 140});
        doc->OnCommand(ID_EDIT_UNDO);
        doc->OnCommand(g.tool);
        if (g.selectFirst) Band({100, 100, 140, 130});
        EXPECT_TRUE(Drag(g.points, command)) << g.name;
        const std::string during = State() + " tool " + std::to_string(ToolSettings(*doc)[0]) + " pressure " +
                                   std::to_string(doc->GetPencilTool().m_bPressure);
        doc->OnCommand(ID_TOOL_PENCIL);
        return {during + " | " + State() + " clipboard " + std::to_string(services.clipboard.begin()->second.size()),
                Pixels(doc->GetPaper())};
    }
    // An option bar's control changed to the value.
    std::function<void()> Control(uint32_t id, uint32_t code, int value)
    {
        return [=, this] {
            services.pMainWindow = &services;
            (code == BN_CLICKED ? services.checks : services.combos)[id] = value;
            doc->OnControlNotify(id, code);
            services.pMainWindow = nullptr;
        };
    }
};

TEST_F(GestureTest, CommandsPressedDuringAGestureChangeNothing)
{
    const std::string saveAsTarget = services.answer = folder.File("copy.tvk");
    // The grade control comes last.
    std::vector<std::pair<std::string, std::function<void()>>> commands = {
        {"cut", [&] { doc->Cut(&view); }}, {"copy", [&] { doc->CopySelection(&view, false); }},
        {"paste", [&] { doc->Paste(&view); }}, {"drop", [&] { doc->DropSelection(); }},
        {"second press", [&] { doc->PointerDown(&view, 100, 20, 100, 20); }},
        {"pressure", Control(IDC_PENCIL_PRESSURE, BN_CLICKED, 0)},
        {"grade", Control(IDC_PENCIL_GRADE, CBN_SELCHANGE, 11)}};
    for (uint32_t id : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CLEAR, ID_EDIT_SELECT_ALL, ID_TOOL_PENCIL, ID_TOOL_ERASER,
                        ID_TOOL_HAND, ID_TOOL_SELECT, ID_FILE_SAVE_AS, ID_EDIT_DESELECT})
        commands.insert(commands.begin(), {"command " + std::to_string(id), [this, id] { doc->OnCommand(id); }});
    for (const Gesture& g : kGestures) {
        const auto alone = Play(g, {});
        for (const auto& [name, command] : commands) {
            services.combos.erase(IDC_PENCIL_GRADE);
            const auto mixed = Play(g, command);
            EXPECT_EQ(mixed.first, alone.first) << g.name << " + " << name;
            EXPECT_TRUE(mixed.second == alone.second) << g.name << " + " << name;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(saveAsTarget));
    // The refused grade (the last command) put its control back to the pencil's grade, and the
    // refused pressure box its own.
    EXPECT_EQ(services.combos[IDC_PENCIL_GRADE], ToolSettings(*doc)[0]);
    EXPECT_EQ(services.checks[IDC_PENCIL_PRESSURE], 1);
}

}  // namespace
