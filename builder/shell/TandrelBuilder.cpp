// The builder's program entry. Until its main window exists, the builder opens the build
// dialog on a project file named on its command line.
#include <windows.h>

#include "base/Strings.h"
#include "base/win/Application.h"
#include "base/win/Dialogs.h"
#include "builder/shell/BuildForm.h"
#include "builder/shell/BuilderSettings.h"
#include "setup/model/InstClasses.h"

using namespace base::win;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Application& app = App();
  app.Initialize();
  app.SetTitle("Tandrel-Install Configuration Builder");
  app.SetHelpFile("TandrelBuilder.hlp");
  BuilderRegistryKey();  // taken from the version block before any form exists
  int result = 0;
  Form::Guard([&] {
    if (app.ParamCount() < 1) {
      ShowMessage("Start the builder with a project file (.zem) to build its setup package.");
      return;
    }
    const std::string fileName = app.ParamStr(1);
    TTandrelBaseInstall project;
    if (!project.LoadFromFile(fileName)) {
      MessageDlg("Could not open the project file '" + fileName + "'.", MsgDlgType::Error, mbOK);
      result = 1;
      return;
    }
    for (auto* group : project.Groups) group->RefreshFiles();
    ExecuteBuilder(project, fileName);
  });
  return result;
}
