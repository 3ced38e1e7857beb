#pragma once
// graphelle-cli convert IN OUT: reads a sketch file, or a PNG picture made
// into a sheet as the program opens pictures, and writes a copy in the format
// that OUT's name selects, exactly as Save As does (".gif", ".bmp" and ".png"
// in any letter case, a sketch file otherwise). A sketch that opens only in
// part (a damaged block) is converted as the program would show it, with a
// warning on err. Exit 0 on success, 1 (with the reason on err) when IN gives
// no sheet or OUT cannot be written, 2 on a usage error.

#include <iosfwd>
#include <string>
#include <vector>

int CliConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
