#pragma once
// graphelle-cli info FILE: the header fields of a sketch file, one per line,
// then its blocks as the program reads them: how many, whether every checksum
// matches, whether the code stream decodes and reaches its end code, and how
// many pixels it gave. args are the words after the sub-command's name. Exit
// 0 when the file reads whole, 1 (with the reason on err) when it cannot be
// opened or does not read whole, 2 on a usage error.

#include <iosfwd>
#include <string>
#include <vector>

int CliInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
