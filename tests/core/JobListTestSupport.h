// Shared set-up of the job-list, command-line and conversion tests: the main window with its
// preset table, a 22-column device queue, a work folder, and helpers that queue devices and
// sources directly into the grids.
#pragma once

#include <map>
#include <string>

#include "MainFormTestSupport.h"
#include "core/CodecPresets.h"
#include "core/DeviceProfiles.h"
#include "core/SourceRow.h"
#include "core/ToolProcesses.h"
#include "core/qv_joblist.h"
#include "platform/rtl/Convert.h"

namespace jobtest {

struct TDevice {
  std::string Name = "Test Player";
  std::string Screen = "480x272";
  std::string VideoRate = "800";
  std::string AudioRate = "128";
  std::string Preset = "xvid_mp3";
  std::string FrameRate = "25";
  std::string Channels = "2";
  std::string Volume = "5";
  std::string Passes = "1";
  std::string Folder;  // default: the test's output folder
  std::string Upscaling = "No";
  std::string SpeedLimitSwitch, SpeedLimit;
  std::string Brightness = "0", Contrast = "0";
};

class TJobTest : public mainformtest::TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    WorkFolder = Dir + "work/";
    SetToolLookupFolder(WorkFolder);  // the kill routines reach only this run's tools
    OutFolder = Dir + "out/";
    AppendCodecPresets(Form->codecgrid);
    Form->dq->SetColCount(22);
    ClosedCaptionsEnabled = false;
  }
  void TearDown() override
  {
    SetToolLookupFolder("");
    TMainFormTest::TearDown();
  }

  int AddDevice(const TDevice& D)
  {
    auto* G = Form->dq;
    const int R = AppendGridRow(G);
    const std::map<int, std::string> Cells = {
        {DeviceNameCol, D.Name},         {DeviceSizeCol, D.Screen},         {DeviceVideoRateCol, D.VideoRate},
        {DeviceAudioRateCol, D.AudioRate}, {DevicePresetCol, D.Preset},      {DeviceFrameRateCol, D.FrameRate},
        {DeviceBrightnessCol, D.Brightness}, {DeviceContrastCol, D.Contrast}, {DeviceChannelsCol, D.Channels},
        {DeviceVolumeCol, D.Volume},     {DevicePassesCol, D.Passes},       {DeviceFolderCol, D.Folder.empty() ? OutFolder : D.Folder},
        {DeviceSpeedLimitSwitchCol, D.SpeedLimitSwitch}, {DeviceSpeedLimitCol, D.SpeedLimit},
        {DeviceAllowUpscalingCol, D.Upscaling}};
    for (const auto& [C, T] : Cells) G->SetCells(C, R, T);
    return R;
  }

  // A marked video source of 640 x 480 at 25 fps, 60 s, with the overrides given.
  int AddSource(const std::string& Name, const std::map<int, std::string>& Overrides = {})
  {
    auto* G = Form->StringGrid1;
    const int R = AppendGridRow(G);
    std::map<int, std::string> Cells = {
        {scNumber, SourceRowNumberText(R).c_str()}, {scType, "VIDEO"}, {scName, Name}, {scLength, "60"},
        {scVideoCodec, "mpeg4"}, {scWidth, "640"}, {scHeight, "480"}, {scFrameRate, "25.000"},
        {scAspect, "0"}, {scAudioCodec, "mp3"}, {scSourcePath, "/media/" + Name + ".avi"},
        {scInputArgs, "\"/media/" + Name + ".avi\" "}, {scTrimStart, "0"}, {scTrimEnd, "60"},
        {scSubtitlesOn, "NO"}, {scZero32, "0"}, {scZero33, "0"}, {scConvert, "Yes"}, {scConvertSeconds, "60"},
        {scOutputName, Name}, {scDisplayWidth, "640"}, {scDisplayHeight, "480"}};
    for (const auto& [C, T] : Overrides) Cells[C] = T;
    for (const auto& [C, T] : Cells) G->SetCells(C, R, T);
    return R;
  }

  // One more row of the preset table.
  void AddPreset(const char* Id, const char* Tool, const char* Options, const char* Ext)
  {
    const int R = Form->codecgrid->GetRowCount();
    Form->codecgrid->SetRowCount(R + 1);
    Form->codecgrid->SetCells(CodecIdCol, R, Id);
    Form->codecgrid->SetCells(CodecToolCol, R, Tool);
    Form->codecgrid->SetCells(CodecOptionsCol, R, Options);
    Form->codecgrid->SetCells(CodecExtensionCol, R, Ext);
  }

  std::string Job(int Col, int Row) { return Form->convertgrid->GetCells(Col, Row); }
  int JobRows() { return Form->convertgrid->GetRowCount() - 1; }

  std::string OutFolder;
};

}  // namespace jobtest
