#pragma once
// The icons and the help page are compiled into the shell's library; a
// static library's resources are registered only when asked for.

void InitShellResources();
