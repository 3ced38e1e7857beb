#pragma once
// A private state folder (recovery copies, earlier versions, reserved names)
// with a drawings folder and a documents folder beside it, for as long as the
// object lives; and small sketch files told apart by the gray of one square.

#include "DocTestSupport.h"
#include "document/RecoveryStore.h"
#include "document/VersionStore.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace statetest {

// Every test runs in a process of its own, so the state folder is never given back.
struct PrivateState {
    PrivateState()
    {
        setenv("XDG_STATE_HOME", root.File("state").c_str(), 1);
        std::filesystem::create_directories(Drawings());
        std::filesystem::create_directories(Documents());
    }
    std::string Drawings() const { return root.File("drawings"); }
    std::string Drawing(const std::string& name) const { return Drawings() + "/" + name; }
    std::string Documents() const { return root.File("documents"); }
    std::string Recovery() const { return root.File("state/graphelle/recovery"); }
    std::string Versions() const { return root.File("state/graphelle/versions"); }

    doctest::TempFolder root;
};

// Files in a folder (none when it is missing).
inline size_t FileCount(const std::string& folder)
{
    std::error_code ec;
    const auto all = std::filesystem::recursive_directory_iterator(folder, ec);
    return ec ? 0 : std::count_if(begin(all), end(all), [](const auto& entry) { return entry.is_regular_file(); });
}

// A 200 x 150 sheet whose square at (10, 10)-(40, 40) has the gray mark.
inline void MarkedSheet(CPaper& paper, uint8_t mark)
{
    paper.Create(200, 150, 5);
    for (int32_t y = 10; y < 40; ++y)
        for (int32_t x = 10; x < 40; ++x) paper.SetPixel(x, y, mark);
}

inline bool WriteMarkedSketch(const std::string& path, uint8_t mark)
{
    CPaper paper;
    MarkedSheet(paper, mark);
    CArchive ar;
    return ar.Open(path, CArchive::store) && WriteSketch(paper, ar) && ar.Close();
}

// The gray of the square in a sketch file; -1 when it does not read whole.
inline int MarkOf(const std::string& path)
{
    CPaper paper;
    std::string error;
    return LoadSketchFile(path, paper, error) == SketchLoad::Whole ? paper.GetPixel(20, 20) : -1;
}

// The squares' grays of the versions, newest first.
inline std::vector<int> Marks(const std::vector<EarlierVersion>& versions)
{
    std::vector<int> marks;
    for (const EarlierVersion& v : versions) marks.push_back(MarkOf(v.file));
    return marks;
}

}  // namespace statetest
