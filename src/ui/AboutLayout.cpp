#include "ui/AboutLayout.h"

namespace startboard {

const AboutControl* AboutControlAt(int x, int y, int dpi) {
  return FrontmostAt(std::span<const AboutControl>(kAboutControls), x, y, dpi);
}

}  // namespace startboard
