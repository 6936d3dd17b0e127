// The stock objects.
#include <cstring>
#include <mutex>

#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiPalette.h"
#include "platform/gdi/GdiPen.h"

namespace {

constexpr int StockCount = DC_PEN + 1;

HGDIOBJ Register(std::unique_ptr<TGdiObject> O)
{
  O->Stock = true;
  return GdiRegisterObject(std::move(O));
}

HGDIOBJ Brush(COLORREF Color, UINT Style = BS_SOLID, bool DcColor = false)
{
  auto B = std::make_unique<TGdiBrush>();
  B->Style = Style;
  B->Color = Color;
  B->DcColor = DcColor;
  return Register(std::move(B));
}

HGDIOBJ Pen(DWORD Style, COLORREF Color, bool DcColor = false)
{
  auto P = std::make_unique<TGdiPen>(false);
  P->Style = Style;
  P->Width = 1;
  P->Color = Color;
  P->DcColor = DcColor;
  return Register(std::move(P));
}

HGDIOBJ Font(const char* Face, LONG Height, LONG Width, LONG Weight, BYTE CharSet, BYTE Pitch)
{
  LOGFONTA L;
  L.lfHeight = Height;
  L.lfWidth = Width;
  L.lfWeight = Weight;
  L.lfCharSet = CharSet;
  L.lfPitchAndFamily = Pitch;
  std::strncpy(L.lfFaceName, Face, LF_FACESIZE - 1);
  return Register(std::make_unique<TGdiFont>(L));
}

struct TStock {
  HGDIOBJ Objects[StockCount] = {};
  HBITMAP Bitmap = nullptr;
  TStock()
  {
    Objects[WHITE_BRUSH] = Brush(RGB(255, 255, 255));
    Objects[LTGRAY_BRUSH] = Brush(RGB(192, 192, 192));
    Objects[GRAY_BRUSH] = Brush(RGB(128, 128, 128));
    Objects[DKGRAY_BRUSH] = Brush(RGB(64, 64, 64));
    Objects[BLACK_BRUSH] = Brush(RGB(0, 0, 0));
    Objects[NULL_BRUSH] = Brush(0, BS_NULL);
    Objects[WHITE_PEN] = Pen(PS_SOLID, RGB(255, 255, 255));
    Objects[BLACK_PEN] = Pen(PS_SOLID, RGB(0, 0, 0));
    Objects[NULL_PEN] = Pen(PS_NULL, 0);
    Objects[OEM_FIXED_FONT] = Font("Terminal", 12, 8, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN);
    Objects[ANSI_FIXED_FONT] = Font("Courier", 12, 9, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN);
    Objects[ANSI_VAR_FONT] = Font("MS Sans Serif", 12, 9, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
    Objects[SYSTEM_FONT] = Font("System", 16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
    Objects[DEVICE_DEFAULT_FONT] = Font("System", 16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS);
    Objects[SYSTEM_FIXED_FONT] = Font("Fixedsys", 15, 8, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN);
    Objects[DEFAULT_GUI_FONT] = Font("MS Shell Dlg", -11, 0, FW_NORMAL, ANSI_CHARSET, DEFAULT_PITCH);
    {
      // The twenty static colours.
      const BYTE C[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0}, {0, 0, 128},
                             {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192},
                             {166, 202, 240}, {255, 251, 240}, {160, 160, 164}, {128, 128, 128},
                             {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {0, 0, 255},   {255, 0, 255},
                             {0, 255, 255},   {255, 255, 255}};
      auto P = std::make_unique<TGdiPalette>();
      for (auto& E : C)
        P->Entries.push_back(PALETTEENTRY{E[0], E[1], E[2], 0});
      Objects[DEFAULT_PALETTE] = Register(std::move(P));
    }
    Objects[DC_BRUSH] = Brush(RGB(255, 255, 255), BS_SOLID, true);
    Objects[DC_PEN] = Pen(PS_SOLID, RGB(0, 0, 0), true);
    Bitmap = static_cast<HBITMAP>(Register(TGdiBitmap::Make(1, 1, 1, true, false)));
  }
};

TStock& Stock()
{
  static TStock* S = new TStock;
  return *S;
}

} // namespace

HGDIOBJ GetStockObject(int Index)
{
  if (Index < 0 || Index >= StockCount)
    return nullptr;
  return Stock().Objects[Index];
}

HBITMAP GdiInternal::DefaultBitmap() { return Stock().Bitmap; }
