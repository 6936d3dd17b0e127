#include "core/OptionControls.h"

#include <cmath>
#include <utility>

#include "core/MainForm.h"
#include "core/RunControl.h"
#include "core/qv_detect.h"
#include "core/qv_joblist.h"
#include "core/qv_scan.h"

void ApplyOptionControls()
{
  TForm1* F = Form1;
  if (!F) return;
  TConversionOptions& O = ConversionOptions;
  O.PerDevice = F->radiobutton4->GetChecked();
  O.PerSelection = F->RadioButton5->GetChecked();
  O.NoCropping = F->radiobutton1->GetChecked();
  O.BlackBars = F->radiobutton12->GetChecked();
  O.FullscreenStretch = F->radiobutton4x->GetChecked();
  O.ConvertOnly = F->skSkinCheckRadioBox4x->GetChecked();
  O.LimitMinutes = F->limit->GetValue();
  O.SourceFolderOutput = F->videofolder->GetChecked();
  O.EjectWhenDone = F->checkbox11->GetChecked();
  O.NicerSubtitles = F->dvdnav->GetChecked();
  O.EnableHastekit = F->mencoder2->GetChecked();
  O.CoreCount = IntToStr(static_cast<int>(std::lround(F->corecount->GetValue())));
  O.OpenFolderWhenDone = F->skSkinCheckRadioBox4->GetChecked();
  O.Destination = F->xcedit2->GetCaption();
  O.PriorityIndex = F->prioritybox1->GetItemIndex();
  O.SelfExit = F->selfexit->GetChecked();
  O.ShutdownComputer = F->checkbox1->GetChecked();
  O.ConvertAutomatically = F->checkbox2->GetChecked();
  O.BeforeCommand = F->skSkinLabel2->GetCaption();
  O.AfterCommand = F->skSkinLabel3->GetCaption();

  ClosedCaptionsEnabled = F->cc->GetChecked();

  TScanHost& S = ScanHost();
  S.RememberFolders = F->checkbox12->GetChecked();
  S.SkipConverted = F->checkbox13->GetChecked();
  S.ConvertAutomatically = F->checkbox2->GetChecked();
  S.MonitorDiscs = F->checkbox10->GetChecked();
  S.ScanDiscsOnStartup = F->checkbox9->GetChecked();

  TDetectionHost& D = DetectionHost();
  D.ForcedFrameRate = F->fpstext->GetText();
  D.DetectWithPlayerFix = F->detect2->GetChecked();
  D.DvdAsVobs = F->vobmark->GetChecked();
  D.AskTitles = F->askscan->GetChecked();
  D.EpisodeRecognition = F->episodes->GetChecked();
  TTrackPreferences& T = D.TrackPreferences;
  T.AudioByLanguage = F->checkbox4->GetChecked();
  T.Audio1 = F->combobox4->GetText();
  T.Audio2 = F->combobox5->GetText();
  T.SubtitleByLanguage = F->checkbox5->GetChecked();
  T.Subtitle1 = F->combobox6->GetText();
  T.Subtitle2 = F->combobox7->GetText();
  T.AlwaysSubtitles = F->checkbox8->GetChecked();
}

namespace {

// Every option control's event runs ApplyOptionControls first, so that its own handler already
// reads the new value (the priority box applies ConversionOptions.PriorityIndex), then its own
// handler. The
// linked handler is marked by a wrapper type so that a second link finds it.
struct TLinked {
  TNotifyEvent Own;
  void operator()(TObject* Sender) const
  {
    ApplyOptionControls();
    if (Own) Own(Sender);
  }
};

void Link(TNotifyEvent& Event)
{
  if (Event.target<TLinked>()) return;
  Event = TLinked{std::move(Event)};
}

}  // namespace

void LinkOptionControls()
{
  TForm1* F = Form1;
  if (!F) return;
  for (TskSkinCheckRadioBox* B :
       {F->radiobutton4, F->RadioButton5, F->radiobutton1, F->radiobutton2, F->radiobutton3, F->radiobutton12,
        F->radiobutton4x, F->skSkinCheckRadioBox4x, F->videofolder, F->checkbox11, F->dvdnav, F->mencoder2,
        F->skSkinCheckRadioBox4, F->selfexit, F->checkbox1, F->checkbox2, F->cc, F->checkbox12, F->checkbox13,
        F->checkbox10, F->checkbox9, F->detect2, F->vobmark, F->askscan, F->episodes, F->checkbox4, F->checkbox5,
        F->checkbox7, F->checkbox8, F->radiobutton6})
    Link(B->OnClick);
  for (TOptionComboBox* C : {F->prioritybox1, F->fpstext, F->combobox4, F->combobox5, F->combobox6, F->combobox7})
    Link(C->OnChange);
  for (TskSkinSpinEdit* E : {F->limit, F->corecount}) Link(E->OnChange);
}
