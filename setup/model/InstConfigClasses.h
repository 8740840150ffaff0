// The builder's cache of file-type icons and descriptions: each extension (and each
// existing program, by its path) is looked up once, its small and large icons go into
// the form's image lists, and the image index and description are kept.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/win/ImageList.h"

// The icon file and index a DefaultIcon text names: quotes dropped, the text before the
// last comma and the number after it (0 when no number). False without a comma.
bool SplitIconLocation(const std::string& location, std::string& file, int& index);

class TZemAssociation {
public:
  // LargeImages may be nullptr. Both lists stay the form's.
  TZemAssociation(base::win::ImageList* LargeImages, base::win::ImageList& SmallImages);
  TZemAssociation(const TZemAssociation&) = delete;
  TZemAssociation& operator=(const TZemAssociation&) = delete;

  int GetImageIndex(const std::string& FileName);
  void GetDescription(const std::string& FileName, std::string& Description);

  int32_t CurrentIndex = -1;
  const int32_t BaseIndex;
  base::win::ImageList* const LargeImages;
  base::win::ImageList& SmallImages;
  // Entry i has image BaseIndex + i in each list.
  const std::vector<std::string>& Keys() const { return keys_; }
  const std::vector<std::string>& Descriptions() const { return descriptions_; }

private:
  void Lookup(const std::string& FileName);
  int Find(const std::string& key) const;
  // Adds the entry with one image in each list, a blank one for an icon that is missing.
  void AddEntry(const std::string& key, const std::string& description, HICON large, HICON small);

  std::vector<std::string> keys_;
  std::vector<std::string> descriptions_;
  std::unordered_map<std::string, int> index_;
};
