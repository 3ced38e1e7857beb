#include "FileFormat.h"

#include "BmpFile.h"
#include "GifFile.h"
#include "PngFile.h"
#include "SketchFile.h"

FileFormat FormatForName(const std::string& fileName)
{
    if (fileName.size() < 4) return FileFormat::Sketch;
    std::string tail = fileName.substr(fileName.size() - 4);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (tail == ".gif") return FileFormat::Gif;
    if (tail == ".bmp") return FileFormat::Bmp;
    if (tail == ".png") return FileFormat::Png;
    return FileFormat::Sketch;
}

bool WritePaper(const CPaper& paper, CArchive& ar)
{
    switch (FormatForName(ar.GetFileName())) {
    case FileFormat::Gif:
        return WriteGif(paper, ar);
    case FileFormat::Bmp:
        return WriteBmp(paper, ar);
    case FileFormat::Png:
        return WritePng(paper, ar);
    case FileFormat::Sketch:
        break;
    }
    return WriteSketch(paper, ar);
}
