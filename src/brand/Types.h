// The shapes of a launcher's brand: the tables tools/brand
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
enum class ActionKind { None, Open, Install, Web, About, Quit, Explore, Page, Back };
struct Action {
  ActionKind kind{};
  std::string_view path{};       // Open: the document; Install: the program; Explore: the folder
  std::string_view noProgram{};  // Open: the box when no program opens its type
  std::string_view url{};        // Web
  std::string_view showFirst{};  // Install: a document shown first ("" none)
  std::string_view question{};   // Install: asked Yes/No first ("" none)
  std::string_view questionTitle{};
  bool thenQuit{};  // Open, Install, Web: the launcher closes once the shell started it
  std::string_view arguments{};  // Install: the program's command line, as written
  bool elevate{};                // Install: started with administrator rights
  int page{};                    // Page: the page opened, by its place in the language's pages
};

// One question a zone's or page's `when` and `unless` ask of the machine;
// a list holds where every one does.
enum class ConditionKind { Windows, Machine, DiscFile, RegistryKey, RegistryValue };
// The processor Windows itself runs on, as bits so a test can take several.
enum Machine : unsigned { kX86 = 1, kX64 = 2, kArm64 = 4 };
enum class Hive { LocalMachine, CurrentUser };
struct WindowsVersion {
  unsigned major{}, minor{}, build{};
  bool operator==(const WindowsVersion&) const = default;
  constexpr bool AtLeast(const WindowsVersion& other) const {
    if (major != other.major) return major > other.major;
    if (minor != other.minor) return minor > other.minor;
    return build >= other.build;
  }
};
struct Condition {
  ConditionKind kind{};
  WindowsVersion atLeast{};  // Windows: this version or a later one
  unsigned machines{};       // Machine: any of these
  std::string_view path{};   // DiscFile: on the disc; Registry*: the key below its hive
  std::string_view value{};  // RegistryValue: the value's name
  Hive hive{};
  bool view32{};  // Registry*: the 32-bit programs' view on 64-bit Windows
};

// An invisible, captionless label lying over one painted menu item.
struct HotZone {
  std::string_view name{};
  TwipRect twips{};
  std::string_view tooltip{};
  Action click{};
  // Present where every `when` test holds, and not where every `unless` one does.
  std::span<const Condition> when{};
  std::span<const Condition> unless{};
};

// One picture of the window and its zones. The menu is the first page; a
// brand with more gives every language all of them, the menu first.
struct Page {
  std::string_view name{};
  Art art{};
  Art hover{};
  Art pressed{};
  Art off{};  // drawn where a zone is absent (id 0: the page as it is)
  std::span<const HotZone> zones{};
  std::span<const int> focusOrder{};  // by index into zones
  // The page opens first where its tests hold (the first such page).
  std::span<const Condition> when{};
  std::span<const Condition> unless{};
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
  // Every page, the menu first; empty for a brand whose menu is its only page.
  std::span<const Page> pages{};
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
