#pragma once
// Fakes for the services the document asks of the user interface, a view that maps paper to
// view pixels one to one (optionally shifted), and a fixture around a document with a fresh
// white 200 x 150 sheet, with the gestures the tests play on it.

#include "document/QuillexDoc.h"
#include "../support/PaintSheet.h"
#include "framework/CommandIds.h"
#include "framework/FileTestSupport.h"
#include "framework/Services.h"
#include "framework/View.h"
#include "formats/SketchFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace doctest {

using namespace filetest;  // TempFolder, Contents, WriteFile

// Every service the document asks of the user interface, faked in one object that is also
// the set handed to the document (the main window only when asked).
struct FakeServices : AppServices, IMessageBox, INewPaperDialog, ISaveAsDialog, IShellFolders, IProfile, IClipboard,
                      IMainWindow {
    FakeServices() : AppServices{this, this, this, this, this, this, nullptr}
    {
        // Names reserved by tests running side by side must not meet.
        static const TempFolder state;
        setenv("XDG_STATE_HOME", state.path.c_str(), 1);
    }

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Run(int32_t& w, int32_t& h, int32_t& r) override { w = width, h = height, r = roughness; return newOk; }
    bool Run(const std::string&, const std::string&, const std::vector<FileFilter>&, std::string& chosen) override
    {
        chosen = answer;
        return saveAsOk;
    }
    bool GetDocumentsFolder(std::string& out) override { out = folder; return folderOk; }
    bool FileExists(const std::string& path) override { return existing.count(path) != 0; }
    int32_t GetProfileInt(const std::string& n, int32_t def) override { return profile.count(n) ? profile[n] : def; }
    void WriteProfileInt(const std::string& name, int32_t value) override { profile[name] = value; }
    bool HasFormat(const std::string& format) override { return clipboard.count(format) != 0; }
    bool GetData(const std::string& format, std::vector<uint8_t>& out) override
    {
        if (clipboard.count(format)) out = clipboard[format];
        return clipboard.count(format) != 0;
    }
    bool SetData(const std::string& format, std::vector<uint8_t> block) override
    {
        if (!refuseSet) clipboard[format] = std::move(block);
        return !refuseSet;
    }
    bool HasOptionBarWindow(OptionBar) const override { return true; }
    int GetComboSelection(uint32_t id) const override { return combos.count(id) ? combos.at(id) : -1; }
    int GetCheckState(uint32_t id) const override { return checks.count(id) ? checks.at(id) : 0; }
    void SetComboSelection(uint32_t id, int index) override { combos[id] = index; }
    void SetCheckState(uint32_t id, int state) override { checks[id] = state; }
    bool IsToolBarVisible() const override { return true; }
    void ShowOptionBar(OptionBar, bool) override {}
    void RecalcLayout() override {}

    std::vector<std::string> messages;
    bool newOk = true, saveAsOk = true, folderOk = true, refuseSet = false;
    int32_t width = 200, height = 150, roughness = 5;
    std::string answer, folder = "/home/user/Documents";
    std::set<std::string> existing;
    std::map<std::string, int32_t> profile;
    std::map<std::string, std::vector<uint8_t>> clipboard;
    std::map<uint32_t, int> combos, checks;
};

// View pixel = paper pixel - scroll; actual size.
struct FakeToolView : IToolView {
    CPoint scroll;
    CPoint GetScrollPosition() const override { return scroll; }
    void ScrollTo(int32_t x, int32_t y) override { scroll = CPoint{x, y}; }
    void RepaintNow() override {}
    CPoint ViewToPaper(CPoint p) const override { return CPoint{p.x + scroll.x, p.y + scroll.y}; }
    CRect PaperToView(const CRect& r) const override
    {
        return CRect{r.left - scroll.x, r.top - scroll.y, r.right - scroll.x, r.bottom - scroll.y};
    }
    void SetBand(const CRect&) override {}
    void InvalidateView(const CRect*) override {}
};

inline std::vector<uint8_t> Pixels(const CPaper& paper)
{
    return std::vector<uint8_t>(paper.GetBits(), paper.GetBits() + paper.GetImageSize());
}

// The pixels of a sketch file; none when it does not read whole.
inline std::vector<uint8_t> SheetOf(const std::string& path)
{
    CPaper paper;
    std::string error;
    return LoadSketchFile(path, paper, error) == SketchLoad::Whole ? Pixels(paper) : std::vector<uint8_t>{};
}

inline bool IsWhite(const CPaper& paper, const CRect& r)
{
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            if (paper.GetPixel(x, y) != 255) return false;
    return true;
}

// The tool settings: grade, width, smooth, eraser size, strength, transparent.
inline std::vector<int32_t> ToolSettings(const CQuillexDoc& doc)
{
    int32_t grade, width, smooth, size, strength;
    doc.GetPencilTool().GetOptions(grade, width, smooth);
    doc.GetEraserTool().GetOptions(size, strength);
    return {grade, width, smooth, size, strength, doc.GetSelection().IsTransparent()};
}

class DocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = std::make_unique<CQuillexDoc>(services);
        ASSERT_TRUE(doc->OnNewDocument());
    }

    // A pointer gesture through the given points (one point is a tap), with halfway run before the move to the
    // third point; false when the tool declines the press.
    bool Drag(const std::vector<CPoint>& points, const std::function<void()>& halfway = {})
    {
        const CPoint first = points.front(), last = points.back();
        if (!doc->PointerDown(&view, first.x, first.y, first.x - view.scroll.x, first.y - view.scroll.y)) return false;
        for (size_t i = 1; i < points.size(); ++i) {
            if (i == 2 && halfway) halfway();
            doc->PointerMove(points[i].x, points[i].y, points[i].x - view.scroll.x, points[i].y - view.scroll.y);
        }
        doc->PointerUp(last.x, last.y, last.x - view.scroll.x, last.y - view.scroll.y);
        return true;
    }
    // A straight stroke of the current tool in eight steps.
    void Stroke(CPoint from, CPoint to)
    {
        std::vector<CPoint> points;
        for (int i = 0; i <= 8; ++i)
            points.push_back({from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8});
        ASSERT_TRUE(Drag(points));
    }
    // Selects a rectangle with a rubber band of the select tool.
    void Band(const CRect& r)
    {
        doc->OnCommand(ID_TOOL_SELECT);
        Drag({{r.left, r.top}, {r.right, r.bottom}});
    }
    // Bands a rectangle and lifts it with a press and release inside (one record).
    void Lift(const CRect& r)
    {
        Band(r);
        ASSERT_TRUE(Drag({{(r.left + r.right) / 2, (r.top + r.bottom) / 2}}));
        ASSERT_TRUE(doc->GetSelection().IsFloating());
    }
    // A pixel of the sheet as drawn before the history began.
    void Put(int32_t x, int32_t y, uint8_t gray)
    {
        PaintSheet(*doc, [&](int32_t px, int32_t py) { return px == x && py == y ? gray : -1; });
    }
    // The document in one line: records, position, selection, floating piece, modified flag.
    std::string State() const
    {
        const CRect& r = doc->GetSelection().GetRect();
        std::ostringstream s;
        s << "history " << doc->GetHistoryCount() << " pos " << doc->GetHistoryPos() << " selection " << r.left << ' '
          << r.top << ' ' << r.right << ' ' << r.bottom << " floating " << doc->GetSelection().IsFloating()
          << " modified " << doc->IsModified();
        return s.str();
    }

    FakeServices services;
    FakeToolView view;
    TempFolder folder;
    std::unique_ptr<CQuillexDoc> doc;
};

}  // namespace doctest
