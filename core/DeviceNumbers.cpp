#include "core/DeviceNumbers.h"

#include <climits>

#include "core/DeviceProfiles.h"
#include "platform/rtl/Convert.h"
#include "skin/shell/SkinGrids.h"

const std::vector<int>& DeviceNumberColumns()
{
  static const std::vector<int> Columns = {DeviceVideoRateCol, DeviceAudioRateCol, DeviceBrightnessCol,
                                           DeviceContrastCol,  DeviceChannelsCol,  DeviceVolumeCol,
                                           DevicePassesCol,    DeviceSpeedLimitCol};
  return Columns;
}

bool ReadWholeNumber(const String& Text, int& Value)
{
  size_t I = 0, End = Text.size();
  while (I < End && Text[I] == ' ') ++I;
  while (End > I && Text[End - 1] == ' ') --End;
  const bool Negative = I < End && Text[I] == '-';
  if (Negative) ++I;
  if (I == End) return false;
  long long V = 0;
  for (; I < End; ++I) {
    if (Text[I] < '0' || Text[I] > '9') return false;
    V = V * 10 + (Text[I] - '0');
    if (V > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (Negative) V = -V;
  if (V > INT_MAX || V < INT_MIN) return false;
  Value = static_cast<int>(V);
  return true;
}

String DeviceNumberFault(int Row, const std::function<String(int Col)>& Cell)
{
  for (int Col : DeviceNumberColumns()) {
    const String Text = Cell(Col);
    int Value = 0;
    if (Text.empty() || ReadWholeNumber(Text, Value)) continue;
    String Shown = Text;
    for (char& C : Shown)
      if (static_cast<unsigned char>(C) < 0x20 || C == 0x7f) C = ' ';
    return "Device " + IntToStr(Row) + ": \"" + Shown + "\" in column " + IntToStr(Col) + " is not a whole number";
  }
  return "";
}

String DeviceNumberFaults(TskSkinStringGrid* Grid)
{
  String Lines;
  for (int R = 1; R < Grid->GetRowCount(); ++R) {
    const String Fault = DeviceNumberFault(R, [&](int Col) { return Grid->GetCells(Col, R); });
    if (!Fault.empty()) Lines += (Lines.empty() ? "" : "\n") + Fault;
  }
  return Lines;
}
