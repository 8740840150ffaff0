// The shortcuts editor and its shortcut dialog under Wine, checked by the project's saved
// bytes; commands picked from files with and without a product name.
#include "tests/editors/EditorDriving.h"

#include "base/Strings.h"
#include "builder/common/PickFile.h"
#include "builder/editors/SetupIcon.h"
#include "builder/editors/SetupIcons.h"
#include "tests/harness/FormDriver.h"

namespace {

using namespace base::win;
using namespace edtest;
using Names = std::vector<std::string>;

class IconsEditor : public EditorFixture<TfrmIcons, EditIcons> {
protected:
  // The next shortcut dialog gets these fields and leaves with OK (or Cancel).
  struct Fields {
    std::string command, params, description, startIn;
    int window = 0, folder = 0;
  };
  static void AnswerIconDialog(const Fields& in, bool ok = true, Names* startIn = nullptr) {
    seams::WhenShown<TfrmIconProp>([in, ok, startIn](TfrmIconProp& d) {
      if (startIn) *startIn = d.cbStartIn.Items();
      wintest::Type(d.edtCommand.Handle(), in.command);
      wintest::Type(d.edtParameters.Handle(), in.params);
      wintest::Type(d.edtDescription.Handle(), in.description);
      d.cbStartIn.SetText(in.startIn);
      d.rgWindow.SetItemIndex(in.window);
      d.rgFolder.SetItemIndex(in.folder);
      wintest::Click((ok ? d.btnOk : d.btnCancel).Handle());
    });
  }
  static TTandrelIcon* AddIcon(TTandrelBaseInstall& e, const Fields& in, const std::string& source) {
    TTandrelIcon* i = e.Icons.Add();
    i->FileName = in.command;
    i->Params = in.params;
    i->Caption = in.description;
    i->WorkingDir = in.startIn;
    i->DisplayType = static_cast<TDisplayType>(in.window);
    i->GroupType = static_cast<TPMGroupType>(in.folder);
    i->SourceFile = source;
    return i;
  }

  const Fields typed{"C:\\Typed\\App.exe", "/x", "My App", "<WINDIR>", 1, 3};
};

TEST_F(IconsEditor, NewShortcutsAndOk) {
  Names items;
  std::string caption;
  const bool ok = Run([&](TfrmIcons& f) {
    caption = f.Caption();
    AnswerIconDialog(typed);
    Key(f.lvIcons.Handle(), VK_INSERT);
    AnswerIconDialog({"[G]\\Other.exe", "", "Other", "", 0, 0}, false);  // Cancel adds nothing
    f.actNew->Execute();
    items = Texts(f.lvIcons);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(caption, "Program Manager Icons");
  EXPECT_EQ(items, (Names{"My App"}));
  TTandrelBaseInstall e;
  // A command typed by hand is its own source file.
  AddIcon(e, typed, typed.command);
  e.CompletedProgGroup = true;
  EXPECT_EQ(Saved(p), Saved(e));
  EXPECT_TRUE(p.Modified);
}

TEST_F(IconsEditor, CancelEscAndTheCloseBoxLeaveTheProject) {
  AddIcon(p, typed, "C:\\src\\App.exe");
  p.CompletedFiles = true;
  ExpectEveryWayOutLeaves(&TfrmIcons::lvIcons, [&](TfrmIcons& f) {
    f.lvIcons.Select(0);
    AnswerIconDialog({"[G]\\B.exe", "", "Changed", "", 2, 5});
    Key(f.lvIcons.Handle(), VK_RETURN, true);
    AnswerIconDialog({"[G]\\C.exe", "", "New", "", 0, 0});
    f.actNewExecute();
    f.lvIcons.ClearSelection();
    f.lvIcons.Select(0);
    seams::QueueMessageAnswer(mrYes);
    Key(f.lvIcons.Handle(), VK_DELETE);
    f.ActionListUpdate();
  });
}

TEST_F(IconsEditor, PropertiesRenameAndDelete) {
  AddIcon(p, typed, "C:\\src\\App.exe");
  AddIcon(p, {"[G]\\Two.exe", "", "Two", "", 0, 0}, "C:\\src\\Two.exe");
  Names afterEdit, afterRename, afterDelete, messages;
  bool propertiesWithoutSelection = true;
  Run([&](TfrmIcons& f) {
    f.ActionListUpdate();
    propertiesWithoutSelection = f.actProperties->Enabled() || f.actDelete->Enabled();
    f.lvIcons.Select(1);
    AnswerIconDialog({"[G]\\Two.exe", "-q", "Second", "[G]", 2, 5});
    DoubleClick(f.lvIcons, 1);
    afterEdit = Texts(f.lvIcons);
    Key(f.lvIcons.Handle(), VK_F2);
    ASSERT_TRUE(FinishEdit(f.lvIcons, ""));  // an empty caption is taken as it is
    afterRename = Texts(f.lvIcons);
    f.lvIcons.ClearSelection();
    f.lvIcons.Select(0);
    seams::QueueMessageAnswer(mrNo);
    Key(f.lvIcons.Handle(), VK_DELETE);
    seams::QueueMessageAnswer(mrYes);
    f.actDeleteExecute();
    afterDelete = Texts(f.lvIcons);
    EXPECT_EQ(f.CurrentIcon, nullptr);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_FALSE(propertiesWithoutSelection);
  EXPECT_EQ(afterEdit, (Names{"My App", "Second"}));
  EXPECT_EQ(afterRename, (Names{"My App", ""}));
  EXPECT_EQ(afterDelete, (Names{""}));
  EXPECT_EQ(MessageTexts(), (Names{"Remove the selected icon from the installation?",
                                   "Remove the selected icon from the installation?"}));
  TTandrelBaseInstall e;
  AddIcon(e, {"[G]\\Two.exe", "-q", "", "[G]", 2, 5}, "C:\\src\\Two.exe");
  e.CompletedProgGroup = true;
  EXPECT_EQ(Saved(p), Saved(e));
}

TEST_F(IconsEditor, OneShortcutSelectedAtATime) {
  AddIcon(p, typed, "");
  AddIcon(p, typed, "");
  int selected = 0;
  Run([&](TfrmIcons& f) {
    f.lvIcons.SetSelected(0, true);
    f.lvIcons.SetSelected(1, true);
    selected = f.lvIcons.SelCount();
    wintest::Click(f.btnCancel.Handle());
  });
  EXPECT_EQ(selected, 1);
}

TEST(IconDialog, StartInListAndRequiredFields) {
  seams::Reset();
  seams::Arm();
  seams::Watchdog dog{30, "shortcut dialog"};
  TTandrelBaseInstall p;
  p.InstFolders = {"[Program Files]=<INSTALLDIR>", "[Help Files]=<INSTALLDIR>\\Help"};
  Names startIn;
  bool stayed = false;
  seams::WhenShown<TfrmIconProp>([&](TfrmIconProp& d) {
    startIn = d.cbStartIn.Items();
    EXPECT_EQ(d.Caption(), "Icon Properties");
    EXPECT_EQ(d.rgWindow.ItemIndex(), 0);
    EXPECT_EQ(d.rgFolder.ItemIndex(), 0);
    wintest::Click(d.btnOk.Handle());  // no command
    EXPECT_TRUE(wintest::HasFocus(d.edtCommand.Handle()));
    wintest::Type(d.edtCommand.Handle(), "x.exe");
    wintest::Click(d.btnOk.Handle());  // no description
    EXPECT_TRUE(wintest::HasFocus(d.edtDescription.Handle()));
    stayed = d.ModalResult() == mrNone;
    wintest::Click(d.btnCancel.Handle());
  });
  EXPECT_EQ(NewIcon(p), nullptr);
  EXPECT_TRUE(stayed);
  EXPECT_EQ(seams::BeepCount(), 2);
  EXPECT_EQ(p.Icons.Count(), 0);
  EXPECT_EQ(startIn, (Names{"<INSTALLDIR>", "<WINDIR>", "<WINDISK>", "<WINSYSDIR>", "<WINSYSDISK>", "<ProgramFilesDir>",
                            "<CommonFilesDir>", "<FONTDIR>", "<SUPPORTDIR>", "[Program Files]", "[Help Files]"}));
  EXPECT_EQ(seams::PendingScripts(), 0);
  seams::Reset();
}

TEST(IconDialog, DescriptionFromTheVersionBlock) {
  seams::Reset();
  seams::Arm();
  seams::Watchdog dog{30, "shortcut dialog"};
  TTandrelBaseInstall p;
  struct Case {
    std::string file, typed, description;
  } cases[] = {
      {TOOL_SUITE_EXE, "typed", "Tool Suite"},   // replaces what the author typed
      {TOOL_UNNAMED_EXE, "typed", "Tool"},       // no product name: the file's name
      {"C:\\nowhere\\Missing.exe", "typed", "typed"},  // nothing to read: left alone
      {TOOL_PLAIN_EXE, "typed", "typed"},        // no version block: left alone
  };
  for (const Case& c : cases) {
    std::string description;
    seams::WhenShown<TfrmIconProp>([&](TfrmIconProp& d) {
      wintest::Type(d.edtDescription.Handle(), c.typed);
      d.FillDescription(c.file);
      description = d.edtDescription.Text();
      wintest::Click(d.btnCancel.Handle());
    });
    NewIcon(p);
    EXPECT_EQ(description, c.description) << c.file;
  }
  seams::Reset();
}

TEST(IconDialog, CommandPickedFromTheProjectsFiles) {
  seams::Reset();
  seams::Arm();
  seams::Watchdog dog{30, "shortcut dialog"};
  TTandrelBaseInstall p;
  p.Groups.Add()->SetName("Program Files");
  TTandrelFileGroup* group = p.GetGroup(p.Groups.Count() - 1);
  group->AddFile(TOOL_SUITE_EXE);
  group->AddFile(std::string(TOOL_UNNAMED_EXE));
  struct Case {
    int file;
    const char* description;
  } cases[] = {{0, "Tool Suite"}, {1, "Tool"}};
  for (const Case& c : cases) {
    std::string command, startIn, description;
    seams::WhenShown<TfrmIconProp>([&](TfrmIconProp& d) {
      wintest::Type(d.edtDescription.Handle(), "typed by the author");
      seams::WhenShown<TfrmPickFile>([&](TfrmPickFile& pick) {
        pick.tvGroups.Select(pick.tvGroups.FindData(group));
        pick.lvFiles.Select(c.file);
        wintest::Click(pick.btnOk.Handle());
      });
      wintest::Click(d.SpeedButton1.Handle());
      command = d.edtCommand.Text();
      startIn = d.cbStartIn.Text();
      description = d.edtDescription.Text();
      wintest::Click(d.btnOk.Handle());
    });
    TTandrelIcon* icon = NewIcon(p);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(command, "[Program Files]\\Tool.exe");
    EXPECT_EQ(startIn, "[Program Files]");
    EXPECT_EQ(description, c.description);
    EXPECT_EQ(icon->FileName, command);
    EXPECT_EQ(icon->Caption, c.description);
    EXPECT_EQ(icon->SourceFile, group->GetFile(c.file)->FileName);
  }
  // A command typed by hand later keeps the source file picked before.
  TTandrelIcon* icon = p.GetIcon(0);
  seams::WhenShown<TfrmIconProp>([&](TfrmIconProp& d) {
    wintest::Type(d.edtCommand.Handle(), "C:\\Other\\Typed.exe");
    wintest::Click(d.btnOk.Handle());
  });
  EXPECT_TRUE(EditIcon(*icon, p));
  EXPECT_EQ(icon->FileName, "C:\\Other\\Typed.exe");
  EXPECT_EQ(icon->SourceFile, group->GetFile(0)->FileName);
  EXPECT_EQ(seams::PendingScripts(), 0);
  seams::Reset();
}

}  // namespace
