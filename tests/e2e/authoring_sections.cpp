// The authoring road's sections: one line each, in the order an author fills them in.
// A section that lands adds its file and its line; the comment lines keep such changes apart.
#include "tests/e2e/Authoring.h"

namespace e2e {

const std::vector<AuthoringSection>& AuthoringSections() {
  static const std::vector<AuthoringSection> sections = {
      // General Settings
      GeneralSection(),
      // Screens
      ScreensSection(),
      // Files/Groups
#ifdef TANDREL_FILE_GROUPS_EDITOR
      FilesSection(),
#endif
      // Dialogs/Extensions
#ifdef TANDREL_DIALOGS_EDITOR
      DialogsSection(),
#endif
      // Program Icons
      // Ini Files
      // Registry
  };
  return sections;
}

}  // namespace e2e
