#pragma once
// The desktop's knowledge of sketch files, brought up to date in the user's
// data folder at every start so that a moved program is found again: a launcher
// entry that opens a file, the "Graphelle File" type for *.tvk, the program
// and document icons, and a thumbnailer. A piece that cannot be written is
// skipped without a word; nothing here may slow or stop the start.

#include <QString>

struct AssociationResult {
    int written = 0;             // pieces written or already current, of kAssociationPieces
    bool typeChanged = false;    // the type definition differs from before
    bool entryChanged = false;   // the launcher entry differs, or the launchers' type index is missing
};

inline constexpr int kAssociationPieces = 6;

// dataHome: $XDG_DATA_HOME or ~/.local/share. exePath: this program, cliPath:
// the command-line tool that makes thumbnails, both absolute.
AssociationResult WriteFileAssociation(const QString& dataHome, const QString& exePath,
                                       const QString& cliPath);

// One argument of an Exec line as the Desktop Entry rules want it: as it is,
// or quoted and escaped when it holds a reserved character; "%" doubled.
QString DesktopExecArgument(const QString& arg);

// The file contents, apart for the tests.
QString DesktopEntryText(const QString& exePath);
QString MimeTypeText();
QString ThumbnailerText(const QString& cliPath);

// Lets the desktop re-read the type and launcher lists, when its tools are
// installed: started detached, never waited for, failures ignored.
void RefreshDesktopDatabases(const QString& dataHome);
