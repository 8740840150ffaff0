#include "builder/common/Previews.h"

#include "base/win/Application.h"
#include "setup/engine/BackgroundForm.h"
#include "setup/engine/DialogsForm.h"

using namespace base::win;

void PreviewInstDialog(TTandrelBaseInstall& Project, int Page) {
  PreviewInstDialogs(&Project, static_cast<TTandrelDialogType>(Page & 0xFF));
}

void PreviewBackground(TTandrelBaseInstall& Project, bool WithBillboards) {
  TfrmBackground form;
  form.Project = &Project;
  form.UseTimer = WithBillboards && !Project.BillBoards.empty();
  form.NoStart = true;
  // The screen covers everything and has no buttons: Esc ends the preview.
  App().SetShortCutHandler(form.Handle(), [&form](UINT key, unsigned) {
    if (key != VK_ESCAPE) return false;
    form.SetModalResult(mrCancel);
    return true;
  });
  form.ShowModal();
  App().RemoveShortCutHandler(form.Handle());
}
