// The editing pattern every section editor follows, on a small editor of file groups:
// OK assigns the working copy back and marks the section, Cancel, Esc and the close box
// leave the project's bytes as they were, label edits take the default and cancel roles
// away from OK and Cancel, the keys reach their handlers, and the views are emptied
// (with the clearing flag) while the objects they point to still live.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/win/Application.h"
#include "base/win/TestSeams.h"
#include "builder/editors/SectionEditor.h"
#include "tests/builder/fixtures/section_probe.rh"
#include "tests/harness/FormDriver.h"

using namespace base::win;

namespace {

struct DestroyRecord {
  bool clearing = false, workingCopyAlive = false;
};
std::vector<DestroyRecord> g_changesWhileDestroying;
int g_prepared = 0;
bool g_refuseOk = false;  // the editor's preparation refuses the first OK

class ProbeEditor : public SectionEditor {
public:
  ProbeEditor()
      : SectionEditor(IDD_SECTION_PROBE, {IDC_SP_btnOk, IDC_SP_btnCancel, IDC_SP_btnHelp, 8, "frmProbeSection"}) {
    Create();
  }
  ~ProbeEditor() override { FormDestroy(); }

  TreeView tvGroups{*this, IDC_SP_tvGroups};
  ListView lvFiles{*this, IDC_SP_lvFiles};
  std::vector<std::string> keys;
  int updates = 0;
  bool destroying = false;

  void Fill() {
    EmptyView(tvGroups);
    FlagScope filling(Filling);
    for (TTandrelFileGroup* g : WorkingCopy->Groups) tvGroups.Add(nullptr, g->Name(), g, 0, 1);
  }

protected:
  void FormCreate() override {
    SectionEditor::FormCreate();
    AddView(tvGroups);
    AddView(lvFiles);
    lvFiles.AddColumn("Name", 100);
    // Every node's removal is announced; the one of the form's end is recorded.
    OnNotify(IDC_SP_tvGroups, TVN_DELETEITEMA, [this](NMHDR*) -> LRESULT {
      if (destroying) g_changesWhileDestroying.push_back({Clearing, WorkingCopy != nullptr});
      return 0;
    });
    tvGroups.OnEdited([this](TreeNode n, std::string& text) {
      static_cast<TTandrelFileGroup*>(tvGroups.NodeData(n))->SetName(text);
    });
    BindKeys(tvGroups, {[this] { keys.push_back("ins"); }, [this] { keys.push_back("del"); },
                        [this] { keys.push_back("props"); }, true});
    BindKeys(lvFiles, {[this] { keys.push_back("list ins"); }, {}, {}, false});
  }
  void FormShow() override {
    SectionEditor::FormShow();
    Fill();
  }
  bool PrepareOk() override {
    ++g_prepared;
    if (!g_refuseOk) return true;
    g_refuseOk = false;
    return false;
  }
  void UpdateActions() override { ++updates; }
};

class SectionEditorTest : public ::testing::Test {
protected:
  void SetUp() override {
    seams::Reset();
    seams::Arm();
    g_changesWhileDestroying.clear();
    g_prepared = 0;
    g_refuseOk = false;
  }
  void TearDown() override { seams::Reset(); }
  seams::Watchdog dog{40, "section editor test"};
};

// The ways a user leaves an editor without OK.
enum class Leave { CancelButton, Escape, CloseBox };

TEST_F(SectionEditorTest, LeavingWithoutOkKeepsTheProjectBytes) {
  for (Leave leave : {Leave::CancelButton, Leave::Escape, Leave::CloseBox}) {
    TTandrelBaseInstall project;
    std::vector<uint8_t> before = project.SaveToBytes();
    seams::WhenShown<ProbeEditor>([leave](ProbeEditor& f) {
      TreeNode n = f.tvGroups.FirstNode();
      f.tvGroups.Select(n);
      HWND edit = f.tvGroups.EditLabel(n);
      SetWindowTextA(edit, "Changed");
      f.tvGroups.EndEdit(false);
      f.WorkingCopy->Groups[1]->Files.Add()->FileName = "C:\\x.txt";
      f.ActionListUpdate();
      switch (leave) {
        case Leave::CancelButton: wintest::Click(f.Item(IDC_SP_btnCancel)); break;
        case Leave::Escape: wintest::PostKey(VK_ESCAPE, f.tvGroups.Handle()); break;
        case Leave::CloseBox: wintest::CloseByTitleBar(f.Handle()); break;
      }
    });
    EXPECT_FALSE(EditSection<ProbeEditor>(project, &TTandrelBaseInstall::CompletedFiles));
    EXPECT_EQ(project.SaveToBytes(), before) << "leave " << static_cast<int>(leave);
    EXPECT_FALSE(project.CompletedFiles);
    EXPECT_FALSE(project.Modified);
    EXPECT_EQ(g_prepared, 0);
  }
}

TEST_F(SectionEditorTest, OkAssignsTheWorkingCopyAndMarksTheSection) {
  TTandrelBaseInstall project;
  seams::WhenShown<ProbeEditor>([](ProbeEditor& f) {
    TreeNode n = f.tvGroups.FirstNode();
    HWND edit = f.tvGroups.EditLabel(n);
    SetWindowTextA(edit, "Main");
    f.tvGroups.EndEdit(false);
    wintest::Click(f.Item(IDC_SP_btnOk));
  });
  EXPECT_TRUE(EditSection<ProbeEditor>(project, &TTandrelBaseInstall::CompletedFiles));
  EXPECT_EQ(project.Groups[0]->Name(), "Main");
  EXPECT_EQ(project.InstFolders[0], "[Main]=<INSTALLDIR>") << "renamed through the working copy's setter";
  EXPECT_TRUE(project.CompletedFiles);
  EXPECT_TRUE(project.Modified);
  EXPECT_FALSE(project.CompletedGeneral) << "only the editor's own section";
  EXPECT_EQ(g_prepared, 1);
}

TEST_F(SectionEditorTest, AnOkThePreparationRefusesKeepsTheEditorOpenAndTheProject) {
  TTandrelBaseInstall project;
  const std::vector<uint8_t> before = project.SaveToBytes();
  bool stayed = false;
  std::vector<uint8_t> whileOpen;
  g_refuseOk = true;
  seams::WhenShown<ProbeEditor>([&](ProbeEditor& f) {
    f.WorkingCopy->InstallDir = "<ProgramFilesDir>\\Refused";
    wintest::Click(f.Item(IDC_SP_btnOk));
    stayed = f.Visible() && f.ModalResult() == mrNone;
    whileOpen = project.SaveToBytes();
    wintest::Click(f.Item(IDC_SP_btnOk));
  });
  EXPECT_TRUE(EditSection<ProbeEditor>(project, &TTandrelBaseInstall::CompletedFiles));
  EXPECT_TRUE(stayed);
  EXPECT_EQ(whileOpen, before);
  EXPECT_EQ(g_prepared, 2);
  EXPECT_EQ(project.InstallDir, "<ProgramFilesDir>\\Refused");
}

TEST_F(SectionEditorTest, OkWithoutChangesStillMarksTheSection) {
  TTandrelBaseInstall project;
  seams::WhenShown<ProbeEditor>([](ProbeEditor& f) { wintest::PostKey(VK_RETURN, f.tvGroups.Handle()); });
  EXPECT_TRUE(EditSection<ProbeEditor>(project, &TTandrelBaseInstall::CompletedDialogs));
  EXPECT_TRUE(project.CompletedDialogs);
  EXPECT_TRUE(project.Modified);
}

TEST_F(SectionEditorTest, LabelEditTakesAwayDefaultAndCancelRoles) {
  TTandrelBaseInstall project;
  seams::WhenShown<ProbeEditor>([](ProbeEditor& f) {
    EXPECT_EQ(f.DefaultButton(), IDC_SP_btnOk);
    HWND edit = f.tvGroups.EditLabel(f.tvGroups.FirstNode());
    ASSERT_NE(edit, nullptr);
    f.ActionListUpdate();
    EXPECT_TRUE(f.Editing);
    EXPECT_EQ(f.DefaultButton(), 0);
    EXPECT_EQ(f.CancelButton(), 0);
    // Esc and Enter end the edit, never the editor.
    wintest::PostKey(VK_ESCAPE, edit);
    wintest::PumpUntil([&f] { return !f.tvGroups.IsEditing(); });
    wintest::Pump(30);
    EXPECT_EQ(f.ModalResult(), mrNone);
    EXPECT_FALSE(f.tvGroups.IsEditing());
    f.ActionListUpdate();
    EXPECT_FALSE(f.Editing);
    EXPECT_EQ(f.DefaultButton(), IDC_SP_btnOk);
    EXPECT_EQ(f.CancelButton(), IDC_SP_btnCancel);
    EXPECT_GT(f.updates, 0);
    wintest::Click(f.Item(IDC_SP_btnCancel));
  });
  EXPECT_FALSE(EditSection<ProbeEditor>(project, &TTandrelBaseInstall::CompletedFiles));
}

TEST_F(SectionEditorTest, KeysOfTheViews) {
  TTandrelBaseInstall project;
  std::vector<std::string> keys;
  bool renaming = false;
  seams::WhenShown<ProbeEditor>([&](ProbeEditor& f) {
    f.tvGroups.Select(f.tvGroups.FirstNode());
    f.tvGroups.Focus();
    HWND tv = f.tvGroups.Handle();
    wintest::PostKey(VK_INSERT, tv);
    wintest::PostKey(VK_DELETE, tv);
    PostMessageA(tv, WM_SYSKEYDOWN, VK_RETURN, 1 | (1 << 29));
    wintest::Pump(40);
    renaming = wintest::PressUntil(tv, VK_F2, [&f] { return f.tvGroups.IsEditing(); });
    f.tvGroups.EndEdit(true);
    f.lvFiles.AddItem("a.txt");
    f.lvFiles.Select(0);
    wintest::PostKey(VK_INSERT, f.lvFiles.Handle());
    wintest::PostKey(VK_F2, f.lvFiles.Handle());
    wintest::Pump(40);
    EXPECT_FALSE(f.lvFiles.IsEditing()) << "F2 edits nothing where the editor says so";
    keys = f.keys;
    wintest::Click(f.Item(IDC_SP_btnCancel));
  });
  EditSection<ProbeEditor>(project, &TTandrelBaseInstall::CompletedFiles);
  EXPECT_EQ(keys, (std::vector<std::string>{"ins", "del", "props", "list ins"}));
  EXPECT_TRUE(renaming);
}

TEST_F(SectionEditorTest, HelpOpensTheEditorsContext) {
  TTandrelBaseInstall project;
  seams::WhenShown<ProbeEditor>([](ProbeEditor& f) {
    wintest::Click(f.Item(IDC_SP_btnHelp));
    wintest::Click(f.Item(IDC_SP_btnCancel));
  });
  EditSection<ProbeEditor>(project, &TTandrelBaseInstall::CompletedFiles);
  EXPECT_EQ(seams::HelpRequests(), (std::vector<int>{8}));
}

TEST_F(SectionEditorTest, ViewsAreEmptiedBeforeTheWorkingCopyGoes) {
  {
    ProbeEditor f;
    f.Project = nullptr;
    f.Fill();
    f.tvGroups.Select(f.tvGroups.FirstNode());
    g_changesWhileDestroying.clear();
    f.destroying = true;
  }
  ASSERT_EQ(g_changesWhileDestroying.size(), 3u) << "one removal for each group's node";
  for (const DestroyRecord& r : g_changesWhileDestroying) {
    EXPECT_TRUE(r.clearing);
    EXPECT_TRUE(r.workingCopyAlive);
  }
}

}  // namespace
