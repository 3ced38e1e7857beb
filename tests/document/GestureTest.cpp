// A gesture in progress shuts out every command that would change the drawing, and a command
// that leaves the drawing ends the gesture first, so that no interleaving of keys and drags can
// damage the sheet, its history or its selection.

#include "DocTestSupport.h"

#include <functional>

using namespace doctest;

namespace {

// With selectFirst, a selection exists before the press, which lands inside it.
struct Gesture { const char* name; uint32_t tool; std::vector<CPoint> points; bool selectFirst; };

const Gesture kGestures[] = {
    {"pencil", ID_TOOL_PENCIL, {{30, 60}, {50, 75}, {70, 90}, {90, 100}}, false},
    {"eraser", ID_TOOL_ERASER, {{10, 22}, {40, 20}, {70, 18}, {90, 20}}, false},
    {"hand", ID_TOOL_HAND, {{30, 60}, {50, 75}, {70, 90}, {90, 100}}, false},
    {"select band", ID_TOOL_SELECT, {{10, 10}, {30, 30}, {50, 40}, {60, 50}}, false},
    {"select move", ID_TOOL_SELECT, {{120, 115}, {130, 118}, {150, 120}, {170, 125}}, true},
};

using Action = std::function<void(CQuillexDoc&, FakeServices&, IToolView&)>;

// An option bar's control changed to the value.
Action Control(uint32_t id, uint32_t code, int value)
{
    return [=](CQuillexDoc& d, FakeServices& s, IToolView&) {
        s.UseMainWindow();
        (code == BN_CLICKED ? s.checks : s.combos)[id] = value;
        d.OnControlNotify(id, code);
        s.pMainWindow = nullptr;
    };
}

// The commands that are not a plain command id; the grade control comes last.
const std::pair<const char*, Action> kActions[] = {
    {"cut", [](CQuillexDoc& d, FakeServices&, IToolView& v) { d.Cut(&v); }},
    {"copy", [](CQuillexDoc& d, FakeServices&, IToolView& v) { d.CopySelection(&v, false); }},
    {"paste", [](CQuillexDoc& d, FakeServices&, IToolView& v) { d.Paste(&v); }},
    {"drop", [](CQuillexDoc& d, FakeServices&, IToolView&) { d.DropSelection(); }},
    {"second press", [](CQuillexDoc& d, FakeServices&, IToolView& v) { d.PointerDown(&v, 100, 20, 100, 20); }},
    {"pressure", Control(IDC_PENCIL_PRESSURE, BN_CLICKED, 0)},
    {"grade", Control(IDC_PENCIL_GRADE, CBN_SELCHANGE, 11)},
};

class GestureTest : public DocTest {
protected:
    // A drawing with a redo step, a piece on the clipboard and the gesture's tool chosen; then
    // the gesture, with the command pressed half-way when there is one; then the pencil chosen
    // again, which puts any floating piece down. The outcome in one string and the sheet.
    std::pair<std::string, std::vector<uint8_t>> Play(const Gesture& g, const Action* command)
    {
        services.answer = saveAsTarget;
        doc = std::make_unique<CQuillexDoc>(services);
        EXPECT_TRUE(doc->OnNewDocument());
        Stroke({20, 20}, {180, 20});
        Band({5, 5, 40, 30});
        doc->CopySelection(&view, false);
        doc->OnCommand(ID_TOOL_PENCIL);
        Stroke({20, 130}, {180, 140});
        doc->OnCommand(ID_EDIT_UNDO);
        doc->OnCommand(g.tool);
        if (g.selectFirst) Band({100, 100, 140, 130});

        const CPoint& p0 = g.points.front();
        EXPECT_TRUE(doc->PointerDown(&view, p0.x, p0.y, p0.x, p0.y)) << g.name;
        for (size_t i = 1; i < g.points.size(); ++i) {
            if (i == 2 && command) (*command)(*doc, services, view);
            doc->PointerMove(g.points[i].x, g.points[i].y, g.points[i].x, g.points[i].y);
        }
        const CPoint& last = g.points.back();
        doc->PointerUp(last.x, last.y, last.x, last.y);
        const std::string during = State() + " tool " + std::to_string(Options(*doc)[0]) + " pressure " +
                                   std::to_string(doc->GetPencilTool().m_bPressure);
        doc->OnCommand(ID_TOOL_PENCIL);
        return {during + " | " + State() + " clipboard " + std::to_string(services.clipboard.begin()->second.size()),
                Pixels(doc->GetPaper())};
    }

    std::string saveAsTarget = folder.File("copy.tvk");
};

TEST_F(GestureTest, CommandsPressedDuringAGestureChangeNothing)
{
    std::vector<std::pair<std::string, Action>> commands;
    for (uint32_t id : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CLEAR, ID_EDIT_SELECT_ALL, ID_TOOL_PENCIL, ID_TOOL_ERASER,
                        ID_TOOL_HAND, ID_TOOL_SELECT, ID_FILE_SAVE_AS, ID_EDIT_DESELECT})
        commands.push_back({"command " + std::to_string(id), [id](CQuillexDoc& d, auto&, auto&) { d.OnCommand(id); }});
    commands.insert(commands.end(), std::begin(kActions), std::end(kActions));
    for (const Gesture& g : kGestures) {
        const auto alone = Play(g, nullptr);
        for (const auto& [name, command] : commands) {
            services.combos.erase(IDC_PENCIL_GRADE);
            const auto mixed = Play(g, &command);
            EXPECT_EQ(mixed.first, alone.first) << g.name << " + " << name;
            EXPECT_TRUE(mixed.second == alone.second) << g.name << " + " << name;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(saveAsTarget));
    // The refused grade (the last command) put its control back to the pencil's grade, and the
    // refused pressure box its own.
    EXPECT_EQ(services.combos[IDC_PENCIL_GRADE], Options(*doc)[0]);
    EXPECT_EQ(services.checks[IDC_PENCIL_PRESSURE], 1);
}

// New, Open and saving end a stroke in progress: it is drawn, recorded and saved with the
// rest, and its late release reaches no other drawing.
TEST_F(GestureTest, LeavingTheDrawingEndsTheStrokeFirst)
{
    const std::string path = folder.File("a.tvk");
    Stroke({20, 40}, {150, 90});
    const std::vector<uint8_t> whole = Pixels(doc->GetPaper());
    ASSERT_TRUE(doc->OnNewDocument());

    ASSERT_TRUE(doc->PointerDown(&view, 20, 40, 20, 40));
    for (int i = 1; i <= 8; ++i) doc->PointerMove(20 + 130 * i / 8, 40 + 50 * i / 8, 0, 0);
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_FALSE(doc->IsInGesture());
    EXPECT_EQ(doc->GetHistoryCount(), 1);
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_TRUE(Pixels(doc->GetPaper()) == whole);

    ASSERT_TRUE(doc->PointerDown(&view, 10, 10, 10, 10));
    doc->PointerMove(60, 60, 60, 60);
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_FALSE(doc->PointerUp(60, 60, 60, 60));
    EXPECT_EQ(doc->GetHistoryCount(), 0);
    EXPECT_TRUE(IsWhite(doc->GetPaper(), CRect{0, 0, 200, 150}));
}

}  // namespace
