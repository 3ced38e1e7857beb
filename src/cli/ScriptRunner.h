#pragma once
// CScriptRunner: replays a drawing script through a real CQuillexDoc, with a
// headless view at actual size and unscrolled, an in-process clipboard and
// services that answer as a person at the screen would. One command a line;
// the first bad line stops the script with "line N: ..." on the error stream.
// While it lives, the runner's services are the process's services.

#include "document/QuillexDoc.h"
#include "framework/Services.h"
#include "tools/ToolView.h"

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CScriptRunner {
public:
    CScriptRunner(std::ostream& out, std::ostream& err);
    ~CScriptRunner();
    CScriptRunner(const CScriptRunner&) = delete;
    CScriptRunner& operator=(const CScriptRunner&) = delete;

    // Runs every line; 0 when all went well, 1 after the first bad line.
    int Run(std::istream& script);
    // Runs one line; false with the reason (without the line number) when bad.
    bool RunLine(const std::string& line, std::string& error);

    CQuillexDoc& GetDocument() { return *m_pDoc; }
    // The status line the "status" command prints, without its newline.
    std::string StatusLine() const;

private:
    // A view the size of the paper at actual size: view pixels are paper pixels.
    class HeadlessView : public IToolView {
    public:
        CPoint GetScrollPosition() const override { return CPoint{}; }
        void ScrollTo(int32_t, int32_t) override {}
        void RepaintNow() override {}
        CPoint ViewToPaper(CPoint viewPoint) const override { return viewPoint; }
        CRect PaperToView(const CRect& paperRect) const override { return paperRect; }
        void SetBand(const CRect&) override {}
        void InvalidateView(const CRect*) override {}
    };

    class Clipboard : public IClipboard {
    public:
        bool HasFormat(const std::string& format) override { return m_data.count(format) != 0; }
        bool GetData(const std::string& format, std::vector<uint8_t>& data) override;
        bool SetData(const std::string& format, std::vector<uint8_t> data) override;

    private:
        std::map<std::string, std::vector<uint8_t>> m_data;
    };

    // Messages go to the error stream, and the last one is kept for the
    // line that caused it.
    class MessageBox : public IMessageBox {
    public:
        explicit MessageBox(std::ostream& err) : m_err(err) {}
        void ShowMessage(const std::string& text) override;
        std::string m_last;

    private:
        std::ostream& m_err;
    };

    // Answers with the size the "new" line asked for.
    class NewPaperDialog : public INewPaperDialog {
    public:
        bool Run(int32_t& width, int32_t& height, int32_t& roughness) override;
        int32_t m_nWidth = 0, m_nHeight = 0, m_nRough = 0;
    };

    // Answers with the path the "save" line named.
    class SaveAsDialog : public ISaveAsDialog {
    public:
        bool Run(const std::string&, const std::string&, const std::vector<FileFilter>&,
                 std::string& chosenPath) override;
        std::string m_path;
    };

    // New drawings are named in the current folder.
    class ShellFolders : public IShellFolders {
    public:
        bool GetDocumentsFolder(std::string& folder) override;
        bool FileExists(const std::string& path) override;
    };

    using Args = std::vector<std::string>;
    bool DoNew(const Args& args, std::string& error);
    // The path is the rest of the line, or a quoted part of it.
    bool DoOpen(const std::string& line, std::string& error);
    bool DoSave(const std::string& line, std::string& error);
    bool DoTool(const Args& args, std::string& error);
    bool DoPencil(const Args& args, std::string& error);
    bool DoEraser(const Args& args, std::string& error);
    bool DoTransparent(const Args& args, std::string& error);
    bool DoPointer(const std::string& what, const Args& args, std::string& error);
    bool DoStroke(const Args& args, std::string& error);
    bool DoPStroke(const Args& args, std::string& error);
    bool NeedSheet(const std::string& command, std::string& error);
    bool IgnoredInGesture(const std::string& command);
    // Reads pointer positions, each within the sane bound.
    static bool ParsePositions(const Args& args, std::vector<int32_t>& values, std::string& error);
    void Down(int32_t x, int32_t y);
    void Move(int32_t x, int32_t y);
    void Up(int32_t x, int32_t y);

    std::ostream& m_out;
    std::ostream& m_err;
    HeadlessView m_view;
    Clipboard m_clipboard;
    MessageBox m_messageBox;
    NewPaperDialog m_newDialog;
    SaveAsDialog m_saveAsDialog;
    ShellFolders m_shellFolders;
    // No profile and no main window: the document starts with the defaults.
    AppServices m_services{&m_messageBox, &m_newDialog, &m_saveAsDialog, &m_shellFolders, nullptr, &m_clipboard};
    std::unique_ptr<CQuillexDoc> m_pDoc;
    int m_nLine = 0;
    // A sketch was opened that could not be read whole.
    bool m_bReadInPart = false;
};

// graphelle-cli run SCRIPT: args are the words after "run".
int CliRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
