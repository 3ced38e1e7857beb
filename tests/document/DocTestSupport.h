#pragma once
// Fakes for the services the document asks of the user interface, a view
// that maps paper to view pixels one to one (optionally shifted), file
// helpers, and a fixture around a document with a fresh white 200 x 150 sheet.

#include "document/QuillexDoc.h"
#include "framework/CommandIds.h"
#include "framework/Services.h"
#include "framework/View.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace doctest {

struct FakeMessageBox : IMessageBox {
    std::vector<std::string> messages;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

struct FakeNewPaperDialog : INewPaperDialog {
    bool ok = true;
    int32_t width = 200, height = 150, roughness = 5;
    bool Run(int32_t& w, int32_t& h, int32_t& r) override { w = width; h = height; r = roughness; return ok; }
};

struct FakeSaveAsDialog : ISaveAsDialog {
    bool ok = true;
    std::string answer, title, initialName;
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
    bool GetDocumentsFolder(std::string& out) override { out = folder; return ok; }
    bool FileExists(const std::string& path) override { return existing.count(path) != 0; }
};

template <class Key>
int Find(const std::map<Key, int>& m, Key key, int missing)
{
    auto it = m.find(key);
    return it == m.end() ? missing : it->second;
}

struct FakeProfile : IProfile {
    std::map<std::string, int32_t> values;
    int32_t GetProfileInt(const std::string& name, int32_t def) override { return Find(values, name, def); }
    void WriteProfileInt(const std::string& name, int32_t value) override { values[name] = value; }
};

struct FakeMainWindow : IMainWindow {
    std::map<OptionBar, bool> hasWindow{{OptionBar::Pencil, true}, {OptionBar::Eraser, true}, {OptionBar::Select, true}};
    std::map<uint32_t, int> combos, checks;
    bool toolbarVisible = true;
    std::map<OptionBar, bool> shown;
    int recalcs = 0;
    bool HasOptionBarWindow(OptionBar bar) const override { return hasWindow.at(bar); }
    int GetComboSelection(uint32_t id) const override { return Find(combos, id, -1); }
    int GetCheckState(uint32_t id) const override { return Find(checks, id, 0); }
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
        if (!data.count(format)) return false;
        out = data[format];
        return true;
    }
    bool SetData(const std::string& format, std::vector<uint8_t> block) override
    {
        if (!refuseSet) data[format] = std::move(block);
        return !refuseSet;
    }
};

// View pixel = paper pixel - scroll; actual size.
struct FakeToolView : IToolView {
    CPoint scroll;
    std::vector<CRect> bands, invalidated;
    int wholeInvalidations = 0;
    CPoint GetScrollPosition() const override { return scroll; }
    void ScrollTo(int32_t x, int32_t y) override { scroll = CPoint{x, y}; }
    void RepaintNow() override {}
    CPoint ViewToPaper(CPoint p) const override { return CPoint{p.x + scroll.x, p.y + scroll.y}; }
    CRect PaperToView(const CRect& r) const override
    {
        return CRect{r.left - scroll.x, r.top - scroll.y, r.right - scroll.x, r.bottom - scroll.y};
    }
    void SetBand(const CRect& r) override { bands.push_back(r); }
    void InvalidateView(const CRect* r) override
    {
        if (r) invalidated.push_back(*r);
        else ++wholeInvalidations;
    }
};

// Records the hints the document sends to its views; whole-view updates appear as kWhole.
struct RecordingView : CView {
    std::vector<CRect> hints;
    static constexpr CRect kWhole{-1, -1, -1, -1};
    void OnUpdate(CView*, const CRect* hint) override { hints.push_back(hint ? *hint : kWhole); }
};

class ServicesScope {
public:
    ServicesScope() : m_saved(Services())
    {
        Services() = AppServices{&messageBox, &newDialog, &saveAsDialog, &shell, &profile, &clipboard, nullptr};
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

// A fresh folder, removed afterwards.
struct TempFolder {
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "graphelle-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

inline std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

class DocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = std::make_unique<CQuillexDoc>();
        ASSERT_TRUE(doc->OnNewDocument());
        doc->AddView(&recorder);
    }
    void TearDown() override { doc->RemoveView(&recorder); }

    // A pointer gesture through the given points (one point is a tap); false when the tool declines the press.
    bool Drag(std::initializer_list<CPoint> points)
    {
        const CPoint first = *points.begin(), last = *(points.end() - 1);
        if (!doc->PointerDown(&view, first.x, first.y, first.x - view.scroll.x, first.y - view.scroll.y)) return false;
        for (auto p = points.begin() + 1; p < points.end(); ++p)
            doc->PointerMove(p->x, p->y, p->x - view.scroll.x, p->y - view.scroll.y);
        doc->PointerUp(last.x, last.y, last.x - view.scroll.x, last.y - view.scroll.y);
        return true;
    }
    // A straight stroke of the current tool in eight steps.
    void Stroke(CPoint from, CPoint to)
    {
        ASSERT_TRUE(doc->PointerDown(&view, from.x, from.y, from.x, from.y));
        for (int i = 1; i < 8; ++i) {
            const int32_t x = from.x + (to.x - from.x) * i / 8, y = from.y + (to.y - from.y) * i / 8;
            doc->PointerMove(x, y, x, y);
        }
        doc->PointerUp(to.x, to.y, to.x, to.y);
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
        const CPoint c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ASSERT_TRUE(Drag({c}));
        ASSERT_TRUE(doc->m_floating.HasBits());
    }

    ServicesScope services;
    FakeToolView view;
    RecordingView recorder;
    std::unique_ptr<CQuillexDoc> doc;
};

}  // namespace doctest
