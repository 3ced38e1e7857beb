#pragma once
// What the document asks of the user interface, as small interfaces. The Qt
// shell implements them; tests and the command-line tool use fakes or
// headless versions. Whoever makes a document hands it its set.

#include <cstdint>
#include <string>
#include <vector>

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

// The New dialog: true when it ended with OK, with the three values filled.
class INewPaperDialog {
public:
    virtual ~INewPaperDialog() = default;
    virtual bool Run(int32_t& width, int32_t& height, int32_t& roughness) = 0;
};

struct FileFilter {
    std::string description;  // "Sketch File(*.tvk)"
    std::string pattern;      // "*.tvk"
};

// The Save As dialog: true when the user chose a path.
class ISaveAsDialog {
public:
    virtual ~ISaveAsDialog() = default;
    virtual bool Run(const std::string& title, const std::string& initialName,
                     const std::vector<FileFilter>& filters, std::string& chosenPath) = 0;
};

class IShellFolders {
public:
    virtual ~IShellFolders() = default;
    // The user's documents folder, created when missing; false when none.
    virtual bool GetDocumentsFolder(std::string& folder) = 0;
    virtual bool FileExists(const std::string& path) = 0;
};

// The settings profile: integers by name in the program's one section.
class IProfile {
public:
    virtual ~IProfile() = default;
    virtual int32_t GetProfileInt(const std::string& name, int32_t defaultValue) = 0;
    virtual void WriteProfileInt(const std::string& name, int32_t value) = 0;
};

enum class OptionBar { Pencil, Eraser, Select };

// The main window as the document sees it: the option bars' controls and the
// bottom toolbar.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual bool HasOptionBarWindow(OptionBar bar) const = 0;
    virtual int GetComboSelection(uint32_t controlId) const = 0;  // -1 when none
    virtual int GetCheckState(uint32_t controlId) const = 0;
    // From code, without a notification back to the document.
    virtual void SetComboSelection(uint32_t controlId, int index) = 0;
    virtual void SetCheckState(uint32_t controlId, int state) = 0;
    virtual bool IsToolBarVisible() const = 0;
    virtual void ShowOptionBar(OptionBar bar, bool show) = 0;
    virtual void RecalcLayout() = 0;
};

// The clipboard, with formats named by string ("QUILLEX V1").
class IClipboard {
public:
    virtual ~IClipboard() = default;
    virtual bool HasFormat(const std::string& format) = 0;
    virtual bool GetData(const std::string& format, std::vector<uint8_t>& data) = 0;
    virtual bool SetData(const std::string& format, std::vector<uint8_t> data) = 0;
};

// Told of every save of a document, so that what the file held before and
// what the document holds since can both be looked after.
class ISaveWatcher {
public:
    virtual ~ISaveWatcher() = default;
    // The file at path may be replaced (or made) by the save about to start.
    virtual void BeforeSave(const std::string& path) = 0;
    // The document's contents are now whole in the file at path.
    virtual void AfterSave(const std::string& path) = 0;
};

// A document's services; null members mean "not available". The main window
// comes and goes with the frame, so it is looked up at each use.
struct AppServices {
    IMessageBox* pMessageBox = nullptr;
    INewPaperDialog* pNewPaperDialog = nullptr;
    ISaveAsDialog* pSaveAsDialog = nullptr;
    IShellFolders* pShellFolders = nullptr;
    IProfile* pProfile = nullptr;
    IClipboard* pClipboard = nullptr;
    IMainWindow* pMainWindow = nullptr;
    ISaveWatcher* pSaveWatcher = nullptr;
};
