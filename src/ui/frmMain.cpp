#include "ui/frmMain.h"

#include <algorithm>

#include "bench/Probe.h"
#include "launch/Actions.h"
#include "shell/Unicode.h"
#include "ui/Pictures.h"
#include "ui/Screen.h"

namespace startboard {

namespace {

// Borderless: no caption, frame or sizing; the system menu keeps Alt+F4 and
// the task-bar button's Close working.
constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;

}  // namespace

bool frmMain::Register(HINSTANCE instance) {
  // CS_DBLCLKS: a double click on a label runs its command once.
  return RegisterClassOf(instance, {.style = CS_DBLCLKS, .applicationIcon = true}) &&
         frmAbout::Register(instance);
}

bool frmMain::Create(HINSTANCE instance) {
  POINT pointer{};
  GetCursorPos(&pointer);
  const PixelRect area = WorkAreaAt(pointer);
  const std::wstring title = Widen(language_.title);
  // Made hidden inside the monitor's work area, so that it knows that
  // monitor's dpi before it takes its size.
  if (CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, area.left, area.top, 1, 1,
                      nullptr, nullptr, instance, this) == nullptr) {
    return false;
  }
  PlaceCentred(Hwnd(), area, brand::kMenuClient, Dpi());
  shell_.SetMainWindow(Hwnd());
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  UpdateWindow(Hwnd());
  return true;
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto handled = input_.Handle(message, wParam, lParam)) return *handled;
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole client area
    case WM_PAINT:
      OnPaint();
      return 0;
    case LitZones::kLoadMessage:
      lit_.OnLoadMessage(input_);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      return Default(message, wParam, lParam);
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void frmMain::RunClick(const Action& action, Origin origin) {
  switch (action.kind) {
    case ActionKind::About:
      if (!about_) about_.emplace(shell_);
      about_->ShowModal(Hwnd());
      break;
    case ActionKind::Quit:
      // Closing the window ends the message loop; owned windows go with it.
      DestroyWindow(Hwnd());
      break;
    case ActionKind::Page:
      // The focus goes to the new page's first zone: shown when a key opened
      // it, else followed by screen readers alone.
      if constexpr (kPaged) {
        const std::size_t from = input_.Present().frontToBack[origin.target].source;
        if (pages_.Open(shell_, static_cast<std::size_t>(action.page), from)) {
          ShowPage(pages_.FocusZone(std::nullopt), origin.byKeys);
        }
      }
      break;
    case ActionKind::Back:
      if constexpr (kPaged) {
        if (pages_.Back(shell_)) ShowPage(pages_.FocusZone(pages_.CameFrom()), origin.byKeys);
      }
      break;
    default:
      if (RunAction(shell_, action) && action.thenQuit) DestroyWindow(Hwnd());
      break;
  }
}

void frmMain::OnEscape() {
  if constexpr (kPaged) {
    if (pages_.Back(shell_)) {
      ShowPage(pages_.FocusZone(pages_.CameFrom()), true);
      return;
    }
  }
  const std::vector<Target>& zones = input_.Present().frontToBack;
  const auto quit = std::find_if(zones.begin(), zones.end(), [](const Target& zone) {
    return zone.click.kind == ActionKind::Quit;
  });
  if (quit != zones.end()) {
    input_.Run(static_cast<std::size_t>(quit - zones.begin()), true);
    return;
  }
  // A first page chosen by condition may have no quit zone of its own: the
  // brand's is the menu's.
  if constexpr (kPaged) {
    const auto menuQuits =
        std::any_of(menu_.zones.begin(), menu_.zones.end(),
                    [](const HotZone& zone) { return zone.click.kind == ActionKind::Quit; });
    if (menuQuits) DestroyWindow(Hwnd());
  }
}

bool frmMain::OnCreate() {
  SetDpi(DpiOf(Hwnd()));
  input_.OnDpiChanged();
  return ShowPage();
}

void frmMain::OnDpiChanged() {
  LoadBackground();
  FindAbsentParts();
  input_.OnDpiChanged();
  lit_.OnDpiChanged();
}

bool frmMain::ShowPage(std::optional<std::size_t> focus, bool shown) {
  const Page& page = pages_.Shown();
  if (!LoadBackground()) return false;
  input_.SetTargets(ZoneTargets(page.zones, page.focusOrder, pages_.PresentZones()));
  lit_.SetPage(page);
  FindAbsentParts();
  // The picture covers the whole window and is never erased first: the new
  // page replaces the old in one paint.
  InvalidateRect(Hwnd(), nullptr, FALSE);
  // Screen readers read the buttons again: those of the page shown; then
  // they hear where the focus is. (A brand of one page that always applies
  // shows it once, with no focus yet: its exe carries none of this.)
  if constexpr (kPaged) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, Hwnd(), OBJID_CLIENT, CHILDID_SELF);
    input_.Focus(input_.Present().Of(focus), shown);
  }
  return true;
}

std::optional<std::size_t> frmMain::FocusedZone() const {
  const std::optional<std::size_t> target = input_.Focused();
  if (!target) return std::nullopt;
  return input_.Present().frontToBack[*target].source;
}

// The pictures for the page and the dpi, made once: every repaint is then a
// plain blit (and, while a zone is absent, one from the off picture).
bool frmMain::LoadBackground() {
  const Page& page = pages_.Shown();
  // The first page's picture, started before the window, is taken once.
  Bitmap background = ahead_ ? ahead_->Take(page.art, Dpi()) : nullptr;
  ahead_.reset();
  if (!background) background = LoadArt(shell_.Com(), InstanceOf(Hwnd()), page.art, Dpi());
  if (!background) {
    background = PlainMenu(page.zones, pages_.PresentZones(), brand::kMenuClient, Dpi());
  }
  if (!background) return false;
  if constexpr (kPaged) {
    const std::vector<bool>& present = pages_.PresentZones();
    const bool someAbsent = std::find(present.begin(), present.end(), false) != present.end();
    off_ = page.off.Present() && someAbsent
               ? LoadArt(shell_.Com(), InstanceOf(Hwnd()), page.off, Dpi())
               : Bitmap();
  }
  background_ = std::move(background);
  return true;
}

void frmMain::FindAbsentParts() {
  absent_.reset();
  if (!kPaged || !off_) return;
  // Each absent zone's rectangle, less those of the zones present: two
  // zones may share one with opposite conditions.
  absent_.reset(CreateRectRgn(0, 0, 0, 0));
  const auto zones = pages_.Shown().zones;
  for (std::size_t i = 0; i < zones.size(); ++i) {
    if (pages_.Present(i)) continue;
    const PixelRect part = Px(zones[i].twips);
    const GdiObject<HRGN> add(CreateRectRgn(part.left, part.top, part.right, part.bottom));
    CombineRgn(absent_.get(), absent_.get(), add.get(), RGN_OR);
  }
  for (const Target& target : input_.Present().frontToBack) {
    const PixelRect part = Px(target.twips);
    const GdiObject<HRGN> hole(CreateRectRgn(part.left, part.top, part.right, part.bottom));
    CombineRgn(absent_.get(), absent_.get(), hole.get(), RGN_DIFF);
  }
}

void frmMain::OnActivate(WPARAM state) {
  // Back from an installer: what it installed may change which zones apply.
  // The focus stays on its zone, or, when that went, goes to the first.
  if constexpr (kPaged) {
    if (LOWORD(state) == WA_INACTIVE) return;
    const std::optional<std::size_t> focused = FocusedZone();
    const bool shown = input_.FocusShown();
    if (pages_.Refresh(shell_)) ShowPage(focused ? pages_.FocusZone(focused) : std::nullopt, shown);
  }
}

void frmMain::OnPaint() {
  const PaintScope paint(Hwnd());
  const RECT& dirty = paint.Dirty();
  const MemoryDc source(CreateCompatibleDC(paint.Dc()));
  const Selection selected(source.get(), background_.get());
  BitBlt(paint.Dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
         source.get(), dirty.left, dirty.top, SRCCOPY);
  if (kPaged && absent_) {
    const Selection off(source.get(), off_.get());
    SelectClipRgn(paint.Dc(), absent_.get());
    BitBlt(paint.Dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           source.get(), dirty.left, dirty.top, SRCCOPY);
    SelectClipRgn(paint.Dc(), nullptr);
  }
  lit_.Paint(paint.Dc(), dirty, input_);
  bench::Mark("paint");
}

void frmMain::OnDestroy() {
  shell_.SetMainWindow(nullptr);
  PostQuitMessage(0);
}

}  // namespace startboard
