#include "setup/model/InstConfigClasses.h"

#include <shellapi.h>

#include "base/Streams.h"
#include "base/Strings.h"
#include "base/win/Registry.h"

bool SplitIconLocation(const std::string& location, std::string& file, int& index) {
  std::string text;
  for (char c : location)
    if (c != '"') text += c;
  const size_t comma = text.rfind(',');
  if (comma == std::string::npos) return false;
  file = text.substr(0, comma);
  long long n;
  index = base::TryStrToInt(text.substr(comma + 1, 32), n) ? static_cast<int>(n) : 0;
  return true;
}

namespace {

struct TypeFacts {
  std::string description;
  std::string iconLocation;
};

TypeFacts ReadFileType(const std::string& ext) {
  using base::win::ReadRegString;
  using base::win::RegKey;
  TypeFacts facts;
  RegKey extKey;
  if (!extKey.Open(HKEY_CLASSES_ROOT, ext.c_str(), KEY_READ)) return facts;
  const std::string type = ReadRegString(extKey.get(), "");
  if (type.empty()) return facts;
  RegKey typeKey;
  if (!typeKey.Open(HKEY_CLASSES_ROOT, type.c_str(), KEY_READ)) return facts;
  facts.description = ReadRegString(typeKey.get(), "");
  RegKey iconKey;
  if (iconKey.Open(HKEY_CLASSES_ROOT, (type + "\\DefaultIcon").c_str(), KEY_READ))
    facts.iconLocation = ReadRegString(iconKey.get(), "");
  return facts;
}

void DestroyIcons(HICON large, HICON small) {
  if (large) DestroyIcon(large);
  if (small) DestroyIcon(small);
}

// Both sizes of one icon of a module. Where the call extracts nothing the handles are not
// to be trusted: Wine leaves whatever its stack held in them.
void ExtractIconSizes(const std::string& file, int index, HICON& large, HICON& small) {
  large = small = nullptr;
  if (ExtractIconExA(file.c_str(), index, &large, &small, 1) == 0) large = small = nullptr;
}

void ExtractIconPair(const std::string& location, const std::string& ext, HICON& large, HICON& small) {
  std::string file;
  int index = 0;
  if (!SplitIconLocation(location, file, index) || !base::FileExists(file)) {
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    file = std::string(system) + "\\Shell32.dll";
    index = ext == ".exe" ? 2 : ext == ".dll" ? 61 : 0;
  }
  ExtractIconSizes(file, index, large, small);
}

}  // namespace

TZemAssociation::TZemAssociation(base::win::ImageList* LargeImages, base::win::ImageList& SmallImages)
    : BaseIndex(SmallImages.Count()), LargeImages(LargeImages), SmallImages(SmallImages) {
  SmallImages.SetShareImages(true);
  if (LargeImages) LargeImages->SetShareImages(true);
}

int TZemAssociation::Find(const std::string& key) const {
  auto it = index_.find(key);
  return it == index_.end() ? -1 : it->second;
}

void TZemAssociation::AddEntry(const std::string& key, const std::string& description, HICON large,
                               HICON small) {
  keys_.push_back(key);
  descriptions_.push_back(description);
  index_.emplace(key, static_cast<int>(keys_.size()) - 1);
  if (SmallImages.AddIcon(small) < 0) SmallImages.AddBlank();
  if (LargeImages && LargeImages->AddIcon(large) < 0) LargeImages->AddBlank();
  DestroyIcons(large, small);
  CurrentIndex = static_cast<int32_t>(keys_.size()) - 1;
}

void TZemAssociation::Lookup(const std::string& FileName) {
  CurrentIndex = -1;
  std::string ext = base::AnsiLowerCase(base::ExtractFileExt(FileName));
  if (ext.empty()) ext = ".";
  if (ext == ".exe" && base::FileExists(FileName)) {
    const std::string path = base::AnsiLowerCase(FileName);
    CurrentIndex = Find(path);
    if (CurrentIndex >= 0) return;
    HICON large = nullptr, small = nullptr;
    ExtractIconSizes(FileName, 0, large, small);
    if (large && small) {
      AddEntry(path, "Application", large, small);
      return;
    }
    DestroyIcons(large, small);
    // A program without an icon of its own shares the ".exe" entry rather than adding
    // one at every lookup.
  }
  CurrentIndex = Find(ext);
  if (CurrentIndex >= 0) return;
  TypeFacts facts = ReadFileType(ext);
  HICON large = nullptr, small = nullptr;
  ExtractIconPair(facts.iconLocation, ext, large, small);
  if (facts.description.empty()) facts.description = base::AnsiUpperCase(ext.substr(1)) + " File";
  AddEntry(ext, facts.description, large, small);
}

int TZemAssociation::GetImageIndex(const std::string& FileName) {
  Lookup(FileName);
  return CurrentIndex + BaseIndex;
}

void TZemAssociation::GetDescription(const std::string& FileName, std::string& Description) {
  Lookup(FileName);
  Description = descriptions_[CurrentIndex];
}
