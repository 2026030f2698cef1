#include "app/FrameToolbar.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "resources/ResourceIds.h"

namespace {

constexpr int kButtonPadding = 7;

// Colour depth of bitmap resource `resourceId`, 0 when there is none.
int BitmapBitCount(HINSTANCE instance, UINT resourceId) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_BITMAP);
  if (found == nullptr || SizeofResource(instance, found) < sizeof(BITMAPINFOHEADER)) return 0;
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* header =
      static_cast<const BITMAPINFOHEADER*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  return header != nullptr ? header->biBitCount : 0;
}

int FontHeight(HWND toolbar) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(toolbar, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW description{};
  if (font == nullptr || GetObjectW(font, sizeof(description), &description) == 0) return 0;
  return std::abs(description.lfHeight);
}

// 16-colour pictures go to the toolbar as they are; deeper ones through an image list, with
// 32-bit ones keeping their own transparency.
UniqueImageList AddToolbarImages(HWND toolbar, HINSTANCE instance, UINT resourceId, int imageWidth,
                                 int buttonCount) {
  const int bitCount = BitmapBitCount(instance, resourceId);
  if (bitCount <= 4) {
    TBADDBITMAP bitmap{instance, resourceId};
    SendMessageW(toolbar, TB_ADDBITMAP, static_cast<WPARAM>(buttonCount), reinterpret_cast<LPARAM>(&bitmap));
    return UniqueImageList();
  }
  UniqueImageList images(ImageList_LoadImageW(instance, MAKEINTRESOURCEW(resourceId), imageWidth, 1,
                                              bitCount == 32 ? CLR_NONE : CLR_DEFAULT, IMAGE_BITMAP,
                                              LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
  SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
  return images;
}

RECT ButtonRect(HWND bar, int index) {
  RECT rect{};
  SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
  return rect;
}

}  // namespace

std::vector<TBBUTTON> MakeToolbarButtons(const std::vector<WORD>& ids, bool leadingSeparator) {
  std::vector<TBBUTTON> buttons;
  auto addSeparator = [&buttons] {
    TBBUTTON separator{};
    separator.iBitmap = kToolbarSeparatorWidth;
    separator.fsStyle = BTNS_SEP;
    buttons.push_back(separator);
  };
  if (leadingSeparator) addSeparator();
  int image = 0;
  for (WORD id : ids) {
    if (id == 0) {
      addSeparator();
      continue;
    }
    TBBUTTON button{};
    button.iBitmap = image++;
    button.idCommand = id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    buttons.push_back(button);
  }
  return buttons;
}

ToolbarSizes ComputeToolbarSizes(int imageWidth, int imageHeight, int fontHeight) {
  const int height = std::max(imageHeight, fontHeight);
  return ToolbarSizes{SIZE{imageWidth, height}, SIZE{imageWidth + kButtonPadding, height + kButtonPadding}};
}

ResourceToolbar CreateResourceToolbar(HWND parent, HINSTANCE instance, UINT resourceId, DWORD style,
                                      UINT controlId, bool leadingSeparator) {
  ResourceToolbar toolbar;
  std::optional<ToolbarLayout> layout = LoadToolbarLayout(instance, resourceId);
  if (!layout) return toolbar;
  std::vector<TBBUTTON> buttons = MakeToolbarButtons(layout->items, leadingSeparator);
  const auto buttonCount = std::count_if(buttons.begin(), buttons.end(),
                                         [](const TBBUTTON& button) { return button.idCommand != 0; });

  HWND window = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), instance, nullptr);
  if (window == nullptr) return toolbar;
  SendMessageW(window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  const int fontHeight = FontHeight(window);
  toolbar.images =
      AddToolbarImages(window, instance, resourceId, layout->imageWidth, static_cast<int>(buttonCount));
  SendMessageW(window, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  const ToolbarSizes sizes = ComputeToolbarSizes(layout->imageWidth, layout->imageHeight, fontHeight);
  SendMessageW(window, TB_SETBITMAPSIZE, 0, MAKELPARAM(sizes.bitmap.cx, sizes.bitmap.cy));
  SendMessageW(window, TB_SETBUTTONSIZE, 0, MAKELPARAM(sizes.button.cx, sizes.button.cy));
  toolbar.window = window;
  return toolbar;
}

BandExtent BandExtentFromButtons(const RECT& first, const RECT& last) {
  return BandExtent{last.right, first.right, last.bottom - last.top};
}

BandExtent BandExtentFromWindow(const RECT& window) {
  return BandExtent{window.right - window.left, 0, window.bottom - window.top};
}

UINT BandStyle(int buttonCount, bool newRow) {
  UINT style = RBBS_CHILDEDGE;
  if (buttonCount > 0) style |= RBBS_USECHEVRON;
  if (newRow) style |= RBBS_BREAK;
  return style;
}

bool AddBarBand(HWND rebar, HWND bar, bool newRow) {
  const int buttonCount = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  BandExtent extent;
  if (buttonCount > 0) {
    extent = BandExtentFromButtons(ButtonRect(bar, 0), ButtonRect(bar, buttonCount - 1));
  } else {
    RECT window{};
    GetWindowRect(bar, &window);
    extent = BandExtentFromWindow(window);
  }

  REBARBANDINFOW band{};
  band.cbSize = REBARBANDINFOW_V6_SIZE;
  band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID | RBBIM_IDEALSIZE;
  band.fStyle = BandStyle(buttonCount, newRow);
  band.hwndChild = bar;
  band.wID = BAND_ID_FIRST + static_cast<UINT>(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
  band.cx = static_cast<UINT>(extent.width);
  band.cxMinChild = static_cast<UINT>(extent.minWidth);
  band.cyMinChild = static_cast<UINT>(extent.minHeight);
  band.cxIdeal = static_cast<UINT>(extent.width);
  if (SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) == 0) {
    return false;
  }
  const auto extended = static_cast<DWORD>(SendMessageW(bar, TB_GETEXTENDEDSTYLE, 0, 0));
  SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(extended | TBSTYLE_EX_HIDECLIPPEDBUTTONS));
  return true;
}

// ---- display scale ----

ToolbarArt ToolbarArtForDpi(UINT dpi) {
  static constexpr ToolbarArt kDrawn[] = {
      {RES_MAIN, SIZE{16, 15}}, {RES_TOOLBAR_24, SIZE{24, 22}}, {RES_TOOLBAR_32, SIZE{32, 30}}};
  const int wanted = MulDiv(16, static_cast<int>(dpi), 96);
  const ToolbarArt* best = &kDrawn[0];
  for (const ToolbarArt& art : kDrawn) {
    if (std::abs(art.imageSize.cx - wanted) < std::abs(best->imageSize.cx - wanted)) best = &art;
  }
  return *best;
}

bool ApplyToolbarArt(ResourceToolbar& toolbar, HINSTANCE instance, const ToolbarArt& art) {
  if (toolbar.window == nullptr) return false;
  // The strips are 16-colour with light grey around the pictures: the corner colour is the mask.
  UniqueImageList images(ImageList_LoadImageW(instance, MAKEINTRESOURCEW(art.bitmapId), art.imageSize.cx, 1,
                                              CLR_DEFAULT, IMAGE_BITMAP, LR_CREATEDIBSECTION));
  if (!images) return false;
  SendMessageW(toolbar.window, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
  // The list shown before goes only once the toolbar no longer shows it.
  toolbar.images = std::move(images);
  const ToolbarSizes sizes = ComputeToolbarSizes(art.imageSize.cx, art.imageSize.cy, FontHeight(toolbar.window));
  SendMessageW(toolbar.window, TB_SETBITMAPSIZE, 0, MAKELPARAM(sizes.bitmap.cx, sizes.bitmap.cy));
  SendMessageW(toolbar.window, TB_SETBUTTONSIZE, 0, MAKELPARAM(sizes.button.cx, sizes.button.cy));
  SendMessageW(toolbar.window, TB_AUTOSIZE, 0, 0);
  return true;
}

void UpdateBarBand(HWND rebar, HWND bar) {
  if (rebar == nullptr || bar == nullptr) return;
  const int buttonCount = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  const int bandCount = static_cast<int>(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
  if (buttonCount <= 0) return;
  const BandExtent extent = BandExtentFromButtons(ButtonRect(bar, 0), ButtonRect(bar, buttonCount - 1));
  for (int index = 0; index < bandCount; ++index) {
    REBARBANDINFOW band{};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask = RBBIM_CHILD;
    if (!SendMessageW(rebar, RB_GETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band)) ||
        band.hwndChild != bar)
      continue;
    band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    band.cx = static_cast<UINT>(extent.width);
    band.cxMinChild = static_cast<UINT>(extent.minWidth);
    band.cyMinChild = static_cast<UINT>(extent.minHeight);
    band.cxIdeal = static_cast<UINT>(extent.width);
    SendMessageW(rebar, RB_SETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band));
  }
}
