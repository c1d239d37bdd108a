// The About window: painted from the About table, with its pictures as
// picture windows in front and its link labels.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <optional>

#include "brand/Data.h"
#include "shell/Win32Shell.h"
#include "ui/Accessible.h"
#include "ui/ClickableLabels.h"
#include "ui/Gdi.h"
#include "ui/Win32Window.h"

namespace startboard {

// A picture box for each picture control: each language has the same
// controls, with its own texts and pictures.
inline constexpr auto kAboutPictureCount = static_cast<std::size_t>(std::count_if(
    brand::kAboutControls.begin(), brand::kAboutControls.end(),
    [](const AboutControl& control) { return control.kind == ControlKind::Picture; }));

// The links: labels with a command.
inline constexpr auto kAboutLinkCount = static_cast<std::size_t>(std::count_if(
    brand::kAboutControls.begin(), brand::kAboutControls.end(), [](const AboutControl& control) {
      return control.kind == ControlKind::Label && control.click.kind != ActionKind::None;
    }));

// A picture box: a child window that shows one bitmap at its natural size
// from its top-left corner on a plain background.
class PictureBox : public Win32Window<PictureBox> {
 public:
  static constexpr const wchar_t* kClassName = L"StartboardPicture";
  static bool Register(HINSTANCE instance);
  bool Create(HWND parent, const AboutControl& control);
  // Moves the box to its place at `dpi` and shows `picture` there.
  void Show(Bitmap picture, int dpi);
  const Art& Picture() const { return control_->picture; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void OnPaint();
  const AboutControl* control_ = nullptr;
  Bitmap picture_;
};

class frmAbout final : public Win32Window<frmAbout>, private ClickTarget, private AccessibleItems {
 public:
  static constexpr const wchar_t* kClassName = L"StartboardAbout";

  static bool Register(HINSTANCE instance);

  explicit frmAbout(Win32Shell& shell) : shell_(shell), labels_(shell.Texts().aboutControls) {}
  ~frmAbout();
  frmAbout(const frmAbout&) = delete;
  frmAbout& operator=(const frmAbout&) = delete;

  // Shows the window over `owner`, disabled meanwhile, and returns when the
  // user closes it. The window is created on first use and kept.
  void ShowModal(HWND owner);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Its labels are links: the shell opens them.
  void RunClick(const Action& action) override;
  bool Create(HWND owner);
  void OnCreate();
  void OnPaint();
  void OnClose();
  void UseDpi(int dpi);
  // Tab, Shift+Tab, Enter and Escape; false for a key it leaves alone.
  bool OnKey(WPARAM key, LPARAM flags);
  void MoveFocus(bool forward);

  // The links as screen readers see them.
  std::size_t AccessibleCount() const override { return kAboutLinkCount; }
  std::string_view AccessibleName(std::size_t index) const override;
  RECT AccessibleRect(std::size_t index) const override;
  std::optional<std::size_t> AccessibleFocus() const override { return focus_; }
  std::optional<std::size_t> AccessibleAt(POINT client) const override;

  void PaintLabel(HDC dc, const AboutControl& label) const;
  const AboutControl& Link(std::size_t index) const;
  void PaintOval(HDC dc, const AboutControl& oval) const;
  HFONT FontFor(const AboutControl& control) const;

  Win32Shell& shell_;
  int dpi_ = 0;  // none yet: ShowModal makes fonts and pictures at the owner's dpi
  std::array<PictureBox, kAboutPictureCount> pictures_;
  Font fonts_[2][2];  // [bold][underline]
  ClickableLabels<AboutControl> labels_;
  bool open_ = false;
  // The link with the keyboard's focus: none until the first Tab after each
  // opening, so the window looks as the mouse knows it until then.
  std::optional<std::size_t> focus_;
  SystemLibrary oleacc_{L"oleacc.dll"};
};

}  // namespace startboard
