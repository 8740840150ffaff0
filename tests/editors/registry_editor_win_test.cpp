// The registry editor under Wine with its real tree, list and value dialog, checked by the
// project's saved bytes: OK applies, Cancel, Esc and the close box leave it as it was.
#include "tests/editors/EditorDriving.h"

#include "builder/editors/SetupRegistry.h"
#include "builder/editors/SetupValue.h"
#include "tests/harness/FormDriver.h"

namespace {

using namespace base::win;
using namespace edtest;
using Names = std::vector<std::string>;

class RegistryEditor : public EditorFixture<TfrmRegistry, EditRegistry> {
protected:
  static TreeNode Node(TfrmRegistry& f, const TTandrelRegKey* key) { return f.tvFolders.FindData(key); }
  static void SelectKey(TfrmRegistry& f, const std::string& path) {
    TreeNode n = nullptr;
    for (TreeNode c : f.tvFolders.AllNodes())
      if (static_cast<TTandrelRegKey*>(f.tvFolders.NodeData(c))->GetFullPath() == path) n = c;
    ASSERT_TRUE(n) << path;
    f.tvFolders.Select(n);
  }
  // What the changes below make of a fresh project, through the model.
  static void ExpectedChanges(TTandrelBaseInstall& e) {
    TTandrelRegKey* k = e.AddRegKey("HKEY_LOCAL_MACHINE\\Software");
    k->UninstallKey = true;
    k->AddStringValue("Path", "C:\\App");
    k->AddDWordValue("New Value #1", -5);
    k->AddBinaryValue("New Value #2", "01ab");
    k->GetValue(0)->StringValue = "default";
  }
  // The changes, made as the author makes them.
  static void MakeChanges(TfrmRegistry& f) {
    SelectKey(f, "HKEY_LOCAL_MACHINE");
    Key(f.tvFolders.Handle(), VK_INSERT);
    ASSERT_TRUE(FinishEdit(f.tvFolders, "Software"));
    EXPECT_EQ(f.lblPath.Caption(), "HKEY_LOCAL_MACHINE\\Software");
    f.actUninstallKeyExecute();
    f.NewValue(vtString);
    ASSERT_TRUE(FinishEdit(f.lvValues, "Path"));
    AnswerValueDialog("C:\\App");
    Key(f.lvValues.Handle(), VK_RETURN, true);
    f.NewValue(vtDWord);
    f.lvValues.EndEdit(true);
    AnswerValueDialog("-5");
    Key(f.lvValues.Handle(), VK_RETURN, true);
    f.NewValue(vtBinary);
    f.lvValues.EndEdit(true);
    AnswerValueDialog("01ab");
    f.actModifyValueExecute();
    SelectRow(f.lvValues, 0);
    AnswerValueDialog("default");
    Key(f.lvValues.Handle(), VK_RETURN, true);
    f.ActionListUpdate();
  }
};

TEST_F(RegistryEditor, OkAppliesTheChanges) {
  Names data;
  std::string caption;
  const bool ok = Run([&](TfrmRegistry& f) {
    caption = f.Caption();
    MakeChanges(f);
    data = Texts(f.lvValues, 1);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(caption, "Registry Settings");
  EXPECT_EQ(data, (Names{"\"default\"", "\"C:\\App\"", "0xfffffffb (-5)", " 01 ab"}));
  TTandrelBaseInstall e;
  ExpectedChanges(e);
  e.CompletedRegistry = true;
  EXPECT_EQ(Saved(p), Saved(e));
  EXPECT_TRUE(p.Modified);
  EXPECT_TRUE(seams::Messages().empty());
}

TEST_F(RegistryEditor, CancelEscAndTheCloseBoxLeaveTheProject) {
  // A key that is there already, with its flag set, and an earlier OK elsewhere.
  p.AddRegKey("HKEY_CURRENT_USER\\Software\\Firm")->UninstallKey = true;
  p.CompletedIni = true;
  ExpectEveryWayOutLeaves(&TfrmRegistry::tvFolders, [&](TfrmRegistry& f) {
    MakeChanges(f);
    SelectKey(f, "HKEY_CURRENT_USER\\Software\\Firm");
    f.actUninstallKeyExecute();
    seams::QueueMessageAnswer(mrYes);
    SelectKey(f, "HKEY_CURRENT_USER\\Software");
    Key(f.tvFolders.Handle(), VK_DELETE);
    f.ActionListUpdate();
  });
}

TEST_F(RegistryEditor, NewKeysAndValuesTakeTheSmallestFreeNumber) {
  TTandrelRegKey* k = p.AddRegKey("HKEY_LOCAL_MACHINE\\Software");
  k->AddKey("New Key #1");
  k->AddKey("new key #3");
  k->AddStringValue("New Value #2", "x");
  Names keys, values, data;
  Run([&](TfrmRegistry& f) {
    SelectKey(f, "HKEY_LOCAL_MACHINE\\Software");
    Key(f.tvFolders.Handle(), VK_INSERT);
    ASSERT_TRUE(f.tvFolders.IsEditing()) << "the new key's name is open for editing";
    f.tvFolders.EndEdit(false);
    // The new key became current with its default value.
    EXPECT_EQ(f.lblPath.Caption(), "HKEY_LOCAL_MACHINE\\Software\\New Key #2");
    EXPECT_EQ(Texts(f.lvValues), (Names{"(Default)"}));
    EXPECT_EQ(Texts(f.lvValues, 1), (Names{"(value not set)"}));
    keys = ChildTexts(f.tvFolders, f.tvFolders.Parent(f.tvFolders.Selected()));
    SelectKey(f, "HKEY_LOCAL_MACHINE\\Software");
    for (TTandrelValueType style : {vtString, vtDWord, vtBinary}) {
      f.NewValue(style);
      EXPECT_TRUE(f.lvValues.IsEditing());
      f.lvValues.EndEdit(false);
    }
    values = Texts(f.lvValues);
    data = Texts(f.lvValues, 1);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_EQ(keys, (Names{"New Key #1", "new key #3", "New Key #2"}));
  EXPECT_EQ(values, (Names{"(Default)", "New Value #2", "New Value #1", "New Value #3", "New Value #4"}));
  EXPECT_EQ(data, (Names{"(value not set)", "\"x\"", "\"\"", "0x00000000 (0)", "(zero-length binary value)"}));
  TTandrelBaseInstall e;
  TTandrelRegKey* ek = e.AddRegKey("HKEY_LOCAL_MACHINE\\Software");
  ek->AddKey("New Key #1");
  ek->AddKey("new key #3");
  ek->AddKey("New Key #2");
  ek->AddStringValue("New Value #2", "x");
  ek->AddStringValue("New Value #1", "");
  ek->AddDWordValue("New Value #3", 0);
  ek->AddBinaryValue("New Value #4", "");
  e.CompletedRegistry = true;
  EXPECT_EQ(Saved(p), Saved(e));
}

TEST_F(RegistryEditor, RootKeysAndDefaultValuesStayAsTheyAre) {
  bool rootEdit = true, defaultEdit = true, modifyEnabled = true, deleteKeyEnabled = true, renameValueEnabled = true;
  std::string caption;
  Run([&](TfrmRegistry& f) {
    SelectKey(f, "HKEY_CLASSES_ROOT");
    Key(f.tvFolders.Handle(), VK_F2);
    rootEdit = f.tvFolders.IsEditing() || f.tvFolders.EditLabel(f.tvFolders.Selected()) != nullptr;
    Key(f.tvFolders.Handle(), VK_DELETE);  // no question for a root key
    f.actDeleteKeyExecute();
    f.actRenameKeyExecute();
    SelectRow(f.lvValues, 0);
    f.ActionListUpdate();
    modifyEnabled = f.actModifyValue->Enabled();
    renameValueEnabled = f.actRenameValue->Enabled();
    deleteKeyEnabled = f.actDeleteKey->Enabled();
    Key(f.lvValues.Handle(), VK_F2);
    defaultEdit = f.lvValues.IsEditing() || f.lvValues.EditLabel(0) != nullptr;
    Key(f.lvValues.Handle(), VK_DELETE);
    // Modify is disabled on the default value, yet a double click opens it.
    AnswerValueDialog("by double click", &caption);
    DoubleClick(f.lvValues, 0);
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_FALSE(rootEdit);
  EXPECT_FALSE(defaultEdit);
  EXPECT_FALSE(modifyEnabled);
  EXPECT_FALSE(renameValueEnabled);
  EXPECT_FALSE(deleteKeyEnabled);
  EXPECT_TRUE(seams::Messages().empty()) << "neither delete asked anything";
  EXPECT_EQ(caption, "Define String Value");
  EXPECT_EQ(p.Registry.Count(), 6);
  EXPECT_EQ(p.GetRegKey(0)->KeyName, "HKEY_CLASSES_ROOT");
  EXPECT_EQ(p.GetRegKey(0)->GetValue(0)->StringValue, "by double click");
}

TEST_F(RegistryEditor, DeletingABranchAfterOneQuestion) {
  TTandrelRegKey* firm = p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Firm");
  firm->AddKey("App\\Deep")->AddStringValue("v", "1");
  firm->AddStringValue("Name", "x");
  p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Other")->AddDWordValue("n", 1);
  Names afterNo, rows;
  bool rowsPointIntoCurrent = false;
  Run([&](TfrmRegistry& f) {
    SelectKey(f, "HKEY_LOCAL_MACHINE\\Software\\Firm");
    seams::QueueMessageAnswer(mrNo);
    Key(f.tvFolders.Handle(), VK_DELETE);
    afterNo = Texts(f.lvValues);
    seams::QueueMessageAnswer(mrYes);
    f.actDeleteKeyExecute();
    // The list shows the values of the key selected now, and nothing of the freed branch.
    rows = Texts(f.lvValues);
    rowsPointIntoCurrent = f.CurrentKey != nullptr && f.lvValues.Count() == f.CurrentKey->Values.Count();
    for (int i = 0; i < f.lvValues.Count() && f.CurrentKey; ++i)
      rowsPointIntoCurrent &= f.lvValues.ItemData(i) == f.CurrentKey->GetValue(i);
    EXPECT_EQ(f.CurrentValue, nullptr);
    EXPECT_EQ(f.lblPath.Caption(), f.CurrentKey ? f.CurrentKey->GetFullPath() : "");
    // A value deleted the same way leaves no current value behind.
    SelectKey(f, "HKEY_LOCAL_MACHINE\\Software\\Other");
    SelectRow(f.lvValues, 1);
    seams::QueueMessageAnswer(mrYes);
    Key(f.lvValues.Handle(), VK_DELETE);
    EXPECT_EQ(f.CurrentValue, nullptr);
    EXPECT_EQ(Texts(f.lvValues), (Names{"(Default)"}));
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_EQ(afterNo, (Names{"(Default)", "Name"}));
  EXPECT_TRUE(rowsPointIntoCurrent);
  EXPECT_EQ(MessageTexts(), (Names{"Are you sure you want to delete this key?", "Are you sure you want to delete this key?",
                                   "Are you sure you want to delete this value?"}));
  EXPECT_EQ(seams::Messages()[0].Type, MsgDlgType::Confirmation);
  EXPECT_EQ(seams::Messages()[0].Buttons, mbYesNo);
  TTandrelBaseInstall e;
  e.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Other");
  e.CompletedRegistry = true;
  EXPECT_EQ(Saved(p), Saved(e));
}

TEST_F(RegistryEditor, RenamesStoreTheTextUnchecked) {
  p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\A");
  p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\B")->AddStringValue("x", "");
  Run([&](TfrmRegistry& f) {
    SelectKey(f, "HKEY_LOCAL_MACHINE\\Software\\B");
    Key(f.tvFolders.Handle(), VK_F2);
    ASSERT_TRUE(FinishEdit(f.tvFolders, "A"));  // a sibling's name stands beside it
    EXPECT_EQ(f.lblPath.Caption(), "HKEY_LOCAL_MACHINE\\Software\\A");
    SelectRow(f.lvValues, 1);
    Key(f.lvValues.Handle(), VK_F2);
    ASSERT_TRUE(f.lvValues.EditControl());
    SetWindowTextA(f.lvValues.EditControl(), "");
    f.lvValues.EndEdit(true);  // emptied, then Esc: the name stays
    EXPECT_EQ(f.lvValues.ItemText(1), "x");
    Key(f.lvValues.Handle(), VK_F2);
    ASSERT_TRUE(FinishEdit(f.lvValues, ""));
    EXPECT_EQ(f.lvValues.ItemText(1), "");
    wintest::Click(f.btnOk.Handle());
  });
  TTandrelRegKey* software = p.AddRegKey("HKEY_LOCAL_MACHINE\\Software");
  ASSERT_EQ(software->Keys.Count(), 2);
  EXPECT_EQ(software->GetKey(0)->KeyName, "A");
  EXPECT_EQ(software->GetKey(1)->KeyName, "A");
  EXPECT_EQ(software->GetKey(1)->GetValue(1)->ValueName, "");
}

// The popups' items in their order, with the actions' captions and states.
Names MenuTexts(const MenuItem& menu) {
  Names t;
  for (int i = 0; i < menu.Count(); ++i) {
    const MenuItem& item = menu.Items(i);
    std::string text = item.Caption();
    if (item.Count() > 0) text += " (" + [&] {
      std::string sub;
      for (const std::string& c : MenuTexts(item)) sub += (sub.empty() ? "" : ", ") + c;
      return sub;
    }() + ")";
    t.push_back(text);
  }
  return t;
}

TEST_F(RegistryEditor, MenusAndTheUninstallMark) {
  p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Firm");
  Names folders, values;
  std::string expandOnRoot, expandOnLeaf;
  bool checkedBefore = true, checkedAfter = false, itemChecked = false;
  Run([&](TfrmRegistry& f) {
    folders = MenuTexts(f.popFolders);
    values = MenuTexts(f.popValues);
    SelectKey(f, "HKEY_LOCAL_MACHINE");
    f.ActionListUpdate();
    expandOnRoot = f.mnuExpand->Caption() + (f.mnuExpand->Enabled() ? "" : " disabled");
    SelectKey(f, "HKEY_LOCAL_MACHINE\\Software\\Firm");
    f.ActionListUpdate();
    expandOnLeaf = f.mnuExpand->Caption() + (f.mnuExpand->Enabled() ? "" : " disabled");
    checkedBefore = f.actUninstallKey->Checked();
    f.actUninstallKey->Execute();
    f.ActionListUpdate();
    checkedAfter = f.actUninstallKey->Checked();
    itemChecked = f.popFolders.Items(f.popFolders.Count() - 1).Checked();
    wintest::Click(f.btnOk.Handle());
  });
  EXPECT_EQ(folders, (Names{"Expand", "&New (&Key, -, &String Value, &Binary Value, &DWORD Value)", "-", "&Delete",
                            "&Rename", "-", "&Uninstall key"}));
  EXPECT_EQ(values, (Names{"Modify", "&New (&Key, -, &String Value, &Binary Value, &DWORD Value)", "-", "&Delete",
                           "&Rename"}));
  EXPECT_EQ(expandOnLeaf, "Expand disabled");
  EXPECT_TRUE(expandOnRoot == "Expand" || expandOnRoot == "Collapse") << expandOnRoot;
  EXPECT_FALSE(checkedBefore);
  EXPECT_TRUE(checkedAfter);
  EXPECT_TRUE(itemChecked);
  EXPECT_TRUE(p.AddRegKey("HKEY_LOCAL_MACHINE\\Software\\Firm")->UninstallKey);
}

}  // namespace
