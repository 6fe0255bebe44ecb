// How large the picture window shows a picture, in percent of its size.
#ifndef BELVON_PICTURES_PICTURE_ZOOM_H
#define BELVON_PICTURES_PICTURE_ZOOM_H

#include <cstdint>

namespace pictures {

// A picture opens with its larger side at about 320 pixels, enlarged or
// reduced: the first zoom from 1 on at which one side reaches 320.
inline int OpeningZoom(int width, int height) {
  if (width < 1 || height < 1) return 100;
  int zoom = 1;
  while (std::int64_t{width} * zoom / 100 < 320 && std::int64_t{height} * zoom / 100 < 320) ++zoom;
  return zoom;
}

// The zoom after the user made the window `clientWidth` pixels wide.
inline int ZoomForWidth(int clientWidth, int width) { return clientWidth * 100 / width + 1; }

// One side of the picture shown at `zoom`.
inline int Zoomed(int side, int zoom) { return static_cast<int>(std::int64_t{side} * zoom / 100); }

}  // namespace pictures

#endif  // BELVON_PICTURES_PICTURE_ZOOM_H
