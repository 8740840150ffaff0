#include "builder/editors/DialogsRules.h"

#include "base/Strings.h"
#include "resources/builder_texts.h"

TDialogRows DialogRowsChecked(TTandrelDialogTypes types) {
  TDialogRows rows{};
  for (int i = 0; i < kDialogRows; ++i) rows[static_cast<size_t>(i)] = (types >> i) & 1;
  return rows;
}

TTandrelDialogTypes DialogTypesFromRows(const TDialogRows& rows) {
  TTandrelDialogTypes types = 0;
  for (int i = 0; i < kDialogRows; ++i)
    if (rows[static_cast<size_t>(i)]) types = static_cast<TTandrelDialogTypes>(types | (1u << i));
  return types;
}

bool IsRichText(const std::string& text) { return base::SameText(text.substr(0, 5), "{\\rtf"); }

std::string StringListText(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of("\r\n", i);
    if (end == std::string::npos) end = text.size();
    out.append(text, i, end - i);
    out += "\r\n";
    i = end;
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  }
  return out;
}

bool LoadsAsPlainText(const std::string& fileName) { return !base::SameText(base::ExtractFileExt(fileName), ".rtf"); }

std::string ShownInstallDir(const std::string& installDir, const std::string& companyName) {
  if (!installDir.empty()) return installDir;
  return companyName.empty() ? "<ProgramFilesDir>" : "<ProgramFilesDir>\\" + companyName;
}

std::vector<std::string> MacroNames(const TNameValueList& macros) {
  std::vector<std::string> names;
  for (size_t i = 0; i < macros.Count(); ++i) names.push_back(macros.Name(i));
  return names;
}

void AddBillboards(std::vector<std::string>& list, const std::vector<std::string>& chosen) {
  for (const auto& file : chosen) {
    bool held = false;
    for (const auto& have : list)
      if (base::SameText(have, file)) held = true;
    if (!held) list.push_back(file);
  }
}

TBillboardButtons BillboardButtons(int selectedCount) {
  return {selectedCount > 0, selectedCount == 1, selectedCount == 1};
}

int BillboardMoveTarget(int focused, int count, int direction) {
  if (focused < 0 || focused >= count) return -1;
  int to = focused + (direction < 0 ? -1 : 1);
  return to < 0 || to >= count ? -1 : to;
}

std::string ExtensionFileCaption(const TTandrelExtension& e) { return base::ExtractFileName(e.Executable); }

std::string ExtensionLocation(const TTandrelExtension& e) { return base::ExtractFilePath(e.Executable); }

std::string DialogPageName(int when) {
  return when >= 0 && when < kDialogTypeCount ? DialogTypeNames[when] : std::string();
}

bool ExtensionDrawnRed(bool isGroupFile, TTandrelDialogType when) { return !isGroupFile || when <= dtStartCopying; }

TExtensionMenu ExtensionMenuStates(bool hasCurrent, int rowCount, int selectedRow) {
  const bool usable = hasCurrent && rowCount > 0 && selectedRow >= 0 && selectedRow < rowCount;
  return {usable, usable, usable && selectedRow > 0, usable && selectedRow < rowCount - 1};
}

TExtensionField MissingExtensionField(TExtensionStyle style, const std::string& command, const std::string& params,
                                      int whenIndex) {
  const bool whenChosen = whenIndex >= 0 && whenIndex < kWhenRows;
  if (style == esDLL) {
    if (command.empty()) return TExtensionField::DllFile;
    if (params.empty()) return TExtensionField::FunctionName;
    // A DLL extension that runs at no point would never run.
    if (!whenChosen) return TExtensionField::DllWhen;
    return TExtensionField::None;
  }
  if (command.empty()) return TExtensionField::Command;
  if (!whenChosen) return TExtensionField::When;
  return TExtensionField::None;
}

std::string MissingFieldMessage(TExtensionField field) {
  if (field == TExtensionField::DllWhen) return texts::kChooseDllWhen;
  return std::string();
}

std::string ProjectFilePath(const std::string& groupName, const std::string& sourcePath) {
  return "[" + groupName + "]\\" + base::ExtractFileName(sourcePath);
}

std::string ExtensionRealFile(const std::string& realFileName, const std::string& executable) {
  return realFileName.empty() ? executable : realFileName;
}
