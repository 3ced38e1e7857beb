#include "DocTestSupport.h"

using namespace doctest;

// A picture's sheet becomes a new changed drawing named after the picture, on a name no file has.
TEST_F(DocTest, NewAndOpenPictureGiveTheFirstFreeNameAndEmptyTheDrawingOrFail)
{
    EXPECT_EQ(doc->GetPathName(), "/home/user/Documents/Sketch1.tvk");
    CPaper sheet;
    ASSERT_TRUE(sheet.Create(64, 48, 7));
    sheet.SetPixel(3, 4, 9);
    Stroke(CPoint{10, 10}, CPoint{80, 60});
    services.existing = {"/home/user/Documents/photo.tvk", "/home/user/Documents/photo (2).tvk"};
    ASSERT_TRUE(doc->OnOpenPicture("/pictures/photo.JPG", sheet));
    EXPECT_EQ(doc->GetPathName(), "/home/user/Documents/photo (3).tvk");
    EXPECT_EQ(State(), "history 0 pos 0 selection 0 0 0 0 floating 0 modified 1");
    EXPECT_EQ(Pixels(doc->GetPaper()), Pixels(sheet));
    EXPECT_EQ(Pixels(doc->GetBasePaper()), Pixels(sheet));

    for (int n = 1; n <= 3; ++n) services.existing.insert("/home/user/Documents/Sketch" + std::to_string(n) + ".tvk");
    services.width = 321, services.height = 123, services.roughness = 9;
    Stroke(CPoint{10, 10}, CPoint{50, 10});
    Lift({0, 0, 60, 40});  // New in the middle of moving the piece: the late release reaches no other drawing
    ASSERT_TRUE(Drag({{30, 20}, {40, 30}, {90, 60}}, [&] { ASSERT_TRUE(doc->OnNewDocument()); }));
    EXPECT_EQ(doc->GetPathName() + " " + doc->GetTitle(), "/home/user/Documents/Sketch4.tvk Sketch4.tvk");
    EXPECT_EQ(State(), "history 0 pos 0 selection 0 0 0 0 floating 0 modified 0");
    EXPECT_EQ(std::tuple(doc->GetPaper().GetWidth(), doc->GetBasePaper().GetHeight(), doc->GetRoughness()),
              std::tuple(321u, 123u, 9));
    EXPECT_TRUE(IsWhite(doc->GetPaper(), CRect{0, 0, 321, 123}) && IsWhite(doc->GetBasePaper(), CRect{0, 0, 321, 123}));

    // A cancelled dialog, no documents folder (for a new sheet or a picture), a sheet too wide or of no width.
    const struct { bool dialogOk, folderOk; int32_t width; bool picture; } failures[] = {
        {false, true, 200, false}, {true, false, 200, false}, {true, true, 4096, false}, {true, true, 0, false},
        {true, false, 200, true}};
    for (const auto& c : failures) {
        services.messages.clear();
        services.newOk = c.dialogOk, services.width = c.width, services.folderOk = c.folderOk;
        EXPECT_FALSE(c.picture ? doc->OnOpenPicture("/pictures/photo.png", sheet) : doc->OnNewDocument()) << c.width;
        EXPECT_EQ(services.messages, std::vector<std::string>{"Failed to create file!"}) << c.width;
        EXPECT_FALSE(doc->GetPaper().HasBits() || doc->GetBasePaper().HasBits()) << c.width;
    }
}

TEST_F(DocTest, SavingPutsAFloatingPieceDownFirstOpenReadsItBackSaveAsWritesACopyAndDamagedFilesAreNeverWrittenOver)
{
    Put(12, 12, 3);
    Band(CRect{10, 10, 20, 20});
    ASSERT_TRUE(Drag({{15, 15}, {25, 15}, {65, 15}}));
    const std::string file = folder.File("drawing.tvk");
    ASSERT_TRUE(doc->OnSaveDocument(file));
    EXPECT_EQ(State(), "history 2 pos 2 selection 0 0 0 0 floating 0 modified 0");  // the lift and the drop
    EXPECT_EQ(doc->GetPaper().GetPixel(62, 12), 3);
    const auto saved = Pixels(doc->GetPaper());

    doc->OnCommand(ID_TOOL_PENCIL);
    Stroke(CPoint{100, 100}, CPoint{150, 120});
    ASSERT_TRUE(doc->OnOpenDocument(file));
    EXPECT_EQ(Pixels(doc->GetPaper()), saved);
    EXPECT_EQ(Pixels(doc->GetBasePaper()), saved);
    EXPECT_EQ(State(), "history 0 pos 0 selection 0 0 0 0 floating 0 modified 0");
    EXPECT_EQ(doc->GetPathName() + " " + doc->GetTitle(), file + " drawing.tvk");

    // Save goes to the document's own file, and in the middle of a stroke ends it first: the file holds it
    // and its late release changes nothing. Our own save is no change by someone else.
    ASSERT_TRUE(Drag({{100, 100}, {120, 110}, {150, 120}}, [&] { ASSERT_TRUE(doc->DoFileSave()); }));
    EXPECT_EQ(State(), "history 1 pos 1 selection 0 0 0 0 floating 0 modified 0");
    EXPECT_EQ(SheetOf(file), Pixels(doc->GetPaper()));
    Stroke(CPoint{10, 10}, CPoint{40, 10});
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_TRUE(services.messages.empty());

    // Another program (or a copy of this one on another display) wrote the file: saving keeps
    // both, ours under a new name, and says so.
    WriteFile(file, "theirs");
    Stroke(CPoint{10, 20}, CPoint{40, 20});
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(Contents(file), "theirs");
    EXPECT_EQ(doc->GetPathName(), folder.File("drawing (2).tvk"));
    EXPECT_EQ(SheetOf(doc->GetPathName()), Pixels(doc->GetPaper()));
    EXPECT_EQ(services.messages, std::vector<std::string>{"\"drawing.tvk\" was changed by another program since it "
                                                          "was opened. Both are kept: your drawing was saved as "
                                                          "\"drawing (2).tvk\"."});

    // Save As writes a copy in the format of the name, and Export PNG one that is always a PNG file;
    // the drawing goes on under its own name, changed or not as it was.
    const std::string own = doc->GetPathName();
    const struct { uint32_t command; const char *typed, *written, *magic; } cases[] = {
        {ID_FILE_SAVE_AS, "copy.GIF", "copy.GIF", "GIF89a"}, {ID_FILE_SAVE_AS, "copy.Bmp", "copy.Bmp", "BM"},
        {ID_FILE_SAVE_AS, "copy.png", "copy.png", "\x89PNG"}, {ID_FILE_SAVE_AS, "copy", "copy", "QLXF"},
        {ID_FILE_EXPORT_PNG, "shot", "shot.png", "\x89PNG"}, {ID_FILE_EXPORT_PNG, "a.PNG", "a.PNG", "\x89PNG"},
        {ID_FILE_EXPORT_PNG, "x.tvk", "x.tvk.png", "\x89PNG"}};
    bool modified = false;
    for (const auto& c : cases) {
        doc->SetModifiedFlag(modified = !modified);
        services.answer = folder.File(c.typed);
        doc->OnCommand(c.command);
        EXPECT_EQ(Contents(folder.File(c.written)).substr(0, std::string(c.magic).size()), c.magic) << c.typed;
        EXPECT_EQ(std::pair(doc->GetPathName(), doc->IsModified()), std::pair(own, modified)) << c.typed;
    }
    services.saveAsOk = false;  // cancelling writes nothing, though the dialog named a file
    doc->OnCommand(ID_FILE_SAVE_AS);
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.tvk")));

    // What cannot be read is refused, and a drawing read only in part opens with the rows read, but
    // its file is never written over: what it holds beyond the damage may yet be rescued.
    // A header of width 3, below the paper minimum: magic, header size 28, version 1, width, height 10, roughness 5.
    WriteFile(folder.File("narrow.tvk"),
              std::string("QLXF\x1c\0\0\0\x01\0\0\0\x03\0\0\0\x0a\0\0\0\x05\0\0\0\0\0\0\0", 28));
    WriteFile(folder.File("text.tvk"), "not a sketch at all, just words");
    WriteFile(folder.File("empty.tvk"), "");
    for (const char* name : {"narrow.tvk", "text.tvk", "empty.tvk", "missing.tvk"}) {
        services.messages.clear();
        EXPECT_FALSE(doc->OnOpenDocument(folder.File(name))) << name;
        EXPECT_EQ(services.messages, std::vector<std::string>{"Failed to open file!"}) << name;
    }

    services.messages.clear();
    const std::string damaged = folder.File("damaged.tvk");
    ASSERT_TRUE(doc->OnNewDocument());
    PaintSheet(*doc, [](int32_t x, int32_t y) { return (x * 7 + y * 3) & 0x7F; });
    ASSERT_TRUE(doc->OnSaveDocument(damaged));
    std::string data = Contents(damaged);
    data.resize(data.size() * 2 / 3);  // cut off the end of the stream
    WriteFile(damaged, data);
    WriteFile(folder.File("damaged (rescued).tvk"), "taken");
    ASSERT_TRUE(doc->OnOpenDocument(damaged));
    EXPECT_EQ(services.messages, std::vector<std::string>{
        "\"damaged.tvk\" could be read only in part: the rest of the sheet is white. The file is left as it is; your "
        "changes will be saved to \"damaged (rescued 2).tvk\"."});
    EXPECT_EQ(doc->GetPathName(), folder.File("damaged (rescued 2).tvk"));
    const auto opened = Pixels(doc->GetPaper());  // and undo comes back to them
    Stroke(CPoint{10, 10}, CPoint{40, 10});
    doc->OnEditUndo();
    EXPECT_EQ(Pixels(doc->GetPaper()), opened);
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(Contents(damaged), data);
    EXPECT_EQ(SheetOf(folder.File("damaged (rescued 2).tvk")), Pixels(doc->GetPaper()));
}
