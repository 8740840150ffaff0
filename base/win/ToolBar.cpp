#include "base/win/ToolBar.h"

#include "base/win/Actions.h"
#include "base/win/Application.h"
#include "base/win/ControlHooks.h"
#include "base/win/PageControl.h"

namespace base::win {

ToolBar::~ToolBar() {
  for (auto& [id, info] : buttons_)
    if (info.action) info.action->RemoveClient(info.client);
  if (hooked_) MutableOwner().RemoveHook(this);
  if (images_) {
    if (Handle()) Send(TB_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images_);
  }
}

void ToolBar::Hook() {
  if (hooked_) return;
  hooked_ = true;
  Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  // A tool bar on a tab's display area shows the tab's ground around its buttons.
  SetControlHook(Handle(), HookSlot::Ground, [](HWND h, UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    if (msg != WM_ERASEBKGND) return false;
    HBRUSH ground = TabGround(h, nullptr);
    if (!ground) return false;
    RECT r;
    GetClientRect(h, &r);
    FillRect(reinterpret_cast<HDC>(w), &r, ground);
    result = 1;
    return true;
  });
  MutableOwner().AddHook(this, [this](UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    return HandleMessage(msg, w, l, result);
  });
}

int ToolBar::AddImages(HBITMAP strip, int imageWidth) {
  Hook();
  BITMAP bm{};
  GetObjectA(strip, sizeof bm, &bm);
  // The standard images' list, when loaded, takes these images too.
  HIMAGELIST list = reinterpret_cast<HIMAGELIST>(Send(TB_GETIMAGELIST));
  if (!list) {
    images_ = ImageList_Create(imageWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 8, 8);
    list = images_;
    Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(imageWidth, bm.bmHeight));
  }
  int first = ImageList_GetImageCount(list);
  // The bottom-left pixel names the transparent colour.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, strip);
  COLORREF mask = GetPixel(dc, 0, bm.bmHeight - 1);
  SelectObject(dc, old);
  DeleteDC(dc);
  HBITMAP copy = static_cast<HBITMAP>(CopyImage(strip, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ImageList_AddMasked(list, copy, mask);
  DeleteObject(copy);
  return first;
}

void ToolBar::SetImages(HBITMAP strip, int imageWidth) {
  if (HIMAGELIST list = reinterpret_cast<HIMAGELIST>(Send(TB_GETIMAGELIST))) ImageList_RemoveAll(list);
  AddImages(strip, imageWidth);
}

void ToolBar::UseStandardImages() {
  Hook();
  Send(TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
}

void ToolBar::AddButton(int id, int image, const std::string& hint, Style style) {
  Hook();
  TBBUTTON b{};
  b.iBitmap = image;
  b.idCommand = id;
  b.fsState = TBSTATE_ENABLED;
  b.fsStyle = style == Style::Check ? BTNS_CHECK : style == Style::Group ? BTNS_CHECKGROUP : BTNS_BUTTON;
  b.iString = -1;
  Send(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
  buttons_[id].hint = hint;
  Send(TB_AUTOSIZE);
}

void ToolBar::AddButton(int id, int image, Action& action) {
  AddButton(id, image, action.Hint(), Style::Button);
  ButtonInfo& info = buttons_[id];
  info.action = &action;
  info.client = action.AddClient([this, id] { FollowAction(id); });
  FollowAction(id);
}

void ToolBar::FollowAction(int id) {
  ButtonInfo& info = buttons_[id];
  if (!info.action) return;
  info.hint = info.action->Hint();
  SetButtonEnabled(id, info.action->Enabled());
  SetDown(id, info.action->Checked());
  Send(TB_HIDEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(!info.action->Visible(), 0));
}

RECT ToolBar::ButtonRect(int index) const {
  RECT r{};
  Send(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void ToolBar::AddSeparator(int width) {
  Hook();
  TBBUTTON b{};
  b.iBitmap = width;
  b.fsStyle = BTNS_SEP;
  Send(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
}

bool ToolBar::Down(int id) const { return Send(TB_ISBUTTONCHECKED, static_cast<WPARAM>(id)) != 0; }

void ToolBar::SetDown(int id, bool down) const { Send(TB_CHECKBUTTON, static_cast<WPARAM>(id), MAKELPARAM(down, 0)); }

bool ToolBar::ButtonEnabled(int id) const { return Send(TB_ISBUTTONENABLED, static_cast<WPARAM>(id)) != 0; }

void ToolBar::SetButtonEnabled(int id, bool enabled) const {
  Send(TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(enabled, 0));
}

std::string ToolBar::ButtonHint(int id) const {
  auto it = buttons_.find(id);
  return it == buttons_.end() ? std::string() : it->second.hint;
}

std::string ToolBar::ToolTip(int id) const { return GetShortHint(ButtonHint(id)); }

void ToolBar::Press(int id) const {
  if (!ButtonEnabled(id)) return;
  TBBUTTONINFOA info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_STYLE;
  Send(TB_GETBUTTONINFOA, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&info));
  if (info.fsStyle & BTNS_GROUP) {
    SetDown(id, true);
  } else if (info.fsStyle & BTNS_CHECK) {
    SetDown(id, !Down(id));
  }
  SendMessageA(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Handle()));
}

bool ToolBar::HandleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  HWND bar = Handle();
  if (msg == WM_COMMAND && reinterpret_cast<HWND>(l) == bar && bar) {
    auto it = buttons_.find(LOWORD(w));
    if (it == buttons_.end() || !it->second.action) return false;
    it->second.action->Execute();
    result = 0;
    return true;
  }
  if (msg != WM_NOTIFY) return false;
  auto* header = reinterpret_cast<NMHDR*>(l);
  if (header->code == TTN_GETDISPINFOA) {
    auto it = buttons_.find(static_cast<int>(header->idFrom));
    if (it == buttons_.end()) return false;
    auto* tip = reinterpret_cast<NMTTDISPINFOA*>(l);
    tipText_ = GetShortHint(it->second.hint);
    tip->lpszText = tipText_.data();
    tip->hinst = nullptr;
    result = 0;
    return true;
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto it = buttons_.find(static_cast<int>(header->idFrom));
    if (it == buttons_.end()) return false;
    auto* tip = reinterpret_cast<NMTTDISPINFOW*>(l);
    std::string text = GetShortHint(it->second.hint).substr(0, 79);
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, tip->szText, 80);
    tip->lpszText = tip->szText;
    tip->hinst = nullptr;
    result = 0;
    return true;
  }
  if (header->hwndFrom == bar && header->code == TBN_HOTITEMCHANGE) {
    auto* hot = reinterpret_cast<NMTBHOTITEM*>(l);
    auto it = buttons_.find(hot->idNew);
    App().SetHint((hot->dwFlags & HICF_LEAVING) || it == buttons_.end() ? std::string() : it->second.hint);
    return false;
  }
  return false;
}

HBITMAP MakeTextGlyphs(const std::vector<std::string>& glyphs, int size, const Font& font) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP strip = CreateCompatibleBitmap(screen, size * static_cast<int>(glyphs.size()), size);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, strip);
  RECT all{0, 0, size * static_cast<int>(glyphs.size()), size};
  FillSolid(dc, all, RGB(255, 0, 255));
  HFONT f = CreateGdiFont(font);
  HGDIOBJ oldFont = SelectObject(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  for (size_t i = 0; i < glyphs.size(); ++i) {
    RECT cell{static_cast<int>(i) * size, 0, static_cast<int>(i + 1) * size, size};
    DrawTextA(dc, glyphs[i].c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, oldFont);
  DeleteObject(f);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  return strip;
}

}  // namespace base::win
