#pragma once
// The program's own state on this machine, apart from the user's drawings:
// recovery copies, earlier versions and reserved names, each in a folder
// below $XDG_STATE_HOME/graphelle (by default ~/.local/state/graphelle).

#include <string>

// The folder for one kind of state, created (private to the user) when
// missing; empty when there is no home or it cannot be made.
std::string StateFolder(const std::string& kind);

// A file name for state about a path, which may be longer than a file name
// can be: sixteen hex digits of its hash.
std::string StateFileName(const std::string& path);
