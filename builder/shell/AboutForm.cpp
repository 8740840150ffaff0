#include "builder/shell/AboutForm.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "base/win/Application.h"
#include "builder/shell/MainRules.h"
#include "setup/compress/InstCompress.h"

using namespace base::win;

TfrmAbout::TfrmAbout() : Form(IDD_frmAbout) {
  ExeFileName = App().ExeName();
  Create();
}

void TfrmAbout::FormCreate() {
  ModalButton(IDC_ABT_btnOk, mrOk);
  SetDefaultButton(IDC_ABT_btnOk);
  SetCancelButton(IDC_ABT_btnOk);
}

void TfrmAbout::FormShow() {
  try {
    TTandrelInstCompress compress;
    if (auto picture = compress.ExpandResource("ABOUT", ExeFileName)) {
      Image1.SetTransparent(true);
      Image1.LoadFromBytes(picture->Bytes());
    }
  } catch (const std::exception&) {
    // A file without the picture still shows its version.
  }
  const std::string fileVersion = ReadFileVersionText(ExeFileName);
  lblBuild.SetCaption(fileVersion);
  lblVersion.SetCaption(AboutVersionText(fileVersion));
}

std::string ReadFileVersionText(const std::string& fileName) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) return std::string();
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size, block.data())) return std::string();
  void* data = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\StringFileInfo\\080904E4\\FileVersion", &data, &length) || !data)
    return std::string();
  const char* text = static_cast<const char*>(data);
  return std::string(text, strnlen(text, length));
}

void ShowAboutBox() {
  TfrmAbout about;
  about.ShowModal();
}
