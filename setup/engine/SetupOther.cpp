#include "setup/engine/SetupOther.h"

#include "base/win/Application.h"
#include "setup/services/InstGlobal.h"

using namespace base::win;

namespace {

// The installation services, each action logged by the service itself.
class TServicesOtherHost : public TOtherHost {
public:
  int WriteRegString(const std::string& k, const std::string& n, const std::string& t) override {
    return ::WriteRegString(k, n, t);
  }
  int WriteRegInteger(const std::string& k, const std::string& n, int32_t v) override {
    return ::WriteRegInteger(k, n, v);
  }
  int WriteRegBinary(const std::string& k, const std::string& n, const std::string& h) override {
    return ::WriteRegBinary(k, n, h);
  }
  void LogUninstallKey(const std::string& k) override { ::LogUninstallKey(k); }
  int CreateShortcut(const std::string& c, const std::string& f, const std::string& p, const std::string& w, int g,
                     const std::string& folder) override {
    return ::CreateShortcut(c, f, p, w, g, folder);
  }
  int WriteIniValue(const std::string& f, const std::string& s, const std::string& k, const std::string& v) override {
    return ::WriteIniValue(f, s, k, v);
  }
  std::string ExpandMacros(const std::string& t) override { return ::ExpandMacros(t); }
};

}  // namespace

void TTandrelRegKey::Apply() {
  TServicesOtherHost host;
  ApplyRegKey(*this, host);
}

TfrmOther::TfrmOther() : Form(IDD_frmOther) { Create(); }

void TfrmOther::FormCreate() {
  Image1.Send(STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_INFORMATION)));
  OnMessage(WM_STARTTASK, [this](WPARAM, LPARAM) -> LRESULT {
    StartTask();
    return 0;
  });
}

void TfrmOther::FormShow() {
  lblInfo.SetCaption(OtherTaskCaption(Mode));
  lblInfo.AutoSize();
  const int width = lblInfo.Left() + lblInfo.Width() + Image1.Left();
  SetBounds((ScreenWidth() - width) / 2, (ScreenHeight() - Height()) / 2, width, Height());
  const RECT client = ClientRect();
  Control(*this, IDC_Bevel1Other).SetBounds(0, 0, client.right, client.bottom);
  Post(WM_STARTTASK);
}

void TfrmOther::StartTask() {
  // The form closes whatever the task meets.
  Guard([this] {
    App().ProcessMessages();
    TServicesOtherHost host;
    if (Project) RunOtherWork(*Project, Mode, host);
  });
  SetModalResult(mrOk);
}

void RunOtherTask(TTandrelBaseInstall* Project, uint8_t Mode) {
  TfrmOther form;
  form.Project = Project;
  form.Mode = Mode;
  form.ShowModal();
}
