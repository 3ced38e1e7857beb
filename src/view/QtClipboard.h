#pragma once
// QtClipboard: the program's clipboard service on the system clipboard. The
// "QUILLEX V1" payload travels under its own MIME type, so that two running
// copies exchange pieces unchanged; it is also offered as a PNG image to other
// programs, and an image from another program is accepted in its place.
// Only the one format "QUILLEX V1" is known; other names are refused.

#include "framework/Services.h"

class QtClipboard : public IClipboard {
public:
    bool HasFormat(const std::string& format) override;
    bool GetData(const std::string& format, std::vector<uint8_t>& data) override;
    bool SetData(const std::string& format, std::vector<uint8_t> data) override;
};
