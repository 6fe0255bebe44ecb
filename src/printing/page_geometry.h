// The page a renderer draws on, and the preview's paging and zoom rules.
#ifndef BELVON_PRINTING_PAGE_GEOMETRY_H
#define BELVON_PRINTING_PAGE_GEOMETRY_H

namespace printing {

// What a chosen printer reports of its printable area.
struct PrinterInfo {
  int pageWidthMm = 0;   // whole millimetres
  int pageHeightMm = 0;
  int deviceWidth = 0;   // printer pixels
  int deviceHeight = 0;
};

// The four values every renderer receives: logical size in tenths of a
// millimetre, viewport size in device pixels (printer or screen).
struct PageGeometry {
  int logicalWidth = 0;
  int logicalHeight = 0;
  int viewportWidth = 0;
  int viewportHeight = 0;
  friend bool operator==(const PageGeometry&, const PageGeometry&) = default;
};

// "Aufträge DIN A5": the device size is divided by 1.42 (truncated), so an
// A4 layout comes out at about 70 % from the top-left corner. The preview is
// not affected because it does not use the device size.
PrinterInfo ApplyA5Rule(PrinterInfo info, bool ordersOnA5);

PageGeometry PrintingGeometry(const PrinterInfo& info);
PageGeometry PreviewGeometry(const PrinterInfo& info, int zoom);

inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 20;
// TargetPage while printing: no renderer stops before it.
inline constexpr int kPrintAllPages = 9999;

// Screen pixels per millimetre the preview starts with.
int StartZoom(int screenWidth);

// The preview's keys, as far as they concern the page and the sheet.
enum class PreviewKey {
  Escape, PageUp, PageDown, ZoomIn, ZoomOut, Left, Right, Up, Down, Other
};
enum class PreviewAction { None, Close, Repaint, Place };

struct PreviewView {
  int targetPage = 1;
  int zoom = 3;
  int scrollX = 0;  // screen position of the window, pixels
  int scrollY = 0;
};

// Applies a key to the view and says what the window has to do.
PreviewAction HandlePreviewKey(PreviewView& view, PreviewKey key);

}  // namespace printing

#endif  // BELVON_PRINTING_PAGE_GEOMETRY_H
