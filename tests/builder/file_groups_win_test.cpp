// The file groups editor under Wine with its real controls and dialogs: OK applies the
// working copy, Cancel, Esc and the close box leave the project's saved bytes alone;
// the file list's texts, renames in place, equally named groups, drags, moves at both
// ends, label edits refused and accepted, the property dialogs and the file picker.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "builder/common/PickFile.h"
#include "builder/editors/SetupComponent.h"
#include "builder/editors/SetupFile.h"
#include "builder/editors/SetupGroup.h"
#include "builder/editors/SetupGroupFiles.h"
#include "tests/harness/FormDriver.h"
#include "tests/harness/WindowPixels.h"

using namespace base::win;

namespace {

class FileGroups : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
  }
  void TearDown() override { seams::Reset(); }
  seams::Watchdog dog{60, "file groups editor test"};

  // A file of the project without touching the disk.
  static TTandrelFile* AddFileEntry(TTandrelFileGroup& g, const std::string& path, int32_t size, double stamp = 0) {
    TTandrelFile* f = g.Files.Add();
    f->FileName = path;
    f->Size = size;
    f->Timestamp = stamp;
    return f;
  }
  static TreeNode NodeOf(const TreeView& tv, const std::string& text) {
    for (TreeNode n : tv.AllNodes())
      if (tv.NodeText(n) == text) return n;
    return nullptr;
  }
  static void SelectGroup(TfrmGroup& f, int index) {
    f.tvGroups.Focus();
    f.tvGroups.Select(f.tvGroups.Children(nullptr).at(static_cast<size_t>(index)));
  }
  static void SelectOnly(const ListView& lv, std::vector<int> items) {
    lv.Focus();
    lv.ClearSelection();
    for (int i : items) lv.SetSelected(i, true);
  }
};

enum class Leave { CancelButton, Escape, CloseBox };

TEST_F(FileGroups, LeavingWithoutOkKeepsTheSavedBytesWhateverWasDone) {
  for (Leave leave : {Leave::CancelButton, Leave::Escape, Leave::CloseBox}) {
    TTandrelBaseInstall project;
    AddFileEntry(*project.Groups[0], "C:\\App\\run.exe", 1000);
    AddFileEntry(*project.Groups[0], "C:\\App\\read.txt", 10);
    std::vector<uint8_t> before = project.SaveToBytes();
    seams::QueueMessageAnswer(mrYes);  // the group's deletion
    seams::WhenShown<TfrmGroup>([leave](TfrmGroup& f) {
      SelectGroup(f, 0);
      HWND edit = f.tvGroups.EditLabel(f.tvGroups.Selected());
      SetWindowTextA(edit, "Renamed");
      f.tvGroups.EndEdit(false);
      SelectOnly(f.lvFiles, {0});
      f.actMoveDownExecute();
      SelectGroup(f, 2);
      f.actDeleteExecute();
      f.pcMain.PickTab(TfrmGroup::tsInstallType);
      f.pcMain.PickTab(TfrmGroup::tsGroup);
      switch (leave) {
        case Leave::CancelButton: wintest::Click(f.Item(IDC_FG_btnCancel)); break;
        case Leave::Escape: wintest::PostKey(VK_ESCAPE, f.tvGroups.Handle()); break;
        case Leave::CloseBox: wintest::CloseByTitleBar(f.Handle()); break;
      }
    });
    EXPECT_FALSE(EditFileGroups(project));
    EXPECT_EQ(project.SaveToBytes(), before) << "leave " << static_cast<int>(leave);
    EXPECT_FALSE(project.Modified);
  }
}

TEST_F(FileGroups, OkAppliesRenamesInPlaceAndKeepsEveryReference) {
  TTandrelBaseInstall project;
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    EXPECT_EQ(f.pcMain.ActivePage(), TfrmGroup::tsGroup) << "the editor opens on the groups";
    EXPECT_EQ(f.tvGroups.Selected(), nullptr);
    EXPECT_EQ(f.lvFiles.Count(), 0);
    SelectGroup(f, 0);
    wintest::PressUntil(f.tvGroups.Handle(), VK_F2, [&f] { return f.tvGroups.EditControl() != nullptr; });
    HWND edit = f.tvGroups.EditControl();
    ASSERT_NE(edit, nullptr);
    f.ActionListUpdate();
    EXPECT_FALSE(f.actNewGroup->Enabled()) << "every action waits for the edit";
    SetWindowTextA(edit, "Main");
    wintest::PostKey(VK_RETURN, edit);
    wintest::PumpUntil([&f] { return !f.tvGroups.IsEditing(); });
    wintest::Pump(30);
    EXPECT_EQ(f.ModalResult(), mrNone) << "Enter ended the edit, not the editor";
    f.ActionListUpdate();
    wintest::Click(f.Item(IDC_FG_btnOk));
  });
  EXPECT_TRUE(EditFileGroups(project));
  EXPECT_EQ(project.Groups[0]->Name(), "Main");
  EXPECT_EQ(project.InstFolders[0], "[Main]=<INSTALLDIR>") << "the line keeps its place and folder";
  EXPECT_EQ(project.Components[0]->Groups, (TStrings{"Main"}));
  EXPECT_TRUE(project.CompletedFiles);
  EXPECT_TRUE(project.Modified);
}

TEST_F(FileGroups, FileRowsShowSizesAndAnEmptyStampForAMissingFile) {
  TTandrelBaseInstall project;
  AddFileEntry(*project.Groups[0], "C:\\App\\big.bin", 1048576, 45000.5);
  AddFileEntry(*project.Groups[0], "C:\\App\\bigger.bin", 2000000);
  TTandrelFile* reg = AddFileEntry(*project.Groups[0], "C:\\App\\server.dll", 12345);
  reg->SelfRegister = true;
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    SelectGroup(f, 0);
    ASSERT_EQ(f.lvFiles.Count(), 3);
    EXPECT_EQ(f.lvFiles.ItemText(0, 0), "big.bin");
    EXPECT_EQ(f.lvFiles.ItemText(0, 1), "C:\\App\\");
    EXPECT_EQ(f.lvFiles.ItemText(0, 2), "1,024KB");
    EXPECT_FALSE(f.lvFiles.ItemText(0, 3).empty());
    EXPECT_EQ(f.lvFiles.ItemText(1, 2), "2MB");
    EXPECT_EQ(f.lvFiles.ItemText(1, 3), "") << "no time stamp";
    EXPECT_EQ(f.lvFiles.StateImage(2), 3) << "the self-registration mark";
    EXPECT_EQ(f.lvFiles.StateImage(0), 0);
    wintest::Click(f.Item(IDC_FG_btnCancel));
  });
  EditFileGroups(project);
}

TEST_F(FileGroups, ALongGroupShowsEveryFileAndTypingFindsOne) {
  TTandrelBaseInstall project;
  for (int i = 0; i < 3000; ++i)
    AddFileEntry(*project.Groups[0], "C:\\Long\\file" + std::to_string(i) + ".txt", 1000 + i);
  AddFileEntry(*project.Groups[0], "C:\\Long\\zeta.dll", 2048)->SelfRegister = true;
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    SelectGroup(f, 0);
    TTandrelFile* last = f.WorkingCopy->Groups[0]->Files[3000];
    ASSERT_EQ(f.lvFiles.Count(), 3001);
    EXPECT_EQ(f.lvFiles.ItemText(1234, 0), "file1234.txt");
    EXPECT_EQ(f.lvFiles.ItemText(3000, 0), "zeta.dll");
    EXPECT_EQ(f.lvFiles.ItemText(3000, 1), "C:\\Long\\");
    EXPECT_EQ(f.lvFiles.ItemText(3000, 2), "2KB");
    EXPECT_EQ(f.lvFiles.StateImage(3000), 3);
    EXPECT_EQ(f.lvFiles.ItemData(3000), last);
    EXPECT_EQ(f.lvFiles.IndexOfData(last), 3000);
    EXPECT_EQ(f.lvFiles.ItemData(3001), nullptr) << "below the last row";
    // Typing a file's first letter selects it, and it becomes the current file.
    f.lvFiles.Focus();
    PostMessageA(f.lvFiles.Handle(), WM_CHAR, 'z', 1);
    wintest::Pump(50);
    EXPECT_EQ(f.lvFiles.Selected(), 3000);
    EXPECT_EQ(f.CurrentFile, last);
    // Another group empties the list; back again it shows the same rows.
    SelectGroup(f, 1);
    EXPECT_EQ(f.lvFiles.Count(), 0);
    EXPECT_EQ(f.lvFiles.ItemText(0, 0), "");
    SelectGroup(f, 0);
    EXPECT_EQ(f.lvFiles.Count(), 3001);
    wintest::Click(f.Item(IDC_FG_btnCancel));
  });
  EditFileGroups(project);
}

TEST_F(FileGroups, DeletingTheSelectedOfTwoEquallyNamedGroupsFreesThatOne) {
  TTandrelBaseInstall project;
  TTandrelFileGroup* twin = project.Groups.Add();
  twin->Owner = &project;
  twin->SetName("Examples");
  AddFileEntry(*project.Groups[2], "C:\\first\\keep.txt", 1);
  AddFileEntry(*twin, "C:\\second\\drop.txt", 1);
  seams::QueueMessageAnswer(mrYes);
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    SelectGroup(f, 3);
    EXPECT_EQ(f.CurrentGroup, f.WorkingCopy->Groups[3]);
    f.actDeleteExecute();
    EXPECT_EQ(f.tvGroups.Count(), 3);
    wintest::Click(f.Item(IDC_FG_btnOk));
  });
  ASSERT_TRUE(EditFileGroups(project));
  ASSERT_EQ(project.Groups.Count(), 3);
  ASSERT_EQ(project.Groups[2]->Files.Count(), 1);
  EXPECT_EQ(project.Groups[2]->Files[0]->FileName, "C:\\first\\keep.txt");
  ASSERT_EQ(seams::Messages().size(), 1u);
  EXPECT_EQ(seams::Messages()[0].Text, "Remove the group 'Examples' from the installation?");
}

TEST_F(FileGroups, DeletedFilesAreNeverTheCurrentFile) {
  TTandrelBaseInstall project;
  for (const char* n : {"C:\\x\\1.txt", "C:\\x\\2.txt", "C:\\x\\3.txt"}) AddFileEntry(*project.Groups[0], n, 1);
  seams::QueueMessageAnswer(mrYes);
  seams::QueueMessageAnswer(mrYes);
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    SelectGroup(f, 0);
    SelectOnly(f.lvFiles, {0, 2});
    ASSERT_NE(f.CurrentFile, nullptr);
    f.actDeleteExecute();
    ASSERT_EQ(f.lvFiles.Count(), 1);
    EXPECT_EQ(f.CurrentFile, nullptr) << "nothing is selected any more";
    SelectOnly(f.lvFiles, {0});
    f.actDeleteExecute();
    EXPECT_EQ(f.CurrentFile, nullptr);
    EXPECT_EQ(f.lvFiles.Count(), 0);
    wintest::Click(f.Item(IDC_FG_btnOk));
  });
  ASSERT_TRUE(EditFileGroups(project));
  EXPECT_EQ(project.Groups[0]->Files.Count(), 0);
  EXPECT_EQ(seams::Messages().at(0).Text, "Remove the selected files from the installation?");
}

TEST_F(FileGroups, DraggedFilesMoveExceptTheOneTheTargetHolds) {
  TTandrelBaseInstall project;
  AddFileEntry(*project.Groups[0], "C:\\a\\same.txt", 1);
  AddFileEntry(*project.Groups[0], "C:\\a\\moved.txt", 2);
  AddFileEntry(*project.Groups[0], "C:\\a\\kept.txt", 3);
  // The same source path in other letters: the target already holds that file.
  AddFileEntry(*project.Groups[1], "C:\\A\\SAME.TXT", 4);
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    SelectGroup(f, 0);
    SelectOnly(f.lvFiles, {0, 1});
    f.CurrentFile = static_cast<TTandrelFile*>(f.lvFiles.ItemData(1));
    TreeNode current = f.tvGroups.Selected();
    TreeNode help = f.tvGroups.Children(nullptr)[1];
    f.DragDrop.Start(f.lvFiles.Handle());
    EXPECT_FALSE(f.DragDrop.MoveTo(f.tvGroups.Handle(), f.tvGroups.NodeCenter(current))) << "its own group";
    EXPECT_TRUE(f.DragDrop.MoveTo(f.tvGroups.Handle(), f.tvGroups.NodeCenter(help)));
    f.DragDrop.DropOn(f.tvGroups.Handle(), f.tvGroups.NodeCenter(help));
    ASSERT_EQ(f.lvFiles.Count(), 2);
    EXPECT_EQ(f.lvFiles.ItemText(0), "same.txt") << "the target holds that file";
    EXPECT_EQ(f.lvFiles.ItemText(1), "kept.txt");
    EXPECT_EQ(f.tvGroups.Selected(), current);
    EXPECT_NE(f.CurrentFile, nullptr);
    if (f.CurrentFile) {
      EXPECT_EQ(f.CurrentFile->FileName, "C:\\a\\same.txt") << "never the moved file";
    }
    // Inside the list: two selected files are refused; a drop below the last item does nothing.
    SelectOnly(f.lvFiles, {0, 1});
    f.DragDrop.Start(f.lvFiles.Handle());
    EXPECT_FALSE(f.DragDrop.MoveTo(f.lvFiles.Handle(), f.lvFiles.ItemCenter(0))) << "two selected";
    f.DragDrop.Cancel();
    SelectOnly(f.lvFiles, {0});
    RECT list;
    GetClientRect(f.lvFiles.Handle(), &list);
    const POINT below{f.lvFiles.ItemCenter(1).x, list.bottom - 3};
    ASSERT_EQ(f.lvFiles.ItemAt(below), -1);
    f.DragDrop.Start(f.lvFiles.Handle());
    f.DragDrop.DropOn(f.lvFiles.Handle(), below);
    EXPECT_EQ(f.lvFiles.ItemText(0), "same.txt") << "no item there";
    EXPECT_EQ(f.lvFiles.ItemText(1), "kept.txt");
    wintest::Click(f.Item(IDC_FG_btnOk));
  });
  ASSERT_TRUE(EditFileGroups(project));
  ASSERT_EQ(project.Groups[0]->Files.Count(), 2);
  EXPECT_EQ(project.Groups[0]->Files[0]->FileName, "C:\\a\\same.txt");
  EXPECT_EQ(project.Groups[0]->Files[1]->FileName, "C:\\a\\kept.txt");
  ASSERT_EQ(project.Groups[1]->Files.Count(), 2);
  EXPECT_EQ(project.Groups[1]->Files[1]->FileName, "C:\\a\\moved.txt");
}

TEST_F(FileGroups, MovesAreDisabledAtBothEndsAndReorderInTheMiddle) {
  TTandrelBaseInstall project;
  for (const char* n : {"C:\\x\\1.txt", "C:\\x\\2.txt", "C:\\x\\3.txt"}) AddFileEntry(*project.Groups[0], n, 1);
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    SelectGroup(f, 0);
    f.ActionListUpdate();
    EXPECT_FALSE(f.actMoveUp->Enabled()) << "the first group";
    EXPECT_TRUE(f.actMoveDown->Enabled());
    SelectGroup(f, 2);
    f.ActionListUpdate();
    EXPECT_TRUE(f.actMoveUp->Enabled());
    EXPECT_FALSE(f.actMoveDown->Enabled()) << "the last group";
    // The first group dragged onto the third: second, third, first.
    SelectGroup(f, 0);
    TreeNode third = f.tvGroups.Children(nullptr)[2];
    f.DragDrop.Start(f.tvGroups.Handle());
    f.DragDrop.DropOn(f.tvGroups.Handle(), f.tvGroups.NodeCenter(third));
    EXPECT_EQ(f.WorkingCopy->Groups[2]->Name(), "Program Files");
    EXPECT_EQ(f.tvGroups.NodeText(third), "Program Files");
    EXPECT_EQ(f.tvGroups.Selected(), third);
    EXPECT_EQ(f.CurrentGroup, f.WorkingCopy->Groups[2]);
    // Files: the last cannot go down; the first goes down one place.
    SelectOnly(f.lvFiles, {2});
    f.ActionListUpdate();
    EXPECT_FALSE(f.actMoveDown->Enabled());
    EXPECT_TRUE(f.actMoveUp->Enabled());
    SelectOnly(f.lvFiles, {0});
    f.ActionListUpdate();
    EXPECT_FALSE(f.actMoveUp->Enabled());
    f.actMoveDownExecute();
    EXPECT_EQ(f.lvFiles.ItemText(0), "2.txt");
    EXPECT_EQ(f.lvFiles.ItemText(1), "1.txt");
    EXPECT_EQ(f.lvFiles.Selected(), 1);
    EXPECT_EQ(f.CurrentFile, f.CurrentGroup->Files[1]);
    wintest::Click(f.Item(IDC_FG_btnOk));
  });
  ASSERT_TRUE(EditFileGroups(project));
  EXPECT_EQ(project.Groups[0]->Name(), "Help Files");
  EXPECT_EQ(project.Groups[2]->Files[0]->FileName, "C:\\x\\2.txt");
}

TEST_F(FileGroups, SetupTypeLabelsAreRefusedComponentLabelsRenameEverywhere) {
  TTandrelBaseInstall project;
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    f.pcMain.PickTab(TfrmGroup::tsInstallType);
    TreeView& tv = f.tvInstallTypes;
    TreeNode typical = NodeOf(tv, "Typical");
    ASSERT_NE(typical, nullptr);
    tv.Focus();
    tv.Select(typical);
    EXPECT_EQ(tv.EditLabel(typical), nullptr) << "setup types keep their names";
    f.ActionListUpdate();
    EXPECT_FALSE(f.actInstallTypeDelete->Enabled());
    EXPECT_FALSE(f.actInstallTypeProperties->Enabled());
    tv.Expand(typical);
    TreeNode app = tv.FirstChild(typical);
    tv.Select(app);
    HWND edit = tv.EditLabel(app);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Core");
    tv.EndEdit(false);
    EXPECT_EQ(f.lvComponents.ItemText(0), "Core");
    EXPECT_EQ(tv.NodeText(tv.FirstChild(NodeOf(tv, "Compact"))), "Core");
    wintest::Click(f.Item(IDC_FG_btnOk));
  });
  ASSERT_TRUE(EditFileGroups(project));
  EXPECT_EQ(project.Components[0]->Name(), "Core");
  EXPECT_EQ(project.InstallTypes[1]->Components[0], "Core");
}

TEST_F(FileGroups, DeletingTheLastComponentNodeLeavesNoCurrentComponent) {
  TTandrelBaseInstall project;
  while (project.Components.Count() > 1) project.Components.Delete(1);
  seams::QueueMessageAnswer(mrYes);
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    f.pcMain.PickTab(TfrmGroup::tsComponent);
    f.tvComponents.Focus();
    f.tvComponents.Select(f.tvComponents.FirstNode());
    EXPECT_NE(f.CurrentComponent, nullptr);
    f.actDeleteComponentExecute();
    EXPECT_EQ(f.tvComponents.Count(), 0);
    EXPECT_EQ(f.CurrentComponent, nullptr);
    wintest::Click(f.Item(IDC_FG_btnOk));
  });
  ASSERT_TRUE(EditFileGroups(project));
  EXPECT_EQ(project.Components.Count(), 0);
  EXPECT_EQ(project.InstallTypes[0]->Components, (TStrings{"Help and Tutorial Files", "Example Files"}));
}

TEST_F(FileGroups, GroupDialogPlatformsAndTheInstallDirectoryList) {
  TTandrelBaseInstall project;
  project.Groups[0]->UpdatePlatforms = 15;
  std::vector<std::string> choices;
  seams::WhenShown<TfrmGroupProperties>([&](TfrmGroupProperties& d) {
    EXPECT_TRUE(d.rbSpecific.Checked());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(d.clbPlatform.Checked(i)) << i;
    choices = d.cbDestination.Items();
    wintest::Click(d.Item(IDC_GP_btnOk));
  });
  ASSERT_TRUE(EditFileGroup(project, 0));
  EXPECT_EQ(project.Groups[0]->UpdatePlatforms, 15) << "not widened to every system";
  ASSERT_EQ(choices.size(), 11u);
  EXPECT_EQ(choices[0], "<INSTALLDIR>");
  EXPECT_EQ(choices[8], "<SUPPORTDIR>");
  EXPECT_EQ(choices[9], "[Help Files]");
  EXPECT_EQ(choices[10], "[Examples]");

  // A new group: the defaults, an empty name beeps, then "Data" goes in.
  seams::WhenShown<TfrmGroupProperties>([](TfrmGroupProperties& d) {
    EXPECT_EQ(d.cbDestination.Text(), "<INSTALLDIR>");
    EXPECT_EQ(d.rgUpdateMethod.ItemIndex(), 2);
    EXPECT_TRUE(d.rbAll.Checked());
    wintest::Click(d.Item(IDC_GP_btnOk));
    EXPECT_EQ(seams::BeepCount(), 1);
    EXPECT_EQ(d.ModalResult(), mrNone);
    wintest::Type(d.edtName.Handle(), "Data");
    wintest::Click(d.rbSpecific.Handle());
    wintest::Click(d.rbAll.Handle());
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(d.clbPlatform.Checked(i));
    wintest::Click(d.Item(IDC_GP_btnOk));
  });
  ASSERT_TRUE(NewFileGroup(project));
  EXPECT_EQ(project.Groups[3]->Name(), "Data");
  EXPECT_EQ(project.InstFolders.back(), "[Data]=<INSTALLDIR>");
  EXPECT_EQ(project.Groups[3]->UpdatePlatforms, 31);
}

TEST_F(FileGroups, AnUntouchedComponentDescriptionKeepsItsBytes) {
  const struct {
    const char* stored;
    const char* typed;  // nullptr: the description is not touched
    const char* after;
    const char* why;
  } cases[] = {
      {"One\nTwo", nullptr, "One\nTwo", "a lone line feed stays"},
      {"One\r\nTwo\n", nullptr, "One\r\nTwo\n", "mixed breaks stay"},
      {"Tabs\tand\rreturns", nullptr, "Tabs\tand\rreturns", "a lone return stays"},
      {"One\nTwo", "Typed anew", "Typed anew", "what is typed is stored"},
  };
  for (const auto& c : cases) {
    TTandrelBaseInstall project;
    TTandrelComponent* component = project.Components[0];
    component->Description = c.stored;
    seams::WhenShown<TfrmComponentProperties>([&](TfrmComponentProperties& d) {
      wintest::Type(d.edtName.Handle(), "Renamed");
      if (c.typed) wintest::Type(d.memoDescription.Handle(), c.typed);
      wintest::Click(d.Item(IDC_CP_btnOk));
    });
    ASSERT_TRUE(EditComponent(project, 0)) << c.why;
    EXPECT_EQ(component->Name(), "Renamed") << c.why;
    EXPECT_EQ(component->Description, c.after) << c.why;
  }
}

TEST_F(FileGroups, FileDialogShowsTheStoredFacts) {
  TTandrelFile file;
  file.FileName = "C:\\App\\lib\\server.dll";
  file.Size = 12345;
  file.Timestamp = 45000.75;
  seams::WhenShown<TfrmFileProperties>([](TfrmFileProperties& d) {
    EXPECT_EQ(d.lblCaption.Caption(), "server.dll");
    EXPECT_EQ(d.lblVersion.Caption(), "Not Available");
    EXPECT_EQ(d.lblSize.Caption(), "12KB (12,345 bytes)");
    EXPECT_EQ(d.lblModified.Caption(), "15 March 2023  18:00");
    EXPECT_FALSE(d.cbSelfRegister.Checked());
    wintest::Click(d.cbSelfRegister.Handle());
    wintest::Click(d.Item(IDC_FP_btnOk));
  });
  EXPECT_TRUE(ShowFileProperties(file));
  EXPECT_TRUE(file.SelfRegister);
}

TEST_F(FileGroups, PickerWantsAFileBeforeOk) {
  TTandrelBaseInstall project;
  AddFileEntry(*project.Groups[1], "C:\\Help\\app.hlp", 3000);
  seams::WhenShown<TfrmPickFile>([](TfrmPickFile& d) {
    EXPECT_FALSE(d.btnOk.Enabled());
    d.btnOkClick();
    EXPECT_EQ(seams::BeepCount(), 1);
    d.tvGroups.Select(d.tvGroups.Children(nullptr)[1]);
    ASSERT_EQ(d.lvFiles.Count(), 1);
    EXPECT_EQ(d.lvFiles.ItemText(0, 2), "3KB");
    d.lvFiles.Select(0);
    EXPECT_TRUE(d.btnOk.Enabled());
    d.tvGroups.Select(d.tvGroups.Children(nullptr)[0]);
    EXPECT_FALSE(d.btnOk.Enabled()) << "another group drops the choice";
    d.tvGroups.Select(d.tvGroups.Children(nullptr)[1]);
    d.lvFiles.Select(0);
    wintest::Click(d.btnOk.Handle());
  });
  std::string group = "unchanged";
  TTandrelFile* f = PickProjectFile(project, group);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->FileName, "C:\\Help\\app.hlp");
  EXPECT_EQ(group, "Help Files");
}

// What the window shows at its size: every button inside the client area below the tabs,
// and on each page the two views side by side down to the page's foot, the right one to
// its right edge.
void ExpectLaidOut(const TfrmGroup& f, const std::string& when) {
  RECT client{};
  GetClientRect(f.Handle(), &client);
  auto inForm = [&](int id) {
    RECT r{};
    GetWindowRect(f.Item(id), &r);
    MapWindowPoints(HWND_DESKTOP, f.Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const RECT tabs = inForm(IDC_FG_pcMain);
  for (int id : {IDC_FG_btnOk, IDC_FG_btnCancel, IDC_FG_btnHelp}) {
    const RECT b = inForm(id);
    EXPECT_TRUE(b.left >= 0 && b.top >= tabs.bottom && b.right <= client.right && b.bottom <= client.bottom)
        << when << ": button " << id << " at " << b.left << "," << b.top << "-" << b.right << "," << b.bottom
        << " in " << client.right << "x" << client.bottom;
  }
  EXPECT_GE(tabs.right, client.right - 12) << when;
  // On the screen the buttons show: borders and captions, not the form's plain ground
  // painted over them.
  const RECT ok = inForm(IDC_FG_btnOk);
  const wintest::WindowPixels shot(f.Handle(), "file_groups_" + when);
  const COLORREF ground = shot.At(ok.left - 2, (ok.top + ok.bottom) / 2);
  int drawn = 0;
  for (int y = ok.top; y < ok.bottom; ++y)
    for (int x = ok.left; x < ok.right; ++x)
      if (shot.At(x, y) != ground) ++drawn;
  EXPECT_GT(drawn, 40) << when << ": the OK button is not drawn";
  const int views[3][2] = {{IDC_FG_tvGroups, IDC_FG_lvFiles},
                           {IDC_FG_tvComponents, IDC_FG_lvGroups},
                           {IDC_FG_tvInstallTypes, IDC_FG_lvComponents}};
  for (int page = 0; page < 3; ++page) {
    HWND holder = f.pcMain.Page(page);
    RECT area{}, left{}, right{};
    GetClientRect(holder, &area);
    GetWindowRect(GetDlgItem(holder, views[page][0]), &left);
    GetWindowRect(GetDlgItem(holder, views[page][1]), &right);
    MapWindowPoints(HWND_DESKTOP, holder, reinterpret_cast<POINT*>(&left), 2);
    MapWindowPoints(HWND_DESKTOP, holder, reinterpret_cast<POINT*>(&right), 2);
    EXPECT_TRUE(right.right <= area.right && right.right >= area.right - 6) << when << " page " << page;
    EXPECT_TRUE(right.bottom <= area.bottom && right.bottom >= area.bottom - 8) << when << " page " << page;
    EXPECT_EQ(left.bottom, right.bottom) << when << " page " << page;
    EXPECT_GE(left.right - left.left, 30) << when << " page " << page;
    EXPECT_GE(right.right - right.left, 30) << when << " page " << page;
    EXPECT_LT(left.right, right.left) << when << " page " << page;
  }
}

TEST_F(FileGroups, TheControlsFollowTheWindowAtEverySizeDownToTheLeast) {
  TTandrelBaseInstall project;
  SIZE restored{};
  seams::WhenShown<TfrmGroup>([&](TfrmGroup& f) {
    ExpectLaidOut(f, "as opened");
    RECT opened{};
    GetWindowRect(f.Handle(), &opened);
    struct Case {
      int width, height;
      const char* what;
    } cases[] = {{900, 640, "larger"}, {120, 90, "below the least size"}, {560, 420, "smaller"}};
    for (const Case& c : cases) {
      SetWindowPos(f.Handle(), nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
      wintest::Pump(30);
      ExpectLaidOut(f, c.what);
    }
    // The least size holds the window up: no smaller than asked for in the first place.
    RECT now{};
    GetWindowRect(f.Handle(), &now);
    restored = SIZE{now.right - now.left, now.bottom - now.top};
    EXPECT_EQ(restored.cx, 560);
    EXPECT_EQ(restored.cy, 420);
    SetWindowPos(f.Handle(), nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(f.Handle(), &now);
    EXPECT_GT(now.right - now.left, 120);
    EXPECT_GT(now.bottom - now.top, 90);
    SetWindowPos(f.Handle(), nullptr, 0, 0, restored.cx, restored.cy, SWP_NOMOVE | SWP_NOZORDER);
    wintest::Pump(30);
    wintest::Click(f.Item(IDC_FG_btnCancel));
  });
  EXPECT_FALSE(EditFileGroups(project));
  // Opened again at the size it was left at, laid out for it.
  seams::WhenShown<TfrmGroup>([&](TfrmGroup& f) {
    RECT now{};
    GetWindowRect(f.Handle(), &now);
    EXPECT_EQ(now.right - now.left, restored.cx);
    EXPECT_EQ(now.bottom - now.top, restored.cy);
    ExpectLaidOut(f, "reopened");
    wintest::Click(f.Item(IDC_FG_btnCancel));
  });
  EXPECT_FALSE(EditFileGroups(project));
}

TEST_F(FileGroups, TheStatusHintOfTheEditorGoesWhenItCloses) {
  TTandrelBaseInstall project;
  std::vector<std::string> status;
  App().SetOnHint([&](const std::string& hint) { status.push_back(hint); });
  seams::WhenShown<TfrmGroup>([&](TfrmGroup& f) {
    SelectGroup(f, 0);
    App().Idle();  // the idle update gives the actions their hints
    const RECT button = f.tbGroup.ButtonRect(4);  // the mouse over the Delete button
    f.tbGroup.Send(WM_MOUSEMOVE, 0, MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2));
    EXPECT_EQ(App().Hint(), "Delete Group");
    wintest::Click(f.Item(IDC_FG_btnCancel));
  });
  EXPECT_FALSE(EditFileGroups(project));
  EXPECT_EQ(App().Hint(), "");
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back(), "");
  App().SetOnHint(nullptr);
}

TEST_F(FileGroups, BothViewsOfAPageOpenItsPopupByMouseAndKeys) {
  TTandrelBaseInstall project;
  seams::WhenShown<TfrmGroup>([](TfrmGroup& f) {
    SelectGroup(f, 0);
    for (HWND view : {f.tvGroups.Handle(), f.lvFiles.Handle()})
      for (auto how : {wintest::PopupOpening::RightClick, wintest::PopupOpening::ShiftF10,
                       wintest::PopupOpening::MenuKey}) {
        const wintest::PopupSeen seen = wintest::OpenPopupMenu(view, how);
        EXPECT_TRUE(seen.Opened) << (view == f.tvGroups.Handle() ? "tree " : "list ") << static_cast<int>(how);
        EXPECT_EQ(seen.Items,
                  (std::vector<std::string>{"&New...", "&Delete", "&Add Files...", "-", "&Properties..."}));
      }
    wintest::Click(f.Item(IDC_FG_btnCancel));
  });
  EXPECT_FALSE(EditFileGroups(project));
}

}  // namespace
