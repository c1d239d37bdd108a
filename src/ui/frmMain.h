// The main menu window: a borderless picture with the brand's invisible
// click zones, one page of them at a time. It opens the About window, turns
// the pages and ends the program.
#pragma once

#include <windows.h>

#include <optional>

#include "brand/Data.h"
#include "launch/Pages.h"
#include "shell/Win32Shell.h"
#include "ui/Input.h"
#include "ui/LitZones.h"
#include "ui/Pictures.h"
#include "ui/Win32Window.h"
#include "ui/frmAbout.h"

namespace startboard {

class frmMain final : public Win32Window<frmMain>, private InputOwner {
 public:
  static constexpr const wchar_t* kClassName = L"StartboardMain";
  // A brand with one page whose zones always apply carries no navigation.
  static constexpr bool kPaged = !brand::kLanguages.front().pages.empty() || kAsksMachine;

  frmMain(Win32Shell& shell, const Language& language)
      : shell_(shell),
        language_(language),
        menu_{.name = "menu",
              .art = language.menuArt,
              .hover = language.hover,
              .pressed = language.pressed,
              .zones = language.zones,
              .focusOrder = brand::kFocusOrder},
        pages_(language.pages, menu_),
        input_(*this, *this, brand::kKeyboard ? Input::Keys::All : Input::Keys::None, kPushButtons),
        lit_(*this, shell.Com()) {
    // The first page is known before the window is made: its picture starts now.
    if constexpr (kPaged) pages_.Start(shell_);
    ahead_.emplace(GetModuleHandleW(nullptr), pages_.Shown().art);
  }

  // Registers this window's class and those of the windows it opens.
  static bool Register(HINSTANCE instance);
  // Creates the window and shows it centred in the work area of the monitor
  // that holds the mouse pointer, at that monitor's dpi.
  bool Create(HINSTANCE instance);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnDpiChanged();

 private:
  // About opens the About window over this one and Quit ends the program;
  // the shell runs the rest.
  void RunClick(const Action& action, Origin origin) override;
  void Restyle(std::size_t index, TargetState before, TargetState now) override {
    lit_.Restyle(input_.Present(), index, before, now);
  }
  // Escape goes back to the page before, and on the first page runs the
  // quit zone (the menu's, when that page has none).
  void OnEscape() override;
  bool OnCreate();
  // The page the navigator shows, with the zones that apply now: its
  // pictures made first, then everything switched at once; the focus on
  // zone `focus`, drawn there when `shown`.
  bool ShowPage(std::optional<std::size_t> focus = {}, bool shown = false);
  // The zone of the page shown that the focus is on.
  std::optional<std::size_t> FocusedZone() const;
  bool LoadBackground();
  // Where the page's absent zones show through from its off picture.
  void FindAbsentParts();
  void OnActivate(WPARAM state);
  void OnPaint();
  void OnDestroy();

  Win32Shell& shell_;
  const Language& language_;
  const Page menu_;  // the menu as a page, for a brand whose tables have no pages
  PageNavigator pages_;
  std::optional<ArtAhead> ahead_;  // the first page's picture, made while the window is
  Bitmap background_;
  Bitmap off_;              // the page's off picture, while a zone is absent
  GdiObject<HRGN> absent_;  // the parts drawn from it
  Input input_;
  LitZones lit_;  // hover, pressed and the keyboard's focus, where the brand has them
  std::optional<frmAbout> about_;  // made on first use, then kept
};

}  // namespace startboard
