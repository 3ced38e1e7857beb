#pragma once
// CPictureImport: pictures opened as drawings. Whatever Qt's image plug-ins
// read on this machine (PNG, JPEG, GIF, BMP, ...) is turned upright as the
// picture says and made into a sheet by CPictureSheet, as the command line
// makes one; the picture file is only read. Sketches are told apart by their
// first bytes, so a sketch with any name still opens as a sketch.

#include <QString>
#include <QStringList>

#include <cstdint>

class CPaper;

class CPictureImport {
public:
    // Whether path should open as a picture: not a sketch, and a picture by
    // its content or by an extension an image plug-in claims.
    static bool IsPicture(const QString& path);
    // The picture as a new sheet of the given roughness; false with the
    // reason in plain words in why.
    static bool Read(const QString& path, uint32_t roughness, CPaper& sheet, QString& why);
    // The open dialog's filters: sketches and pictures together, each apart,
    // and all files.
    static QStringList OpenFilters();
};
