#include "ScriptRunner.h"
#include "Usage.h"

#include "framework/CommandIds.h"
#include "tools/EraserTool.h"
#include "tools/PencilTool.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

bool ParseInt(const std::string& word, int32_t& value)
{
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end;
}

std::string NotANumber(const std::string& word)
{
    return "'" + word + "' is not a whole number";
}

// Reads the numbers of a line into values; false with the reason.
bool ParseInts(const std::vector<std::string>& args, std::vector<int32_t>& values, std::string& error)
{
    values.clear();
    for (const std::string& word : args) {
        int32_t v = 0;
        if (!ParseInt(word, v)) {
            error = NotANumber(word);
            return false;
        }
        values.push_back(v);
    }
    return true;
}

// Positions beyond this are no place on any sheet, and would only make the
// tools walk for seconds or overflow on the way.
constexpr int32_t kMaxCoordinate = 1000000;

bool InRange(const char* what, int32_t value, int32_t low, int32_t high, std::string& error)
{
    if (value >= low && value <= high) return true;
    error = std::string(what) + " " + std::to_string(value) + " is outside " + std::to_string(low) + " to " +
            std::to_string(high);
    return false;
}

// The path of an open or save line: the rest of the line after the command,
// blanks trimmed, up to a comment; or the text between double quotes, which
// may hold a '#'. False when there is none or a quote is not closed.
bool PathArgument(const std::string& line, std::string& path)
{
    const char* const blanks = " \t\r";
    size_t at = line.find_first_not_of(blanks);
    at = line.find_first_of(blanks, at);
    at = at == std::string::npos ? std::string::npos : line.find_first_not_of(blanks, at);
    if (at == std::string::npos || line[at] == '#') return false;
    if (line[at] == '"') {
        const size_t close = line.find('"', at + 1);
        if (close == std::string::npos) return false;
        const size_t after = line.find_first_not_of(blanks, close + 1);
        if (after != std::string::npos && line[after] != '#') return false;
        path = line.substr(at + 1, close - at - 1);
        return !path.empty();
    }
    const size_t end = line.find('#', at);
    path = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
    path.erase(path.find_last_not_of(blanks) + 1);
    return true;
}

const char* ToolName(const CQuillexDoc& doc)
{
    switch (doc.GetTool()) {
    case ToolKind::Pencil: return "pencil";
    case ToolKind::Eraser: return "eraser";
    case ToolKind::Hand: return "hand";
    case ToolKind::Select: break;
    }
    return "select";
}

}  // namespace

// ---- Headless services ----------------------------------------------------

bool CScriptRunner::Clipboard::GetData(const std::string& format, std::vector<uint8_t>& data)
{
    auto it = m_data.find(format);
    if (it == m_data.end()) return false;
    try {
        data = it->second;
    } catch (...) {
        return false;
    }
    return true;
}

bool CScriptRunner::Clipboard::SetData(const std::string& format, std::vector<uint8_t> data)
{
    try {
        m_data[format] = std::move(data);
    } catch (...) {
        return false;
    }
    return true;
}

void CScriptRunner::MessageBox::ShowMessage(const std::string& text)
{
    m_last = text;
    m_err << text << '\n';
}

bool CScriptRunner::NewPaperDialog::Run(int32_t& width, int32_t& height, int32_t& roughness)
{
    width = m_nWidth;
    height = m_nHeight;
    roughness = m_nRough;
    return true;
}

bool CScriptRunner::SaveAsDialog::Run(const std::string&, const std::string&, const std::vector<FileFilter>&,
                                      std::string& chosenPath)
{
    chosenPath = m_path;
    return !m_path.empty();
}

bool CScriptRunner::ShellFolders::GetDocumentsFolder(std::string& folder)
{
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (ec) return false;
    folder = here.string();
    return true;
}

bool CScriptRunner::ShellFolders::FileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// ---- The runner -----------------------------------------------------------

CScriptRunner::CScriptRunner(std::ostream& out, std::ostream& err)
    : m_out(out), m_err(err), m_messageBox(err), m_pDoc(std::make_unique<CQuillexDoc>(m_services))
{
}

CScriptRunner::~CScriptRunner() = default;

int CScriptRunner::Run(std::istream& script)
{
    std::string line;
    m_bReadInPart = false;
    for (m_nLine = 1; std::getline(script, line); ++m_nLine) {
        std::string error;
        if (!RunLine(line, error)) {
            m_err << "line " << m_nLine << ": " << error << '\n';
            return 1;
        }
    }
    if (script.bad()) {
        m_err << "cannot read the script\n";
        return 1;
    }
    // The script ran to its end, but what it opened was not all there.
    return m_bReadInPart ? 1 : 0;
}

// As on screen, a command pressed in the middle of a gesture does nothing;
// the script says so and goes on.
bool CScriptRunner::IgnoredInGesture(const std::string& command)
{
    if (!m_pDoc->IsInGesture()) return false;
    m_err << "line " << m_nLine << ": " << command << " ignored: a gesture is in progress\n";
    return true;
}

bool CScriptRunner::RunLine(const std::string& text, std::string& error)
{
    std::string line = text;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string command;
    if (!(words >> command)) return true;
    Args args;
    for (std::string word; words >> word;) args.push_back(word);

    auto noArgs = [&]() {
        if (args.empty()) return true;
        error = command + " takes no arguments";
        return false;
    };

    // Lines that would change the drawing or its tools.
    static const char* const kShutOut[] = {"save", "tool", "pencil", "eraser", "transparent", "undo", "redo",
                                           "selectall", "clear", "cut", "copy", "paste", "drop"};
    for (const char* name : kShutOut)
        if (command == name && IgnoredInGesture(command)) return true;

    if (command == "new") return DoNew(args, error);
    if (command == "open") return DoOpen(text, error);
    if (command == "save") return DoSave(text, error);
    if (command == "tool") return DoTool(args, error);
    if (command == "pencil") return DoPencil(args, error);
    if (command == "eraser") return DoEraser(args, error);
    if (command == "transparent") return DoTransparent(args, error);
    if (command == "down" || command == "move" || command == "up") return DoPointer(command, args, error);
    if (command == "stroke") return DoStroke(args, error);
    if (command == "pstroke") return DoPStroke(args, error);
    if (command == "status") {
        if (!noArgs()) return false;
        m_out << StatusLine() << '\n';
        return true;
    }

    struct Simple {
        const char* name;
        void (*run)(CScriptRunner&);
    };
    static const Simple simple[] = {
        {"undo", [](CScriptRunner& r) { r.m_pDoc->OnCommand(ID_EDIT_UNDO); }},
        {"redo", [](CScriptRunner& r) { r.m_pDoc->OnCommand(ID_EDIT_REDO); }},
        {"selectall", [](CScriptRunner& r) { r.m_pDoc->OnCommand(ID_EDIT_SELECT_ALL); }},
        {"clear", [](CScriptRunner& r) { r.m_pDoc->OnCommand(ID_EDIT_CLEAR); }},
        {"cut", [](CScriptRunner& r) { r.m_pDoc->Cut(&r.m_view); }},
        {"copy", [](CScriptRunner& r) { r.m_pDoc->CopySelection(&r.m_view, false); }},
        {"paste", [](CScriptRunner& r) { r.m_pDoc->Paste(&r.m_view); }},
        {"drop", [](CScriptRunner& r) { r.m_pDoc->DropSelection(); }},
    };
    for (const Simple& s : simple) {
        if (command != s.name) continue;
        if (!noArgs() || !NeedSheet(command, error)) return false;
        s.run(*this);
        return true;
    }
    error = "unknown command '" + command + "'";
    return false;
}

bool CScriptRunner::NeedSheet(const std::string& command, std::string& error)
{
    if (m_pDoc->GetPaper().HasBits()) return true;
    error = command + " needs a sheet: start with new or open";
    return false;
}

std::string CScriptRunner::StatusLine() const
{
    const CQuillexDoc& doc = *m_pDoc;
    const CRect& s = doc.GetSelection().GetRect();
    std::ostringstream line;
    line << "size " << doc.GetPaper().GetWidth() << ' ' << doc.GetPaper().GetHeight() << " rough "
         << (doc.GetPaper().HasBits() ? doc.GetPaper().GetRoughness() : 0) << " history " << doc.GetHistoryCount()
         << " pos " << doc.GetHistoryPos() << " selection " << s.left << ' ' << s.top << ' ' << s.right << ' '
         << s.bottom << " floating " << (doc.GetSelection().IsFloating() ? 1 : 0) << " modified "
         << (doc.IsModified() ? 1 : 0) << " tool " << ToolName(doc);
    return line.str();
}

bool CScriptRunner::DoNew(const Args& args, std::string& error)
{
    std::vector<int32_t> v;
    if (args.size() != 3) {
        error = "new takes W H R";
        return false;
    }
    if (!ParseInts(args, v, error)) return false;
    if (!InRange("width", v[0], kPaperMinSize, kPaperMaxSize, error) ||
        !InRange("height", v[1], kPaperMinSize, kPaperMaxSize, error) ||
        !InRange("roughness", v[2], kMinRoughness, kMaxRoughness, error))
        return false;
    m_newDialog.m_nWidth = v[0];
    m_newDialog.m_nHeight = v[1];
    m_newDialog.m_nRough = v[2];
    if (!m_pDoc->OnNewDocument()) {
        error = "cannot make a new sheet: " + m_messageBox.m_last;
        return false;
    }
    return true;
}

bool CScriptRunner::DoOpen(const std::string& line, std::string& error)
{
    std::string path;
    if (!PathArgument(line, path)) {
        error = "open takes PATH";
        return false;
    }
    if (!m_pDoc->OnOpenDocument(path)) {
        error = "cannot open " + path;
        return false;
    }
    // The document has said so on the error stream; the run goes on with
    // what could be read, and ends with a failure.
    if (m_pDoc->IsReadInPart()) m_bReadInPart = true;
    return true;
}

// Save writes a copy as Save As does: the format follows the extension and
// the drawing keeps its own name and modified state.
bool CScriptRunner::DoSave(const std::string& line, std::string& error)
{
    std::string path;
    if (!PathArgument(line, path)) {
        error = "save takes PATH";
        return false;
    }
    if (!NeedSheet("save", error)) return false;
    m_messageBox.m_last.clear();
    m_saveAsDialog.m_path = path;
    m_pDoc->OnCommand(ID_FILE_SAVE_AS);
    m_saveAsDialog.m_path.clear();
    if (!m_messageBox.m_last.empty()) {
        error = "cannot save " + path;
        return false;
    }
    return true;
}

bool CScriptRunner::DoTool(const Args& args, std::string& error)
{
    static const std::pair<const char*, uint32_t> tools[] = {
        {"pencil", ID_TOOL_PENCIL}, {"eraser", ID_TOOL_ERASER}, {"hand", ID_TOOL_HAND}, {"select", ID_TOOL_SELECT}};
    if (args.size() == 1) {
        for (auto [name, id] : tools) {
            if (args[0] != name) continue;
            m_pDoc->OnCommand(id);
            return true;
        }
    }
    error = "tool takes pencil, eraser, hand or select";
    return false;
}

bool CScriptRunner::DoPencil(const Args& args, std::string& error)
{
    if (args.size() != 3) {
        error = "pencil takes GRADE WIDTH SMOOTH";
        return false;
    }
    int32_t grade = 0;
    if (!ParseInt(args[0], grade)) {
        grade = GradeFromName(args[0]);
        if (grade < 0) {
            error = "'" + args[0] + "' is not a grade (0 to 11, or C, 6B to 1B, HB, 1H to 4H)";
            return false;
        }
    }
    std::vector<int32_t> v;
    if (!ParseInts(Args(args.begin() + 1, args.end()), v, error)) return false;
    m_pDoc->SetPencilOptions(grade, v[0], v[1] != 0 ? 1 : 0);
    return true;
}

bool CScriptRunner::DoEraser(const Args& args, std::string& error)
{
    std::vector<int32_t> v;
    if (args.size() != 2) {
        error = "eraser takes SIZE STRENGTH";
        return false;
    }
    if (!ParseInts(args, v, error)) return false;
    m_pDoc->SetEraserOptions(v[0], v[1]);
    return true;
}

bool CScriptRunner::DoTransparent(const Args& args, std::string& error)
{
    if (args.size() != 1 || (args[0] != "0" && args[0] != "1")) {
        error = "transparent takes 0 or 1";
        return false;
    }
    m_pDoc->SetTransparent(args[0] == "1");
    return true;
}

// As on screen: a press the tool declines starts no gesture, and moves and
// releases outside a gesture, or a press inside one, go nowhere; the
// document itself sees to that.
void CScriptRunner::Down(int32_t x, int32_t y)
{
    m_pDoc->PointerDown(&m_view, x, y, x, y);
}

void CScriptRunner::Move(int32_t x, int32_t y)
{
    m_pDoc->PointerMove(x, y, x, y);
}

void CScriptRunner::Up(int32_t x, int32_t y)
{
    m_pDoc->PointerUp(x, y, x, y);
}

bool CScriptRunner::ParsePositions(const Args& args, std::vector<int32_t>& values, std::string& error)
{
    if (!ParseInts(args, values, error)) return false;
    for (int32_t v : values)
        if (!InRange("position", v, -kMaxCoordinate, kMaxCoordinate, error)) return false;
    return true;
}

bool CScriptRunner::DoPointer(const std::string& what, const Args& args, std::string& error)
{
    std::vector<int32_t> v;
    if (args.size() != 2) {
        error = what + " takes X Y";
        return false;
    }
    if (!ParsePositions(args, v, error) || !NeedSheet(what, error)) return false;
    if (what == "down")
        Down(v[0], v[1]);
    else if (what == "move")
        Move(v[0], v[1]);
    else
        Up(v[0], v[1]);
    return true;
}

bool CScriptRunner::DoStroke(const Args& args, std::string& error)
{
    std::vector<int32_t> v;
    if (args.empty() || args.size() % 2 != 0) {
        error = "stroke takes pairs of X Y, at least one";
        return false;
    }
    if (!ParsePositions(args, v, error) || !NeedSheet("stroke", error)) return false;
    const size_t points = v.size() / 2;
    Down(v[0], v[1]);
    for (size_t i = 1; i + 1 < points; ++i) Move(v[2 * i], v[2 * i + 1]);
    Up(v[2 * (points - 1)], v[2 * (points - 1) + 1]);
    return true;
}

// A stroke of a pen: X Y and a pressure from 0 to 1 at every point, each
// point with its own pressure, as a tablet delivers them.
bool CScriptRunner::DoPStroke(const Args& args, std::string& error)
{
    if (args.empty() || args.size() % 3 != 0) {
        error = "pstroke takes triples of X Y PRESSURE, at least one";
        return false;
    }
    Args positions;
    std::vector<int32_t> pressures;
    for (size_t i = 0; i < args.size(); i += 3) {
        positions.insert(positions.end(), {args[i], args[i + 1]});
        const std::string& word = args[i + 2];
        double fraction = -1;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), fraction);
        if (ec != std::errc() || end != word.data() + word.size() || !(fraction >= 0.0 && fraction <= 1.0)) {
            error = "'" + word + "' is not a pressure from 0 to 1";
            return false;
        }
        pressures.push_back(PressureFromFraction(fraction));
    }
    std::vector<int32_t> v;
    if (!ParsePositions(positions, v, error) || !NeedSheet("pstroke", error)) return false;
    const size_t last = pressures.size() - 1;
    m_pDoc->PointerDown(&m_view, v[0], v[1], v[0], v[1], pressures[0]);
    for (size_t i = 1; i < last; ++i) m_pDoc->PointerMove(v[2 * i], v[2 * i + 1], v[2 * i], v[2 * i + 1], pressures[i]);
    m_pDoc->PointerUp(v[2 * last], v[2 * last + 1], v[2 * last], v[2 * last + 1], pressures[last]);
    return true;
}

// ---- The sub-command ------------------------------------------------------

int CliRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    static const char kUsage[] = "usage: graphelle-cli run SCRIPT\n";
    static const char kHelp[] =
        "usage: graphelle-cli run SCRIPT\n"
        "Replays a drawing script (a path, or - for standard input). One command a line,\n"
        "# starts a comment:\n"
        "  new W H R | open PATH | save PATH (the rest of the line, or \"in quotes\")\n"
        "  tool pencil|eraser|hand|select | pencil GRADE WIDTH SMOOTH | eraser SIZE STRENGTH\n"
        "  transparent 0|1 | down X Y | move X Y | up X Y | stroke X0 Y0 X1 Y1 ...\n"
        "  pstroke X0 Y0 P0 X1 Y1 P1 ... (a pen's stroke, pressures P from 0 to 1)\n"
        "  undo | redo | selectall | clear | cut | copy | paste | drop | status\n";
    if (const int status = CheckArguments(args, 1, kUsage, kHelp, out, err); status >= 0) return status;
    CScriptRunner runner(out, err);
    if (args[0] == "-") return runner.Run(std::cin);
    std::ifstream script(args[0]);
    if (!script) {
        err << "cannot open the script " << args[0] << '\n';
        return 1;
    }
    return runner.Run(script);
}
