// The About window: the product's and maker's logos, contact details and
// three links, drawn from one table of controls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/Layout.h"

namespace startboard {

inline constexpr std::string_view kAboutCaption = "About...";
inline constexpr TwipRect kAboutClient{0, 0, 6855, 6225};

inline constexpr std::string_view MakerSiteUrl = "http://www.quillmere.example.com";
inline constexpr std::string_view ProductSiteUrl = "http://nv98.example.net";
inline constexpr std::string_view SupportMailAddress = "help@nv98.example.com";
inline constexpr std::string_view SupportMailUrl = "mailto:help@nv98.example.com";

using Rgb = std::uint32_t;  // 0xRRGGBB
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kLightCyan = 0xC0FFFF;
inline constexpr Rgb kBlue = 0x0000FF;

enum class ControlKind { Label, Picture, Oval };
enum class Artwork { None, ProductLogo, MakerLogo };

struct FontStyle {
  bool bold;
  bool underline;
};

struct AboutControl {
  ControlKind kind;
  std::string_view name;
  TwipRect twips;
  std::string_view text;  // UTF-8; labels wrap within their width
  std::optional<Rgb> background;
  Rgb textColour;
  FontStyle font;
  Artwork picture;
  std::string_view tooltip;
  Command click;
  // Picture boxes are windows of their own and shapes take no mouse input.
  constexpr bool TakesMouse() const { return kind == ControlKind::Label; }
};

// Window-wide font: MS Sans Serif 8.25 points.
inline constexpr std::string_view kAboutFontFace = "MS Sans Serif";
inline constexpr int kAboutFontHundredthsOfPoint = 825;

// Stacking order, front to back.
extern const std::array<AboutControl, 12> kAboutControls;

// The label that takes a click at a client pixel at `dpi`, or nullptr.
const AboutControl* AboutControlAt(int x, int y, int dpi);

void ShowAbout(ShellServices& shell);
void OpenMakerSite(ShellServices& shell);
void OpenProductSite(ShellServices& shell);
void MailSupport(ShellServices& shell);

}  // namespace startboard
