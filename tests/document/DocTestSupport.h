#pragma once
// Fakes for the services the document asks of the user interface, a view
// that maps paper to view pixels one to one (optionally shifted), and a
// fixture that installs them around a document with a fresh white sheet.

#include "document/QuillexDoc.h"
#include "framework/CommandIds.h"
#include "framework/Services.h"
#include "framework/View.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace doctest {

struct FakeMessageBox : IMessageBox {
    std::vector<std::string> messages;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

struct FakeNewPaperDialog : INewPaperDialog {
    bool ok = true;
    int32_t width = 200, height = 150, roughness = 5;
    int runs = 0;
    bool Run(int32_t& w, int32_t& h, int32_t& r) override
    {
        ++runs;
        w = width;
        h = height;
        r = roughness;
        return ok;
    }
};

struct FakeSaveAsDialog : ISaveAsDialog {
    bool ok = true;
    std::string answer;
    std::string title, initialName;
    std::vector<FileFilter> filters;
    bool Run(const std::string& t, const std::string& initial, const std::vector<FileFilter>& f,
             std::string& chosen) override
    {
        title = t;
        initialName = initial;
        filters = f;
        chosen = answer;
        return ok;
    }
};

struct FakeShellFolders : IShellFolders {
    bool ok = true;
    std::string folder = "/home/user/Documents";
    std::set<std::string> existing;
    bool GetDocumentsFolder(std::string& out) override
    {
        out = folder;
        return ok;
    }
    bool FileExists(const std::string& path) override { return existing.count(path) != 0; }
};

struct FakeProfile : IProfile {
    std::map<std::string, int32_t> values;
    int32_t GetProfileInt(const std::string& name, int32_t def) override
    {
        auto it = values.find(name);
        return it == values.end() ? def : it->second;
    }
    void WriteProfileInt(const std::string& name, int32_t value) override { values[name] = value; }
};

struct FakeMainWindow : IMainWindow {
    std::map<OptionBar, bool> hasWindow{{OptionBar::Pencil, true}, {OptionBar::Eraser, true}, {OptionBar::Select, true}};
    std::map<uint32_t, int> combos;
    std::map<uint32_t, int> checks;
    bool toolbarVisible = true;
    std::map<OptionBar, bool> shown;
    int recalcs = 0;
    bool HasOptionBarWindow(OptionBar bar) const override { return hasWindow.at(bar); }
    int GetComboSelection(uint32_t id) const override
    {
        auto it = combos.find(id);
        return it == combos.end() ? -1 : it->second;
    }
    int GetCheckState(uint32_t id) const override
    {
        auto it = checks.find(id);
        return it == checks.end() ? 0 : it->second;
    }
    bool IsToolBarVisible() const override { return toolbarVisible; }
    void ShowOptionBar(OptionBar bar, bool show) override { shown[bar] = show; }
    void RecalcLayout() override { ++recalcs; }
};

struct FakeClipboard : IClipboard {
    std::map<std::string, std::vector<uint8_t>> data;
    bool refuseSet = false;
    bool HasFormat(const std::string& format) override { return data.count(format) != 0; }
    bool GetData(const std::string& format, std::vector<uint8_t>& out) override
    {
        auto it = data.find(format);
        if (it == data.end()) return false;
        out = it->second;
        return true;
    }
    bool SetData(const std::string& format, std::vector<uint8_t> block) override
    {
        if (refuseSet) return false;
        data[format] = std::move(block);
        return true;
    }
};

// View pixel = paper pixel - scroll; actual size.
struct FakeToolView : IToolView {
    CPoint scroll;
    std::vector<CRect> bands;
    std::vector<CRect> invalidated;  // an invalid rectangle stands for "whole view"
    int wholeInvalidations = 0;
    CPoint GetScrollPosition() const override { return scroll; }
    void ScrollTo(int32_t x, int32_t y) override { scroll = CPoint{x, y}; }
    void RepaintNow() override {}
    CPoint ViewToPaper(CPoint p) const override { return CPoint{p.x + scroll.x, p.y + scroll.y}; }
    CRect PaperToView(const CRect& r) const override
    {
        CRect v = r;
        v.Offset(-scroll.x, -scroll.y);
        return v;
    }
    void SetBand(const CRect& r) override { bands.push_back(r); }
    void InvalidateView(const CRect* r) override
    {
        if (r)
            invalidated.push_back(*r);
        else
            ++wholeInvalidations;
    }
};

// Records the hints the document sends to its views.
struct RecordingView : CView {
    std::vector<CRect> hints;  // whole-view updates appear as kWhole
    static constexpr CRect kWhole{-1, -1, -1, -1};
    void OnUpdate(CView*, const CRect* hint) override { hints.push_back(hint ? *hint : kWhole); }
};

class ServicesScope {
public:
    ServicesScope() : m_saved(Services())
    {
        AppServices& s = Services();
        s.pMessageBox = &messageBox;
        s.pNewPaperDialog = &newDialog;
        s.pSaveAsDialog = &saveAsDialog;
        s.pShellFolders = &shell;
        s.pProfile = &profile;
        s.pClipboard = &clipboard;
        s.pMainWindow = nullptr;
    }
    ~ServicesScope() { Services() = m_saved; }
    void UseMainWindow() { Services().pMainWindow = &mainWindow; }

    FakeMessageBox messageBox;
    FakeNewPaperDialog newDialog;
    FakeSaveAsDialog saveAsDialog;
    FakeShellFolders shell;
    FakeProfile profile;
    FakeClipboard clipboard;
    FakeMainWindow mainWindow;

private:
    AppServices m_saved;
};

inline std::vector<uint8_t> Pixels(const CPaper& paper)
{
    return std::vector<uint8_t>(paper.GetBits(), paper.GetBits() + paper.GetImageSize());
}

inline bool IsWhite(const CPaper& paper, const CRect& r)
{
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x)
            if (paper.GetPixel(x, y) != 255) return false;
    return true;
}

inline bool HasMarks(const CPaper& paper, const CRect& r)
{
    return !IsWhite(paper, r);
}

// A document on a white 200 x 150 sheet of roughness 5, with fakes installed
// and one attached view that records its update hints.
class DocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = std::make_unique<CQuillexDoc>();
        ASSERT_TRUE(doc->OnNewDocument());
        doc->AddView(&recorder);
    }
    void TearDown() override
    {
        if (doc) doc->RemoveView(&recorder);
    }

    // A straight stroke of the current tool from one point to another.
    void Stroke(CPoint from, CPoint to, int steps = 8)
    {
        ASSERT_TRUE(doc->PointerDown(&view, from.x, from.y, from.x, from.y));
        for (int i = 1; i < steps; ++i) {
            const int32_t x = from.x + (to.x - from.x) * i / steps;
            const int32_t y = from.y + (to.y - from.y) * i / steps;
            doc->PointerMove(x, y, x, y);
        }
        doc->PointerUp(to.x, to.y, to.x, to.y);
    }
    // A gesture that the tool may decline (then nothing follows the press).
    bool Drag(CPoint from, CPoint to)
    {
        if (!doc->PointerDown(&view, from.x, from.y, from.x, from.y)) return false;
        doc->PointerMove(to.x, to.y, to.x, to.y);
        doc->PointerUp(to.x, to.y, to.x, to.y);
        return true;
    }
    // Selects a rectangle with a rubber band of the select tool.
    void Band(const CRect& r)
    {
        doc->OnCommand(ID_TOOL_SELECT);
        Drag(CPoint{r.left, r.top}, CPoint{r.right, r.bottom});
    }

    ServicesScope services;
    FakeToolView view;
    RecordingView recorder;
    std::unique_ptr<CQuillexDoc> doc;
};

}  // namespace doctest
