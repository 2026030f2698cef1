#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"
#include "resources/pixelmaps/PixelMap.h"
#include "win/UniqueHandle.h"

// The resources are linked into this program exactly as into the editor and read back through
// the platform's own resource functions: once per language explicitly, and once the way the
// editor loads them, which follows the user-interface language of the run (English or Russian).

namespace {

const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const WORD kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);

bool RussianInterface() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN; }

// The run's locale (LC_ALL, passed on by Wine) decides the interface language; a Russian run
// that is not Russian would let the language tests below pass for the wrong reason.
TEST(Resources, InterfaceLanguageFollowsTheLocale) {
  const char* locale = std::getenv("LC_ALL");
  if (locale == nullptr) GTEST_SKIP() << "no LC_ALL";
  EXPECT_EQ(RussianInterface(), std::string(locale).starts_with("ru"));
}

struct Bytes {
  const unsigned char* data = nullptr;
  DWORD size = 0;
};

Bytes FindBytes(const wchar_t* type, const wchar_t* name, WORD language) {
  HRSRC found = FindResourceExW(nullptr, type, name, language);
  if (found == nullptr) return {};
  return {static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found))),
          SizeofResource(nullptr, found)};
}

Bytes FindBytes(const wchar_t* type, const wchar_t* name) {
  return FindBytes(type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

// ---- Menu -------------------------------------------------------------------------------

struct MenuLine {
  UINT id;  // 0 for a popup or a separator
  const wchar_t* english;
  const wchar_t* russian;
};

// Popups start with a line of id 0 and text; separators have id 0 and no text.
const MenuLine kMainMenu[] = {
    {0, L"&File", L"&Файл"},
    {CMD_FILE_NEW, L"&New\tCtrl+N", L"&Новый\tCtrl+N"},
    {CMD_FILE_OPEN, L"&Open...\tCtrl+O", L"&Открыть...\tCtrl+O"},
    {CMD_FILE_SAVE, L"&Save\tCtrl+S", L"&Сохранить\tCtrl+S"},
    {CMD_FILE_SAVE_AS, L"Save &As...", L"Сохранить &как..."},
    {CMD_FILE_EXPORT_AMBIENCE, L"E&xport Ambience...\tCtrl+Shift+E", L"&Экспорт атмосферы...\tCtrl+Shift+E"},
    {0, nullptr, nullptr},
    {CMD_FILE_PRINT, L"&Print...\tCtrl+P", L"&Печать...\tCtrl+P"},
    {CMD_FILE_PRINT_PREVIEW, L"Print Pre&view", L"П&редпросмотр печати"},
    {CMD_FILE_PRINT_SETUP, L"P&rint Setup...", L"Параметры пе&чати..."},
    {0, nullptr, nullptr},
    {CMD_APP_EXIT, L"E&xit", L"&Выход"},
    {0, L"&Edit", L"&Редактирование"},
    {CMD_EDIT_UNDO, L"&Undo\tCtrl+Z", L"&Отменить\tCtrl+Z"},
    {CMD_EDIT_REDO, L"&Redo\tCtrl+Y", L"Пов&торить\tCtrl+Y"},
    {0, nullptr, nullptr},
    {CMD_EDIT_CUT, L"Cu&t\tCtrl+X", L"Вы&резать\tCtrl+X"},
    {CMD_EDIT_COPY, L"&Copy\tCtrl+C", L"&Копировать\tCtrl+C"},
    {CMD_EDIT_PASTE, L"&Paste\tCtrl+V", L"&Вставить\tCtrl+V"},
    {0, nullptr, nullptr},
    {CMD_ENTRY_INSERT, L"&Insert Entry\tIns", L"Вставить &новую запись\tIns"},
    {CMD_ENTRY_DUPLICATE, L"Duplicat&e Entry\tCtrl+D", L"&Дублировать запись\tCtrl+D"},
    {CMD_ENTRY_DELETE, L"&Delete Entry\tCtrl+Del", L"&Удалить запись\tCtrl+Del"},
    {0, nullptr, nullptr},
    {CMD_ENTRY_MOVE_UP, L"Mo&ve Up\tAlt+Up", L"Переместить вв&ерх\tAlt+Up"},
    {CMD_ENTRY_MOVE_DOWN, L"Move Do&wn\tAlt+Down", L"Переместить вн&из\tAlt+Down"},
    {0, nullptr, nullptr},
    {CMD_SOUND_PLAY, L"P&lay Sound\tF5", L"Прои&грать звук\tF5"},
    {CMD_SOUND_STOP, L"&Stop Sound\tShift+F5", L"О&становить звук\tShift+F5"},
    {CMD_SOUND_NEXT_MISSING, L"Ne&xt Problem\tF8", L"Следу&ющая проблема\tF8"},
    {CMD_SOUND_PREV_MISSING, L"Previous Pro&blem\tShift+F8", L"Предыдущая пробле&ма\tShift+F8"},
    {CMD_PROBLEM_QUICKFIX, L"&Quick Fix\tCtrl+.", L"&Быстрое исправление\tCtrl+."},
    {0, nullptr, nullptr},
    {CMD_EDIT_FIND, L"&Find...\tCtrl+F", L"Н&айти...\tCtrl+F"},
    {CMD_EDIT_FIND_NEXT, L"Find &Next\tF3", L"Найти с&ледующее\tF3"},
    {CMD_EDIT_REPLACE, L"Repl&ace...\tCtrl+H", L"&Заменить...\tCtrl+H"},
    {0, L"&View", L"&Вид"},
    {CMD_VIEW_TOOLBAR, L"&Toolbar", L"&Панель инструментов"},
    {CMD_VIEW_STATUS_BAR, L"&Status Bar", L"&Строка статуса"},
    {CMD_VIEW_TIMELINE, L"T&imeline\tF9", L"&Шкала времени\tF9"},
    {CMD_VIEW_PROBLEMS, L"&Problems\tCtrl+Shift+M", L"Пр&облемы\tCtrl+Shift+M"},
    {0, nullptr, nullptr},
    {0, L"Code Page of &Names", L"&Кодировка имён"},
    {CMD_VIEW_NAMES_SYSTEM, L"&System's", L"&Системная"},
    {CMD_VIEW_NAMES_1251, L"Windows-&1251 (Cyrillic)", L"Windows-&1251 (кириллица)"},
    {CMD_VIEW_SOUND_FOLDER, L"Sound &Folder...", L"Папка &звуков..."},
    {CMD_VIEW_SOUND_FOLDER_AUTO, L"Find Sound Folder &Automatically", L"Искать папку звуков &автоматически"},
    {0, L"&Ambience", L"&Атмосфера"},
    {CMD_AMBIENCE_PLAY, L"&Play Ambience\tCtrl+F5", L"&Слушать атмосферу\tCtrl+F5"},
    {0, nullptr, nullptr},
    {CMD_AMBIENCE_DAWN, L"&Dawn\tCtrl+1", L"&Рассвет\tCtrl+1"},
    {CMD_AMBIENCE_DAY, L"D&ay\tCtrl+2", L"&День\tCtrl+2"},
    {CMD_AMBIENCE_SUNSET, L"&Sunset\tCtrl+3", L"&Закат\tCtrl+3"},
    {CMD_AMBIENCE_NIGHT, L"&Night\tCtrl+4", L"&Ночь\tCtrl+4"},
    {0, nullptr, nullptr},
    {CMD_AMBIENCE_RESHUFFLE, L"&Reshuffle", L"&Перетасовать"},
    {0, L"&Volume Scale", L"&Шкала громкости"},
    {CMD_AMBIENCE_SCALE_AUTO, L"&Guessed from the List", L"&Угадать по списку"},
    {CMD_AMBIENCE_SCALE_PERCENT, L"&Percent (0 to 100)", L"&Проценты (от 0 до 100)"},
    {CMD_AMBIENCE_SCALE_CENTIBELS, L"&Hundredths of a Decibel (-10000 to 0)",
     L"&Сотые доли децибела (от -10000 до 0)"},
    {CMD_AMBIENCE_SCALE_BYTE, L"&0 to 255", L"&От 0 до 255"},
    {0, L"&Window", L"&Окно"},
    {CMD_WINDOW_CLOSE, L"&Close\tCtrl+F4", L"&Закрыть\tCtrl+F4"},
    {CMD_WINDOW_CLOSE_ALL, L"Close &All", L"Закрыть &все"},
    {0, L"&Help", L"&Помощь"},
    {CMD_APP_ABOUT, L"&About Lanterfell...", L"&О приложении..."},
};

// The menu flattened into lines of the same shape as kMainMenu, as "id|text" strings; a
// cascading popup's items follow its own line.
std::vector<std::wstring> Flatten(HMENU menu, bool topLevel) {
  std::vector<std::wstring> lines;
  for (int index = 0; index < GetMenuItemCount(menu); ++index) {
    wchar_t text[128]{};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 128;
    GetMenuItemInfoW(menu, index, TRUE, &info);
    if (topLevel && info.hSubMenu == nullptr) lines.push_back(L"unexpected nesting");
    bool separator = (info.fType & MFT_SEPARATOR) != 0;
    lines.push_back(std::to_wstring(info.hSubMenu ? 0 : info.wID) + L"|" + (separator ? L"-" : text));
    if (info.hSubMenu == nullptr) continue;
    for (std::wstring& line : Flatten(info.hSubMenu, false)) lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::wstring> ExpectedMenu(bool russian) {
  std::vector<std::wstring> lines;
  for (const MenuLine& line : kMainMenu) {
    const wchar_t* text = russian ? line.russian : line.english;
    lines.push_back(std::to_wstring(line.id) + L"|" + (text ? text : L"-"));
  }
  return lines;
}

TEST(Resources, MainMenuInBothLanguages) {
  for (bool russian : {false, true}) {
    Bytes bytes = FindBytes(RT_MENU, MAKEINTRESOURCEW(RES_MAIN), russian ? kRussian : kEnglish);
    ASSERT_NE(bytes.data, nullptr);
    UniqueMenu menu(LoadMenuIndirectW(bytes.data));
    ASSERT_TRUE(menu);
    EXPECT_EQ(Flatten(menu.get(), true), ExpectedMenu(russian)) << (russian ? "Russian" : "English");
  }
}

TEST(Resources, MainMenuFollowsTheInterfaceLanguage) {
  UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN)));
  ASSERT_TRUE(menu);
  EXPECT_EQ(GetMenuItemCount(menu.get()), 6);
  EXPECT_EQ(Flatten(menu.get(), true), ExpectedMenu(RussianInterface()));
}

// ---- Accelerators -----------------------------------------------------------------------

TEST(Resources, AcceleratorTableServesBothLanguages) {
  const ACCEL expected[] = {
      {FVIRTKEY | FCONTROL, 'N', CMD_FILE_NEW},
      {FVIRTKEY | FCONTROL, 'O', CMD_FILE_OPEN},
      {FVIRTKEY | FCONTROL, 'S', CMD_FILE_SAVE},
      {FVIRTKEY | FCONTROL, 'P', CMD_FILE_PRINT},
      {FVIRTKEY | FCONTROL, 'Z', CMD_EDIT_UNDO},
      {FVIRTKEY | FCONTROL, 'X', CMD_EDIT_CUT},
      {FVIRTKEY | FCONTROL, 'C', CMD_EDIT_COPY},
      {FVIRTKEY | FCONTROL, 'V', CMD_EDIT_PASTE},
      {FVIRTKEY | FALT, VK_BACK, CMD_EDIT_UNDO},
      {FVIRTKEY | FSHIFT, VK_DELETE, CMD_EDIT_CUT},
      {FVIRTKEY | FCONTROL, VK_INSERT, CMD_EDIT_COPY},
      {FVIRTKEY | FSHIFT, VK_INSERT, CMD_EDIT_PASTE},
      {FVIRTKEY, VK_F6, CMD_NEXT_PANE},
      {FVIRTKEY | FSHIFT, VK_F6, CMD_PREV_PANE},
      {FVIRTKEY | FCONTROL, 'Y', CMD_EDIT_REDO},
      {FVIRTKEY, VK_INSERT, CMD_ENTRY_INSERT},
      {FVIRTKEY | FCONTROL, 'D', CMD_ENTRY_DUPLICATE},
      {FVIRTKEY | FCONTROL, VK_DELETE, CMD_ENTRY_DELETE},
      {FVIRTKEY | FALT, VK_UP, CMD_ENTRY_MOVE_UP},
      {FVIRTKEY | FALT, VK_DOWN, CMD_ENTRY_MOVE_DOWN},
      {FVIRTKEY, VK_F5, CMD_SOUND_PLAY},
      {FVIRTKEY | FSHIFT, VK_F5, CMD_SOUND_STOP},
      {FVIRTKEY, VK_F8, CMD_SOUND_NEXT_MISSING},
      {FVIRTKEY | FSHIFT, VK_F8, CMD_SOUND_PREV_MISSING},
      {FVIRTKEY | FCONTROL | FSHIFT, 'M', CMD_VIEW_PROBLEMS},
      {FVIRTKEY | FCONTROL, VK_OEM_PERIOD, CMD_PROBLEM_QUICKFIX},
      {FVIRTKEY | FCONTROL, 'F', CMD_EDIT_FIND},
      {FVIRTKEY, VK_F3, CMD_EDIT_FIND_NEXT},
      {FVIRTKEY | FCONTROL, 'H', CMD_EDIT_REPLACE},
      {FVIRTKEY | FCONTROL, '1', CMD_AMBIENCE_DAWN},
      {FVIRTKEY | FCONTROL, '2', CMD_AMBIENCE_DAY},
      {FVIRTKEY | FCONTROL, '3', CMD_AMBIENCE_SUNSET},
      {FVIRTKEY | FCONTROL, '4', CMD_AMBIENCE_NIGHT},
      {FVIRTKEY | FCONTROL | FSHIFT, 'E', CMD_FILE_EXPORT_AMBIENCE},
      {FVIRTKEY, VK_F9, CMD_VIEW_TIMELINE},
      {FVIRTKEY | FCONTROL, VK_F5, CMD_AMBIENCE_PLAY},
  };
  HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN));
  ASSERT_NE(table, nullptr);
  ACCEL entries[48]{};
  ASSERT_EQ(CopyAcceleratorTableW(table, entries, 48), static_cast<int>(std::size(expected)));
  for (int index = 0; index < static_cast<int>(std::size(expected)); ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(entries[index].fVirt & ~0x80, expected[index].fVirt);  // 0x80 marks the last entry
    EXPECT_EQ(entries[index].key, expected[index].key);
    EXPECT_EQ(entries[index].cmd, expected[index].cmd);
  }
  DestroyAcceleratorTable(table);
  // One table: neither language has one of its own.
  EXPECT_EQ(FindResourceExW(nullptr, RT_ACCELERATOR, MAKEINTRESOURCEW(RES_MAIN), kRussian),
            FindResourceExW(nullptr, RT_ACCELERATOR, MAKEINTRESOURCEW(RES_MAIN), kEnglish));
}

// ---- Toolbar layout and bitmap ----------------------------------------------------------

TEST(Resources, ToolbarLayoutWords) {
  Bytes bytes = FindBytes(MAKEINTRESOURCEW(RES_TYPE_TOOLBAR), MAKEINTRESOURCEW(RES_MAIN));
  ASSERT_NE(bytes.data, nullptr);
  const std::vector<WORD> expected = {1,
                                      16,
                                      15,
                                      13,
                                      CMD_FILE_NEW,
                                      CMD_FILE_OPEN,
                                      CMD_FILE_SAVE,
                                      0,
                                      CMD_EDIT_CUT,
                                      CMD_EDIT_COPY,
                                      CMD_EDIT_PASTE,
                                      0,
                                      CMD_FILE_PRINT,
                                      CMD_APP_ABOUT,
                                      0,
                                      CMD_SOUND_PLAY,
                                      CMD_AMBIENCE_PLAY};
  ASSERT_EQ(bytes.size, expected.size() * sizeof(WORD));
  std::vector<WORD> words(expected.size());
  for (size_t index = 0; index < words.size(); ++index) {
    words[index] = static_cast<WORD>(bytes.data[2 * index] | (bytes.data[2 * index + 1] << 8));
  }
  EXPECT_EQ(words, expected);
}

// The text pixel maps the pictures were generated from; this program carries them as data.
std::vector<PixelImage> PixelMapSource(int id) {
  Bytes bytes = FindBytes(RT_RCDATA, MAKEINTRESOURCEW(id));
  std::istringstream text(std::string(reinterpret_cast<const char*>(bytes.data), bytes.size));
  PixelMapResult map = ParsePixelMap(text);
  EXPECT_EQ(map.error, "");
  return map.images;
}

bool HasStandardPalette(const RGBQUAD* colors) {
  for (int index = 0; index < 16; ++index) {
    const PaletteColor& want = StandardPalette()[index];
    if (colors[index].rgbRed != want.red || colors[index].rgbGreen != want.green ||
        colors[index].rgbBlue != want.blue) {
      return false;
    }
  }
  return true;
}

int FourBitPixel(const unsigned char* bits, int stride, int height, int x, int y) {
  unsigned char pair = bits[(height - 1 - y) * stride + x / 2];
  return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

TEST(Resources, ToolbarBitmapIsTheDrawnStrip) {
  Bytes bytes = FindBytes(RT_BITMAP, MAKEINTRESOURCEW(RES_MAIN));
  ASSERT_GE(bytes.size, sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD) + 80 * 15);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data);
  EXPECT_EQ(header->biWidth, 160);
  EXPECT_EQ(header->biHeight, 15);
  EXPECT_EQ(header->biBitCount, 4);
  EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
  const auto* palette = reinterpret_cast<const RGBQUAD*>(bytes.data + header->biSize);
  EXPECT_TRUE(HasStandardPalette(palette));

  std::vector<PixelImage> images = PixelMapSource(1);
  ASSERT_EQ(images.size(), 10u);
  const char* names[] = {"New", "Open", "Save", "Cut", "Copy", "Paste", "Print", "About", "Play", "Ambience"};
  const unsigned char* bits = bytes.data + header->biSize + 16 * sizeof(RGBQUAD);
  int mismatches = 0;
  for (int picture = 0; picture < 10; ++picture) {
    EXPECT_EQ(images[picture].name, names[picture]);
    for (int y = 0; y < 15; ++y) {
      for (int x = 0; x < 16; ++x) {
        if (FourBitPixel(bits, 80, 15, picture * 16 + x, y) != images[picture].At(x, y)) ++mismatches;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Light grey is the background the menu bar takes as transparent.
  EXPECT_EQ(FourBitPixel(bits, 80, 15, 0, 0), 7);
  EXPECT_EQ(FourBitPixel(bits, 80, 15, 159, 14), 7);

  HBITMAP loaded = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN));
  ASSERT_NE(loaded, nullptr);
  UniqueBitmap bitmap(loaded);
  BITMAP info{};
  GetObjectW(bitmap.get(), sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 160);
  EXPECT_EQ(info.bmHeight, 15);
}

// `pixels` (`width` across, row by row) without each column that repeats the one before it,
// then without each row that repeats the one before it: what is left of a picture made larger
// by drawing some of its lines twice is the picture it was made from.
std::vector<std::vector<int>> WithoutRepeatedLines(const std::vector<int>& pixels, int width) {
  const int height = static_cast<int>(pixels.size()) / width;
  std::vector<int> columns;
  for (int x = 0; x < width; ++x) {
    bool same = x > 0;
    for (int y = 0; same && y < height; ++y) same = pixels[y * width + x] == pixels[y * width + x - 1];
    if (!same) columns.push_back(x);
  }
  std::vector<std::vector<int>> rows;
  for (int y = 0; y < height; ++y) {
    std::vector<int> row;
    for (int x : columns) row.push_back(pixels[y * width + x]);
    if (rows.empty() || rows.back() != row) rows.push_back(row);
  }
  return rows;
}

// The drawn pixels' extent (not light grey) across and down.
SIZE DrawnExtent(const std::vector<int>& pixels, int width) {
  int left = width, right = -1, top = 1 << 20, bottom = -1;
  for (int index = 0; index < static_cast<int>(pixels.size()); ++index) {
    if (pixels[index] == 7) continue;
    left = std::min(left, index % width), right = std::max(right, index % width);
    top = std::min(top, index / width), bottom = std::max(bottom, index / width);
  }
  return right < 0 ? SIZE{0, 0} : SIZE{right - left + 1, bottom - top + 1};
}

// The strips for 150 % and 200 %: the same art filling the larger cells. At 200 % each pixel
// is a two-by-two block; at 150 % some of its lines are drawn twice, so that a picture is half
// as large again, yet shows nothing the art does not.
TEST(Resources, LargerToolbarStripsScaleTheArtToFillTheirCells) {
  std::vector<PixelImage> images = PixelMapSource(1);
  const int pictures = static_cast<int>(images.size());
  ASSERT_GE(pictures, 8);
  struct Strip {
    UINT id;
    int cellWidth, cellHeight;
  };
  for (const Strip& strip : {Strip{RES_TOOLBAR_24, 24, 22}, Strip{RES_TOOLBAR_32, 32, 30}}) {
    SCOPED_TRACE(strip.cellWidth);
    Bytes bytes = FindBytes(RT_BITMAP, MAKEINTRESOURCEW(strip.id));
    ASSERT_NE(bytes.data, nullptr);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data);
    ASSERT_EQ(header->biWidth, pictures * strip.cellWidth);
    ASSERT_EQ(header->biHeight, strip.cellHeight);
    ASSERT_EQ(header->biBitCount, 4);
    const int stride = ((pictures * strip.cellWidth * 4 + 31) / 32) * 4;
    ASSERT_GE(bytes.size,
              header->biSize + 16 * sizeof(RGBQUAD) + static_cast<size_t>(stride) * strip.cellHeight);
    const unsigned char* bits = bytes.data + header->biSize + 16 * sizeof(RGBQUAD);
    for (int picture = 0; picture < pictures; ++picture) {
      SCOPED_TRACE(images[picture].name);
      std::vector<int> art, cell;
      for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 16; ++x) art.push_back(images[picture].At(x, y));
      }
      for (int y = 0; y < strip.cellHeight; ++y) {
        for (int x = 0; x < strip.cellWidth; ++x)
          cell.push_back(FourBitPixel(bits, stride, strip.cellHeight, picture * strip.cellWidth + x, y));
      }
      EXPECT_EQ(WithoutRepeatedLines(cell, strip.cellWidth), WithoutRepeatedLines(art, 16));
      const SIZE drawn = DrawnExtent(art, 16), scaled = DrawnExtent(cell, strip.cellWidth);
      // Half as large again, or twice: less a line or two of the picture's own margin.
      EXPECT_GE(scaled.cx * 16, drawn.cx * strip.cellWidth - 16 * 2);
      EXPECT_GE(scaled.cy * 15, drawn.cy * strip.cellHeight - 15 * 2);
      if (strip.cellWidth == 32) {
        for (int y = 0; y < 30; ++y) {
          for (int x = 0; x < 32; ++x) ASSERT_EQ(cell[y * 32 + x], art[(y / 2) * 16 + x / 2]);
        }
      }
    }
  }
}

// ---- Icons ------------------------------------------------------------------------------

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

// Every size the shell asks for at any scale, drawn from the same two maps; 256 is written 0.
TEST(Resources, IconGroupHoldsEverySizeInFourBits) {
  Bytes bytes = FindBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(RES_MAIN));
  ASSERT_NE(bytes.data, nullptr);
  const auto* words = reinterpret_cast<const WORD*>(bytes.data);
  ASSERT_EQ(words[2], 5);  // count
  const auto* entries = reinterpret_cast<const IconGroupEntry*>(bytes.data + 6);
  const int sizes[] = {16, 24, 32, 48, 0};
  for (int index = 0; index < 5; ++index) {
    EXPECT_EQ(entries[index].width, sizes[index]);
    EXPECT_EQ(entries[index].height, sizes[index]);
    EXPECT_EQ(entries[index].bitCount, 4);
  }
}

// Reads an icon's mask and colour through the platform and compares them with the map:
// transparent pixels are masked out, the text is blue.
void ExpectIconMatches(int size, const PixelImage& image) {
  SCOPED_TRACE(size);
  HICON loaded = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN),
                                               IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  ASSERT_NE(loaded, nullptr);
  UniqueIcon icon(loaded);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon.get(), &info));
  UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  ASSERT_TRUE(color);

  BITMAPINFO request{};
  request.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> maskPixels(size * size), colorPixels(size * size);
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDIBits(screen, mask.get(), 0, size, maskPixels.data(), &request, DIB_RGB_COLORS), size);
  ASSERT_EQ(GetDIBits(screen, color.get(), 0, size, colorPixels.data(), &request, DIB_RGB_COLORS), size);
  ReleaseDC(nullptr, screen);

  ASSERT_EQ(image.width, size);
  int wrongMask = 0, wrongColor = 0, blue = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      bool transparent = image.At(x, y) == kTransparent;
      if (((maskPixels[y * size + x] & 0xFFFFFF) != 0) != transparent) ++wrongMask;
      if (transparent) continue;
      ++blue;
      if ((colorPixels[y * size + x] & 0xFFFFFF) != 0x0000FF) ++wrongColor;  // BGR order: blue
    }
  }
  EXPECT_EQ(wrongMask, 0);
  EXPECT_EQ(wrongColor, 0);
  EXPECT_GT(blue, size);  // there is text at all
}

TEST(Resources, IconsShowTheBlueTextOnTransparency) {
  std::vector<PixelImage> images = PixelMapSource(2);
  ASSERT_EQ(images.size(), 2u);
  ExpectIconMatches(32, images[0]);
  ExpectIconMatches(16, images[1]);
}

// ---- Strings ----------------------------------------------------------------------------

// A string of the table in one language, read from its block of sixteen counted strings.
std::wstring TableString(WORD language, UINT id) {
  Bytes bytes = FindBytes(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
  if (bytes.data == nullptr) return L"<no block>";
  const auto* cursor = reinterpret_cast<const wchar_t*>(bytes.data);
  for (UINT index = 0; index < id % 16; ++index) cursor += 1 + *cursor;
  if (*cursor == 0) return L"<missing>";
  return std::wstring(cursor + 1, *cursor);
}

struct StringLine {
  UINT id;
  const wchar_t* english;
  const wchar_t* russian;  // null: as English
};

const StringLine kStrings[] = {
    {RES_MAIN, L"Sonarwick", L"Редактор .bad-файлов"},
    {STR_ADD_ROW, L"<<bla-bla>>", L"<< Щелкните чтобы добавить фразу >>"},
    {STR_READY, L"Ready", L"Готово"},
    {CMD_FILE_NEW, L"Create a new document\nNew", L"Создать новый документ\nСоздать"},
    {CMD_FILE_OPEN, L"Open an existing document\nOpen", L"Открыть существующий документ\nОткрыть"},
    {CMD_FILE_CLOSE, L"Close the active document\nClose", L"Закрыть текущий документ\nЗакрыть"},
    {CMD_FILE_SAVE, L"Save the active document\nSave", L"Сохранить текущий документ\nСохранить"},
    {CMD_FILE_SAVE_AS, L"Save the active document with a new name\nSave As",
     L"Сохранить текущий документ под другим именем\nСохранить как"},
    {CMD_FILE_PAGE_SETUP, L"Change the printing options\nPage Setup",
     L"Изменить параметры страницы для печати\nПараметры страницы"},
    {CMD_FILE_PRINT_SETUP, L"Change the printer and printing options\nPrint Setup",
     L"Настроить принтер и параметры печати\nПараметры печати"},
    {CMD_FILE_PRINT, L"Print the active document\nPrint", L"Вывести текущий документ на принтер\nПечать"},
    {CMD_FILE_PRINT_PREVIEW, L"Display full pages\nPrint Preview",
     L"Отображает вид распечатанного документа\nПредпросмотр печати"},
    {CMD_EDIT_CLEAR, L"Erase the selection\nErase", L"Стереть выделенное\nСтереть"},
    {CMD_EDIT_CLEAR_ALL, L"Erase everything\nErase All", L"Стереть всё\nСтереть всё"},
    {CMD_EDIT_COPY, L"Copy the selection and put it on the Clipboard\nCopy",
     L"Скопировать выделенное в буфер обмена\nКопировать"},
    {CMD_EDIT_CUT, L"Cut the selection and put it on the Clipboard\nCut",
     L"Вырезать выделенное в буфер обмена\nВырезать"},
    {CMD_EDIT_FIND, L"Find entries by their names\nFind", L"Найти записи по имени\nНайти"},
    {CMD_EDIT_FIND_NEXT, L"Select the next entry whose name matches\nFind Next",
     L"Выбрать следующую запись с подходящим именем\nНайти следующее"},
    {CMD_EDIT_PASTE, L"Insert Clipboard contents\nPaste", L"Вставить содержимое буфера обмена\nВставить"},
    {CMD_EDIT_REPEAT, L"Repeat the last action\nRepeat", L"Повторить последнее действие\nПовторить действие"},
    {CMD_EDIT_REPLACE, L"Replace text in the entries' names\nReplace",
     L"Заменить текст в именах записей\nЗаменить"},
    {CMD_EDIT_SELECT_ALL, L"Select the entire document\nSelect All", L"Выделить весь документ\nВыделить всё"},
    {CMD_EDIT_UNDO, L"Undo the last action\nUndo", L"Отменить последнее действие\nОтменить"},
    {CMD_EDIT_REDO, L"Redo the previously undone action\nRedo", L"Повторить отменённое действие\nПовторить"},
    {CMD_WINDOW_NEW, L"Open another window for the active document\nNew Window",
     L"Открыть ещё одно окно для текущего документа\nНовое окно"},
    {CMD_WINDOW_ARRANGE, L"Arrange icons at the bottom of the window\nArrange Icons",
     L"Упорядочить значки внизу окна\nУпорядочить значки"},
    {CMD_WINDOW_CASCADE, L"Arrange windows so they overlap\nCascade Windows",
     L"Расположить окна каскадом, с перекрытием\nКаскадом"},
    {CMD_WINDOW_TILE_HORZ, L"Arrange windows as non-overlapping tiles\nTile Windows",
     L"Расположить окна рядом, без перекрытия\nРядом"},
    {CMD_WINDOW_TILE_VERT, L"Arrange windows as non-overlapping tiles\nTile Windows",
     L"Расположить окна рядом, без перекрытия\nРядом"},
    {CMD_WINDOW_SPLIT, L"Split the active window into panes\nSplit",
     L"Разделить текущее окно на области\nРазделить"},
    {CMD_APP_ABOUT, L"Display program information, version number and copyright\nAbout",
     L"Показать сведения о программе, её версию и авторские права\nО программе"},
    {CMD_APP_EXIT, L"Quit the application; prompts to save documents\nExit",
     L"Выход из приложения; предложение сохранить изменения\nВыход"},
    {CMD_NEXT_PANE, L"Switch to the next window pane\nNext Pane",
     L"Перейти к следующей области окна\nСледующая область"},
    {CMD_PREV_PANE, L"Switch back to the previous window pane\nPrevious Pane",
     L"Вернуться к предыдущей области окна\nПредыдущая область"},
    {CMD_VIEW_TOOLBAR, L"Show or hide the toolbar\nToggle ToolBar",
     L"Показать или скрыть панель инструментов\nПанель инструментов"},
    {CMD_VIEW_STATUS_BAR, L"Show or hide the status bar\nToggle StatusBar",
     L"Показать или скрыть строку статуса\nСтрока статуса"},
    {STR_SYSTEM_SIZE, L"Change the window size", L"Изменить размер окна"},
    {STR_SYSTEM_MOVE, L"Change the window position", L"Изменить положение окна"},
    {STR_SYSTEM_MINIMIZE, L"Reduce the window to an icon", L"Свернуть окно в значок"},
    {STR_SYSTEM_MAXIMIZE, L"Enlarge the window to full size", L"Развернуть окно во весь экран"},
    {STR_SYSTEM_NEXT_WINDOW, L"Switch to the next document window", L"Перейти к следующему окну документа"},
    {STR_SYSTEM_PREV_WINDOW, L"Switch to the previous document window",
     L"Перейти к предыдущему окну документа"},
    {STR_SYSTEM_CLOSE, L"Close the active window and prompts to save the documents",
     L"Закрыть активное окно с предложением сохранить документы"},
    {STR_SYSTEM_RESTORE, L"Restore the window to normal size", L"Восстановить обычный размер окна"},
    {STR_SYSTEM_TASK_LIST, L"Activate Task List", L"Открыть список задач"},
    {STR_WINDOW_PAGE, L"Activate this window", L"Перейти к этому окну"},
    {STR_FILE_MRU, L"Open this document", L"Открыть этот документ"},
};

TEST(Resources, StringTableInBothLanguages) {
  for (const StringLine& line : kStrings) {
    SCOPED_TRACE(line.id);
    EXPECT_EQ(TableString(kEnglish, line.id), line.english);
    EXPECT_EQ(TableString(kRussian, line.id), line.russian ? line.russian : line.english);
  }
}

// As the editor loads them: the prompt before the line feed, the short name after it.
TEST(Resources, StringsFollowTheInterfaceLanguage) {
  const bool russian = RussianInterface();
  for (const StringLine& line : kStrings) {
    SCOPED_TRACE(line.id);
    wchar_t text[256]{};
    int length = LoadStringW(GetModuleHandleW(nullptr), line.id, text, 256);
    std::wstring expected = russian && line.russian ? line.russian : line.english;
    EXPECT_EQ(std::wstring(text, length), expected);
  }
  wchar_t text[256]{};
  LoadStringW(GetModuleHandleW(nullptr), CMD_FILE_NEW, text, 256);
  std::wstring prompt = text;
  EXPECT_EQ(prompt.substr(prompt.find(L'\n') + 1), russian ? L"Создать" : L"New");
  LoadStringW(GetModuleHandleW(nullptr), CMD_EDIT_CUT, text, 256);
  prompt = text;
  EXPECT_EQ(prompt.substr(prompt.find(L'\n') + 1), russian ? L"Вырезать" : L"Cut");
  LoadStringW(GetModuleHandleW(nullptr), RES_MAIN, text, 256);
  EXPECT_EQ(std::wstring(text).find(L'\n'), std::wstring::npos);
}

// ---- About dialog -----------------------------------------------------------------------

// Reads the extended dialog template field by field.
class TemplateReader {
 public:
  explicit TemplateReader(const unsigned char* data) : data_(data) {}
  WORD Word() {
    WORD value = static_cast<WORD>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
  }
  DWORD Dword() {
    DWORD low = Word();
    return low | (static_cast<DWORD>(Word()) << 16);
  }
  // A string or an ordinal (0xFFFF followed by the number, written here as "#number").
  std::wstring NameOrOrdinal() {
    WORD first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    std::wstring text;
    for (WORD c = first; c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignToDword() { offset_ = (offset_ + 3) & ~size_t{3}; }

 private:
  const unsigned char* data_;
  size_t offset_ = 0;
};

struct DialogControl {
  DWORD style;
  short x, y, cx, cy;
  DWORD id;
  std::wstring className, text;
};

DialogControl ReadControl(TemplateReader& reader) {
  reader.AlignToDword();
  DialogControl control{};
  reader.Dword();  // help id
  reader.Dword();  // extended style
  control.style = reader.Dword();
  control.x = static_cast<short>(reader.Word());
  control.y = static_cast<short>(reader.Word());
  control.cx = static_cast<short>(reader.Word());
  control.cy = static_cast<short>(reader.Word());
  control.id = reader.Dword();
  control.className = reader.NameOrOrdinal();
  control.text = reader.NameOrOrdinal();
  WORD extra = reader.Word();
  for (WORD index = 0; index < (extra + 1) / 2; ++index) reader.Word();
  return control;
}

TEST(Resources, AboutDialogTemplate) {
  Bytes bytes = FindBytes(RT_DIALOG, MAKEINTRESOURCEW(RES_ABOUT_DIALOG));
  ASSERT_NE(bytes.data, nullptr);
  TemplateReader reader(bytes.data);
  EXPECT_EQ(reader.Word(), 1);       // version
  EXPECT_EQ(reader.Word(), 0xFFFF);  // extended template
  EXPECT_EQ(reader.Dword(), 0u);     // help id
  EXPECT_EQ(reader.Dword(), 0u);     // extended style
  EXPECT_EQ(reader.Dword(),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  ASSERT_EQ(reader.Word(), 4);  // controls
  const WORD geometry[] = {0, 0, 160, 134};
  for (WORD value : geometry) EXPECT_EQ(reader.Word(), value);
  EXPECT_EQ(reader.NameOrOrdinal(), L"");  // menu
  EXPECT_EQ(reader.NameOrOrdinal(), L"");  // class
  EXPECT_EQ(reader.NameOrOrdinal(), L"About");
  EXPECT_EQ(reader.Word(), 8);  // points
  EXPECT_EQ(reader.Word(), 0);  // weight
  EXPECT_EQ(reader.Word(), 0);  // italic and character set
  EXPECT_EQ(reader.NameOrOrdinal(), L"MS Sans Serif");

  const DWORD visibleChild = WS_CHILD | WS_VISIBLE;
  DialogControl ok = ReadControl(reader);
  EXPECT_EQ(ok.style, visibleChild | WS_TABSTOP | BS_DEFPUSHBUTTON);
  EXPECT_EQ(ok.id, static_cast<DWORD>(IDOK));
  EXPECT_EQ(ok.className, L"#128");  // button
  EXPECT_EQ(ok.text, L"OK");
  EXPECT_EQ(std::vector<short>({ok.x, ok.y, ok.cx, ok.cy}), std::vector<short>({57, 112, 50, 14}));

  DialogControl text = ReadControl(reader);
  EXPECT_EQ(text.style, visibleChild | WS_GROUP | SS_CENTER);
  EXPECT_EQ(text.id, 0xFFFFFFFFu);
  EXPECT_EQ(text.className, L"#130");  // static
  EXPECT_EQ(std::vector<short>({text.x, text.y, text.cx, text.cy}), std::vector<short>({16, 53, 128, 44}));
  std::vector<std::wstring> lines;
  std::wstringstream split(text.text);
  for (std::wstring line; std::getline(split, line, L'\n');) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_FALSE(lines[0].empty());
  EXPECT_EQ(lines[1], L"");
  EXPECT_EQ(lines[2], L".bad-file editor Application v0.1");
  EXPECT_EQ(lines[3], L"");
  EXPECT_NE(lines[4].find(L"2026"), std::wstring::npos);

  DialogControl picture = ReadControl(reader);
  EXPECT_EQ(picture.style, visibleChild | SS_ICON);
  EXPECT_EQ(picture.className, L"#130");
  EXPECT_EQ(picture.text, L"#128");
  EXPECT_EQ(std::vector<short>({picture.x, picture.y, picture.cx, picture.cy}),
            std::vector<short>({71, 22, 20, 20}));

  DialogControl group = ReadControl(reader);
  EXPECT_EQ(group.style, visibleChild | BS_GROUPBOX);
  EXPECT_EQ(group.className, L"#128");
  EXPECT_EQ(group.text, L"");
  EXPECT_EQ(std::vector<short>({group.x, group.y, group.cx, group.cy}), std::vector<short>({7, 7, 146, 99}));
}

}  // namespace
