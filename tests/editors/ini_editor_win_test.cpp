// The INI files editor under Wine with its real tree, list and value dialog, checked by
// the project's saved bytes.
#include "tests/editors/EditorDriving.h"

#include "builder/editors/SetupIniFiles.h"
#include "builder/editors/SetupValue.h"
#include "tests/harness/FormDriver.h"

namespace {

using namespace base::win;
using namespace edtest;
using Names = std::vector<std::string>;

class IniEditor : public EditorFixture<TfrmIniFiles, EditIniFiles> {
protected:
  // The node of a file ("WIN.INI") or a section ("WIN.INI/Boot").
  static TreeNode Node(TfrmIniFiles& f, const std::string& path) {
    const size_t slash = path.find('/');
    for (TreeNode file : f.tvFiles.Children(nullptr)) {
      if (f.tvFiles.NodeText(file) != path.substr(0, slash)) continue;
      if (slash == std::string::npos) return file;
      for (TreeNode s : f.tvFiles.Children(file))
        if (f.tvFiles.NodeText(s) == path.substr(slash + 1)) return s;
    }
    ADD_FAILURE() << "no node " << path;
    return nullptr;
  }
  static void Select(TfrmIniFiles& f, const std::string& path) { f.tvFiles.Select(Node(f, path)); }
  static Names TopNodes(TfrmIniFiles& f) { return ChildTexts(f.tvFiles, nullptr); }
  // The author's changes: a file, a section in it and in WIN.INI, entries edited.
  static void MakeChanges(TfrmIniFiles& f) {
    Key(f.tvFiles.Handle(), VK_INSERT);
    ASSERT_TRUE(FinishEdit(f.tvFiles, "<INSTALLDIR>\\App.ini"));
    f.actNewSectionExecute();
    ASSERT_TRUE(FinishEdit(f.tvFiles, "Settings"));
    Key(f.lvValues.Handle(), VK_INSERT);
    ASSERT_TRUE(FinishEdit(f.lvValues, "Path"));
    AnswerValueDialog("<INSTALLDIR>");
    Key(f.lvValues.Handle(), VK_RETURN, true);
    Select(f, "WIN.INI");
    f.actNewSectionExecute();
    ASSERT_TRUE(FinishEdit(f.tvFiles, "Fonts"));
    f.actNewValueExecute();
    f.lvValues.EndEdit(true);
    f.ActionListUpdate();
  }
  static void ExpectedChanges(TTandrelBaseInstall& e) {
    e.AddIniFile("<INSTALLDIR>\\App.ini")->AddSection("Settings")->AddValue("Path")->Value = "<INSTALLDIR>";
    e.AddIniFile("WIN.INI")->AddSection("Fonts")->AddValue("New Value #1");
  }
};

TEST_F(IniEditor, OkAppliesTheChanges) {
  Names nodes;
  std::string caption;
  const bool ok = Run([&](TfrmIniFiles& f) {
    caption = f.Caption();
    nodes = TopNodes(f);
    MakeChanges(f);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(caption, "Ini Files");
  EXPECT_EQ(nodes, (Names{"WIN.INI", "SYSTEM.INI", "PROTOCOL.INI"}));
  TTandrelBaseInstall e;
  ExpectedChanges(e);
  e.CompletedIni = true;
  EXPECT_EQ(Saved(p), Saved(e));
  EXPECT_TRUE(p.Modified);
}

TEST_F(IniEditor, CancelEscAndTheCloseBoxLeaveTheProject) {
  p.AddIniFile("SYSTEM.INI")->AddSection("boot")->AddValue("shell")->Value = "x.exe";
  p.CompletedRegistry = true;
  ExpectEveryWayOutLeaves(&TfrmIniFiles::tvFiles, [&](TfrmIniFiles& f) {
    MakeChanges(f);
    Select(f, "SYSTEM.INI/boot");
    SelectRow(f.lvValues, 0);
    seams::QueueMessageAnswer(mrYes);
    Key(f.lvValues.Handle(), VK_DELETE);
    f.ActionListUpdate();
  });
}

TEST_F(IniEditor, NewFilesAndSectionsTakeTheSmallestFreeNumber) {
  p.AddIniFile("new ini file #1.INI");
  TTandrelIniFile* app = p.AddIniFile("App.ini");
  app->AddSection("New Section #2");
  app->AddSection("Settings");
  Names nodes, sections;
  Run([&](TfrmIniFiles& f) {
    Key(f.tvFiles.Handle(), VK_INSERT);
    EXPECT_TRUE(f.tvFiles.IsEditing());
    f.tvFiles.EndEdit(false);
    nodes = TopNodes(f);
    Select(f, "App.ini/Settings");
    f.actNewSectionExecute();  // from a section node: into its file
    f.tvFiles.EndEdit(false);
    sections = ChildTexts(f.tvFiles, Node(f, "App.ini"));
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_EQ(nodes, (Names{"WIN.INI", "SYSTEM.INI", "PROTOCOL.INI", "new ini file #1.INI", "App.ini",
                          "New Ini File #2.ini"}));
  EXPECT_EQ(sections, (Names{"New Section #2", "Settings", "New Section #1"}));
}

TEST_F(IniEditor, TheFixedFilesAgainstATypedWinIni) {
  Names messages, afterDelete;
  bool fixedEdit = true, typedEdit = false, renameFixed = true, deleteFixed = true;
  Run([&](TfrmIniFiles& f) {
    Select(f, "WIN.INI");
    f.ActionListUpdate();
    renameFixed = f.actRenameFile->Enabled();
    deleteFixed = f.actDeleteFile->Enabled();
    Key(f.tvFiles.Handle(), VK_F2);
    fixedEdit = f.tvFiles.IsEditing() || f.tvFiles.EditLabel(Node(f, "WIN.INI")) != nullptr;
    Key(f.tvFiles.Handle(), VK_DELETE);
    f.actDeleteFileExecute();
    EXPECT_TRUE(seams::Messages().empty()) << "the fixed file is neither asked about nor deleted";
    // The same name in small letters is an ordinary file.
    Key(f.tvFiles.Handle(), VK_INSERT);
    ASSERT_TRUE(FinishEdit(f.tvFiles, "win.ini"));
    Key(f.tvFiles.Handle(), VK_F2);
    typedEdit = f.tvFiles.IsEditing();
    f.tvFiles.EndEdit(true);
    seams::QueueMessageAnswer(mrYes);
    Key(f.tvFiles.Handle(), VK_DELETE);
    afterDelete = TopNodes(f);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_FALSE(renameFixed);
  EXPECT_FALSE(deleteFixed);
  EXPECT_FALSE(fixedEdit);
  EXPECT_TRUE(typedEdit);
  EXPECT_EQ(MessageTexts(), (Names{"Are you sure you want to delete this item?"}));
  EXPECT_EQ(afterDelete, (Names{"WIN.INI", "SYSTEM.INI", "PROTOCOL.INI"}));
  TTandrelBaseInstall e;
  e.CompletedIni = true;
  EXPECT_EQ(Saved(p), Saved(e));
}

TEST_F(IniEditor, DeletingAFileTakesItsSectionsAndEntries) {
  TTandrelIniFile* app = p.AddIniFile("App.ini");
  app->AddSection("A")->AddValue("a1");
  app->AddSection("B")->AddValue("b1");
  p.AddIniFile("Other.ini")->AddSection("O")->AddValue("o1");
  bool listFollowsSelection = false;
  Run([&](TfrmIniFiles& f) {
    Select(f, "App.ini/B");
    EXPECT_EQ(Texts(f.lvValues), (Names{"b1"}));
    Select(f, "App.ini");
    seams::QueueMessageAnswer(mrYes);
    Key(f.tvFiles.Handle(), VK_DELETE);
    // Whatever is selected now, the list shows its entries or nothing, never App.ini's.
    TreeNode now = f.tvFiles.Selected();
    if (now && f.tvFiles.Level(now) == 1)
      listFollowsSelection = f.CurrentSection == f.tvFiles.NodeData(now) &&
                             f.lvValues.Count() == f.CurrentSection->Values.Count();
    else
      listFollowsSelection = f.lvValues.Count() == 0 && f.CurrentSection == nullptr && f.CurrentValue == nullptr;
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_TRUE(listFollowsSelection);
  EXPECT_EQ(seams::Messages().size(), 1u);
  TTandrelBaseInstall e;
  e.AddIniFile("Other.ini")->AddSection("O")->AddValue("o1");
  e.CompletedIni = true;
  EXPECT_EQ(Saved(p), Saved(e));
}

TEST_F(IniEditor, TheFirstEntryIsLikeAnyOtherAndAFileNodeEmptiesTheList) {
  TTandrelIniSection* s = p.AddIniFile("App.ini")->AddSection("S");
  s->AddValue("first")->Value = "1";
  s->AddValue("second")->Value = "2";
  std::string caption;
  bool newValueOnFile = true;
  Names rowsOnFile;
  Run([&](TfrmIniFiles& f) {
    Select(f, "App.ini/S");
    SelectRow(f.lvValues, 0);
    Key(f.lvValues.Handle(), VK_F2);
    ASSERT_TRUE(FinishEdit(f.lvValues, "renamed"));
    AnswerValueDialog("edited", &caption);
    Key(f.lvValues.Handle(), VK_RETURN, true);
    EXPECT_EQ(Texts(f.lvValues), (Names{"renamed", "second"}));
    EXPECT_EQ(Texts(f.lvValues, 1), (Names{"edited", "2"}));
    SelectRow(f.lvValues, 0);
    seams::QueueMessageAnswer(mrYes);
    Key(f.lvValues.Handle(), VK_DELETE);
    EXPECT_EQ(f.CurrentValue, nullptr);
    Select(f, "App.ini");
    f.ActionListUpdate();
    newValueOnFile = f.actNewValue->Enabled();
    rowsOnFile = Texts(f.lvValues);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_EQ(caption, "Define INI Value");
  EXPECT_FALSE(newValueOnFile);
  EXPECT_TRUE(rowsOnFile.empty());
  TTandrelBaseInstall e;
  e.AddIniFile("App.ini")->AddSection("S")->AddValue("second")->Value = "2";
  e.CompletedIni = true;
  EXPECT_EQ(Saved(p), Saved(e));
}

}  // namespace
