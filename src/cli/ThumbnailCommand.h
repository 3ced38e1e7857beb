#pragma once
// graphelle-cli thumbnail IN.tvk OUT.png SIZE: the picture file managers show
// for a sketch. The sheet is shrunk to fit SIZE x SIZE, keeping its shape and
// never enlarged, and written as an 8-bit gray PNG. args are the words after
// the sub-command's name. Exit 0 on success, 1 when the sketch cannot be read
// or the picture not written, 2 on a usage error.

#include <iosfwd>
#include <string>
#include <vector>

int CliThumbnail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
