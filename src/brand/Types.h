// The shapes of a launcher's brand: the tables tools/brand/brand.py
// generates from the brand file into brand/Data.h. A leaf, as that file is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "brand/Geometry.h"

namespace startboard {

using Rgb = std::uint32_t;  // 0xRRGGBB

// Every member has a default, so the generated rows name only what they set.

// One picture as embedded: its 96-dpi form (a BITMAP, or a JPEG as RCDATA)
// and its form at twice that size (a JPEG as RCDATA; 0 when there is none).
struct Art {
  int id{};
  bool jpeg{};
  int id2x{};
  constexpr bool Present() const { return id != 0; }
};

// What a click runs. Paths are on the disc, relative to the launcher.
enum class ActionKind { None, Open, Install, Web, About, Quit };
struct Action {
  ActionKind kind{};
  std::string_view path{};       // Open: the document; Install: the program
  std::string_view noProgram{};  // Open: the box when no program opens its type
  std::string_view url{};        // Web
  std::string_view showFirst{};  // Install: a document shown first ("" none)
  std::string_view question{};   // Install: asked Yes/No first ("" none)
  std::string_view questionTitle{};
  bool thenQuit{};  // Open, Install, Web: the launcher closes once the shell started it
};

// An invisible, captionless label lying over one painted menu item.
struct HotZone {
  std::string_view name{};
  TwipRect twips{};
  std::string_view tooltip{};
  Action click{};
  constexpr bool TakesMouse() const { return true; }
};

enum class ControlKind { Label, Picture, Oval };

struct FontStyle {
  bool bold{};
  bool underline{};
};

struct AboutControl {
  ControlKind kind{};
  std::string_view name{};
  TwipRect twips{};
  std::string_view text{};  // UTF-8; labels wrap within their width
  std::optional<Rgb> background{};
  Rgb colour{};                  // a label's text, an oval's fill
  std::optional<Rgb> outline{};  // an oval's 1-pixel edge
  FontStyle font{};
  Art picture{};
  std::string_view tooltip{};
  Action click{};
  // Picture boxes are windows of their own and shapes take no mouse input.
  constexpr bool TakesMouse() const { return kind == ControlKind::Label; }
};

}  // namespace startboard
