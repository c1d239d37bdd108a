#include "ui/Resample.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace startboard {

namespace {

constexpr int kChannels = 4;
constexpr int kPrecisionBits = 22;  // weights times 255 times a few taps fit in 32 bits
constexpr std::int32_t kHalf = 1 << (kPrecisionBits - 1);  // rounds a sum to nearest

// The source pixels that make one output pixel, with their weights.
struct Taps {
  std::vector<int> first;  // first source pixel of each output pixel
  std::vector<int> count;
  std::vector<std::int32_t> weights;  // `span` a pixel, fixed point
  int span = 0;
};

Taps TapsFor(int inSize, int outSize) {
  const double scale = static_cast<double>(inSize) / outSize;
  const double reach = std::max(scale, 1.0);  // the filter's half width, in source pixels
  const double perPixel = 1.0 / reach;
  Taps taps;
  taps.span = static_cast<int>(std::ceil(reach)) * 2 + 1;
  taps.first.resize(static_cast<std::size_t>(outSize));
  taps.count.resize(static_cast<std::size_t>(outSize));
  taps.weights.resize(static_cast<std::size_t>(outSize) * static_cast<std::size_t>(taps.span));
  std::vector<double> weight(static_cast<std::size_t>(taps.span));
  for (int out = 0; out < outSize; ++out) {
    const double centre = (out + 0.5) * scale;
    const int first = std::max(0, static_cast<int>(std::floor(centre - reach + 0.5)));
    const int count = std::min(inSize, static_cast<int>(std::floor(centre + reach + 0.5))) - first;
    double total = 0.0;
    for (int i = 0; i < count; ++i) {
      const double distance = std::fabs((i + first - centre + 0.5) * perPixel);
      weight[static_cast<std::size_t>(i)] = distance < 1.0 ? 1.0 - distance : 0.0;
      total += weight[static_cast<std::size_t>(i)];
    }
    const auto o = static_cast<std::size_t>(out);
    taps.first[o] = first;
    taps.count[o] = count;
    for (int i = 0; i < count; ++i) {
      const double share = total != 0.0 ? weight[static_cast<std::size_t>(i)] / total : 0.0;
      taps.weights[o * static_cast<std::size_t>(taps.span) + static_cast<std::size_t>(i)] =
          static_cast<std::int32_t>(std::floor(0.5 + share * (1 << kPrecisionBits)));
    }
  }
  return taps;
}

std::uint8_t Clamp8(std::int32_t sum) {
  return static_cast<std::uint8_t>(std::clamp(sum >> kPrecisionBits, 0, 255));
}

// A row of `step` bytes a pixel (3 or 4) filtered across into `row`, of
// four: each output pixel the weighted sum of its taps, its colours only.
// (Spelt out colour by colour: as fast at -Os as a loop is at -O2.)
void FilterAcross(const std::uint8_t* source, int step, const Taps& across, int width,
                  std::uint8_t* row) {
  const auto span = static_cast<std::size_t>(across.span);
  for (int x = 0; x < width; ++x) {
    const auto xo = static_cast<std::size_t>(x);
    const std::uint8_t* from = source + static_cast<std::ptrdiff_t>(across.first[xo]) * step;
    const std::int32_t* weights = &across.weights[xo * span];
    std::int32_t blue = kHalf;
    std::int32_t green = kHalf;
    std::int32_t red = kHalf;
    for (int i = 0; i < across.count[xo]; ++i, from += step) {
      blue += from[0] * weights[i];
      green += from[1] * weights[i];
      red += from[2] * weights[i];
    }
    std::uint8_t* target = row + xo * kChannels;
    target[0] = Clamp8(blue);
    target[1] = Clamp8(green);
    target[2] = Clamp8(red);
    target[3] = 255;
  }
}

}  // namespace

void Resample(const ConstPixels& from, const Pixels& to) { ResampleRows(from, to, 0, to.height); }

void ResampleRows(const ConstPixels& from, const Pixels& to, int firstRow, int endRow) {
  if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) return;
  const Taps across = TapsFor(from.width, to.width);
  const Taps down = TapsFor(from.height, to.height);
  // Rows already filtered across, each in slot (row % span).
  const auto rowBytes = static_cast<std::size_t>(to.width) * kChannels;
  std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(down.span));
  std::vector<const std::uint8_t*> window(static_cast<std::size_t>(down.span));
  int nextRow = firstRow < endRow ? down.first[static_cast<std::size_t>(firstRow)] : 0;
  for (int y = firstRow; y < endRow; ++y) {
    const auto yo = static_cast<std::size_t>(y);
    const int first = down.first[yo];
    const int count = down.count[yo];
    for (; nextRow < first + count; ++nextRow) {
      std::uint8_t* row = &rows[rowBytes * static_cast<std::size_t>(nextRow % down.span)];
      FilterAcross(from.Row(nextRow), from.channels, across, to.width, row);
    }
    const std::int32_t* weights = &down.weights[yo * static_cast<std::size_t>(down.span)];
    for (int i = 0; i < count; ++i) {
      window[static_cast<std::size_t>(i)] =
          &rows[rowBytes * static_cast<std::size_t>((first + i) % down.span)];
    }
    std::uint8_t* target = to.Row(y);
    for (std::size_t at = 0; at < rowBytes; ++at) {
      std::int32_t sum = kHalf;
      for (int i = 0; i < count; ++i) sum += window[static_cast<std::size_t>(i)][at] * weights[i];
      target[at] = Clamp8(sum);
    }
  }
}

}  // namespace startboard
