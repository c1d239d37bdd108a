// The shapes of a launcher's brand: the tables tools/brand/brand.py
// generates from the brand file into brand/Data.h. A leaf, as that file is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "brand/Geometry.h"

namespace startboard {

using Rgb = std::uint32_t;  // 0xRRGGBB

// Every member has a default, so the generated rows name only what they set.

// One picture as embedded: its 96-dpi form (a BITMAP, or a PNG or JPEG file
// as RCDATA: `encoded`) and its form at twice that size (a PNG, JPEG or BMP
// file as RCDATA; 0 when there is none).
struct Art {
  int id{};
  bool encoded{};
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

// What a failed start says: the text of each shell result code that has
// one, and of any other code; and a web link's two failures.
struct Failure {
  std::int32_t code{};
  std::string_view text{};
};
struct Messages {
  std::array<Failure, 11> failures{};
  std::string_view unknownError{};
  std::string_view noBrowser{};   // no program opens the probe page
  std::string_view pageFailed{};  // the browser did not start
};

// One of the brand's languages: every text and picture the user meets.
struct Language {
  // A Windows language id; with no sublanguage (the top six bits 0) it
  // stands for every country of its primary language.
  std::uint16_t id{};
  std::string_view title{};
  Art menuArt{};
  Art hover{};    // the menu lit (id 0: none)
  Art pressed{};  // the menu pressed (id 0: none)
  std::span<const HotZone> zones{};
  std::string_view aboutTitle{};
  std::span<const AboutControl> aboutControls{};
  const Messages* messages{};
};

// The language for a user's UI language: the same language and country, else
// the same language (one for all its countries first), else the first (the
// brand's own).
constexpr const Language& LanguageFor(std::span<const Language> languages, std::uint16_t user) {
  constexpr std::uint16_t kPrimaryMask = 0x3FF;
  const auto primary = static_cast<std::uint16_t>(user & kPrimaryMask);
  const Language* best = &languages.front();
  int bestScore = 0;
  for (const Language& language : languages) {
    int score = 0;
    if (language.id == user) {
      score = 3;
    } else if (language.id == primary) {
      score = 2;
    } else if ((language.id & kPrimaryMask) == primary) {
      score = 1;
    }
    if (score > bestScore) {
      bestScore = score;
      best = &language;
    }
  }
  return *best;
}

}  // namespace startboard
