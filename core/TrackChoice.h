// Track choice and language names. Every new source row gets a default audio track and a
// default subtitle choice; every track line can be shown as a short description, the track's
// id and its language name. DescribeTrack reads every line form identification stores (the
// player's "audio stream:" and "subtitle ( sid ):" lines, "128_LANG=en", "128 ?????", and the
// "SRT File:"/"SUB File:" side files, which stay as they are).
//
// The choice compares the language name of a description with the whole text of a preference
// (a language combo box item such as "EN (English)"): the names here and the combo items are
// the same texts. Tests are exact, case-sensitive substring tests, and an empty name never
// matches.
#pragma once

#include <vector>

#include "core/SourceRow.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/System.h"

// The English name of a two-letter language code (any case), or the code upper-cased (A-Z)
// when the table lacks it.
String LanguageName(const String& Code);
// The 136 items of the language combo boxes: "EN (English)" ..., in table order.
std::vector<String> LanguageComboItems();
// The description of one track line: id, one blank, language name.
String DescribeTrack(const String& Line);

// What the option pages say about the default tracks.
struct TTrackPreferences {
  bool AudioByLanguage = false;     // "Default audio selection:"
  String Audio1 = "EN (English)";   // first and second preferred audio language
  String Audio2 = "EN (English)";
  bool SubtitleByLanguage = false;  // "Default subtitle selection:"
  String Subtitle1 = "EN (English)";
  String Subtitle2 = "EN (English)";
  bool AlwaysSubtitles = false;     // "Always use subtitles when available"
};

// The lines of a track-list cell as the main window's memo (Memo1 for audio, Memo2 for
// subtitles) splits them; a plain list when there is no main window.
std::vector<String> TrackLines(const String& Cell, bool Subtitles);

// The audio choice without preferences: when the row has audio lines and no choice yet, the
// first AC-3 5.1 line (trimmed text holds "5.1" and "c3"), else line 0.
template <class TGrid>
void SelectAudioTrack(TGrid* Grid, int Row)
{
  const String Tracks = Grid->GetCells(scAudioTracks, Row);
  if (Tracks.empty() || !Trim(Grid->GetCells(scAudioChoice, Row)).empty()) return;
  const std::vector<String> Lines = TrackLines(Tracks, false);
  int Choice = 0;
  for (size_t I = 0; I < Lines.size(); ++I) {
    const String T = Trim(Lines[I]);
    if (T.find("5.1") != String::npos && T.find("c3") != String::npos) {
      Choice = static_cast<int>(I);
      break;
    }
  }
  Grid->SetCells(scAudioChoice, Row, Lines.empty() ? String() : Trim(DescribeTrack(Lines[Choice])));
  Grid->SetCells(scAudioChoiceLine, Row, IntToStr(Choice));
}

// The first line whose language name lies within First, else within Second, else line 0;
// FirstFound tells whether First matched. False when the list is empty.
bool ChooseTrackByLanguage(const std::vector<String>& Lines, const String& First, const String& Second, int& Choice,
                           bool& FirstFound);

template <class TGrid>
void SelectAudioByLanguage(TGrid* Grid, int Row, const TTrackPreferences& Prefs)
{
  const String Tracks = Grid->GetCells(scAudioTracks, Row);
  if (Tracks.empty()) return;
  const std::vector<String> Lines = TrackLines(Tracks, false);
  int Choice = 0;
  bool FirstFound = false;
  const bool Any = ChooseTrackByLanguage(Lines, Prefs.Audio1, Prefs.Audio2, Choice, FirstFound);
  Grid->SetCells(scAudioChoice, Row, Any ? Trim(DescribeTrack(Lines[Choice])) : String());
  Grid->SetCells(scAudioChoiceLine, Row, IntToStr(Choice));
  Grid->SetCells(scAudioLangFound, Row, FirstFound ? "YES" : "NO");
}

template <class TGrid>
void SelectSubtitleByLanguage(TGrid* Grid, int Row, const TTrackPreferences& Prefs)
{
  const String Tracks = Grid->GetCells(scSubtitleTracks, Row);
  if (Tracks.empty()) return;
  const std::vector<String> Lines = TrackLines(Tracks, true);
  int Choice = 0;
  bool FirstFound = false;
  const bool Any = ChooseTrackByLanguage(Lines, Prefs.Subtitle1, Prefs.Subtitle2, Choice, FirstFound);
  Grid->SetCells(scSubtitleChoice, Row, Any ? Trim(DescribeTrack(Lines[Choice])) : String());
  Grid->SetCells(scSubtitleChoiceLine, Row, IntToStr(Choice));
}

// The default tracks of one row: the audio choice (by language or by AC-3 5.1), the subtitle
// choice by language, and subtitles on when the first audio language is missing or when they
// are always wanted.
template <class TGrid>
void SelectDefaultTracks(TGrid* Grid, int Row, const TTrackPreferences& Prefs)
{
  if (Prefs.AudioByLanguage)
    SelectAudioByLanguage(Grid, Row, Prefs);
  else
    SelectAudioTrack(Grid, Row);
  if (Prefs.SubtitleByLanguage) {
    SelectSubtitleByLanguage(Grid, Row, Prefs);
    Grid->SetCells(scSubtitleDefaultRan, Row, "NO");
  }
  if (Grid->GetCells(scAudioLangFound, Row) == "NO") {
    SelectSubtitleByLanguage(Grid, Row, Prefs);
    Grid->SetCells(scSubtitlesOn, Row, "YES");
  } else {
    Grid->SetCells(scSubtitlesOn, Row, "NO");
  }
  if (Prefs.AlwaysSubtitles) {
    SelectSubtitleByLanguage(Grid, Row, Prefs);
    Grid->SetCells(scSubtitlesOn, Row, "YES");
  }
}
