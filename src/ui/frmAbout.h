// The About window: painted from the About table, with its pictures as
// picture windows in front and its link labels.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>

#include "brand/Data.h"
#include "shell/Win32Shell.h"
#include "ui/Input.h"
#include "ui/Win32Window.h"

namespace startboard {

// A picture box for each picture control: each language has the same
// controls, with its own texts and pictures.
inline constexpr auto kAboutPictureCount = static_cast<std::size_t>(std::count_if(
    brand::kAboutControls.begin(), brand::kAboutControls.end(),
    [](const AboutControl& control) { return control.kind == ControlKind::Picture; }));

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

class frmAbout final : public Win32Window<frmAbout>, private InputOwner {
 public:
  static constexpr const wchar_t* kClassName = L"StartboardAbout";

  static bool Register(HINSTANCE instance);

  explicit frmAbout(Win32Shell& shell)
      : shell_(shell), input_(*this, *this, Input::Keys::TabAndEnter, kLinks) {}

  // Shows the window over `owner`, disabled meanwhile, and returns when the
  // user closes it. The window is created on first use and kept.
  void ShowModal(HWND owner);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Fonts, pictures and labels for the dpi, made once.
  void OnDpiChanged();

 private:
  // Its labels are links: the shell opens them.
  void RunClick(const Action& action, Origin origin) override;
  // Only the focus shows: its frame.
  void Restyle(std::size_t index, TargetState before, TargetState now) override;
  // Escape closes the window, as its close box does.
  void OnEscape() override { OnClose(); }
  bool Create(HWND owner);
  void OnCreate();
  void OnPaint();
  void OnClose();

  void PaintLabel(HDC dc, const AboutControl& label) const;
  void PaintOval(HDC dc, const AboutControl& oval) const;
  HFONT FontFor(const AboutControl& control) const;

  Win32Shell& shell_;
  bool made_ = false;  // fonts and pictures, for Dpi()
  std::array<PictureBox, kAboutPictureCount> pictures_;
  Font fonts_[2][2];  // [bold][underline]
  // The links' focus is none until the first Tab after each opening, so the
  // window looks as the mouse knows it until then.
  Input input_;
  bool open_ = false;
};

}  // namespace startboard
