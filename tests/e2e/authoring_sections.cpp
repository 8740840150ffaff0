// The authoring road's sections, one line each, in the order an author fills them in.
#include "tests/e2e/Authoring.h"

namespace e2e {

const std::vector<AuthoringSection>& AuthoringSections() {
  static const std::vector<AuthoringSection> sections = {
      // General Settings
      GeneralSection(),
      // Screens
      ScreensSection(),
      // Files/Groups
      FilesSection(),
      // Dialogs/Extensions
      DialogsSection(),
      // Program Icons
      IconsSection(),
      // Ini Files
      IniFilesSection(),
      // Registry
      RegistrySection(),
  };
  return sections;
}

}  // namespace e2e
