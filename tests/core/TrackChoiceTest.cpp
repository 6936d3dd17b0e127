// Track choice and language names: the language table, the descriptions of every track line
// form, and the default audio and subtitle choice of a source row.
#include <gtest/gtest.h>

#include "MainFormTestSupport.h"
#include "core/TrackChoice.h"

using mainformtest::TMainFormTest;

namespace {

TEST(LanguageNames, TableLookupAndUnknownCodes)
{
  const struct {
    const char* Code;
    const char* Name;
  } Cases[] = {{"en", "English"}, {"EN", "English"}, {"En", "English"}, {"xx", "XX"}, {"ge", "German"},
               {"jp", "Japanese"}, {"DU", "Dutch"},   {"sv", "Swedish"}, {"sw", "Swahili"}, {"", ""},
               {"te", "Tegulu"},  {"zu", "Zulu"},    {"aa", "Afar"},    {"e\xc3\xa9", "E\xc3\xa9"}};
  for (const auto& C : Cases) EXPECT_EQ(LanguageName(C.Code), C.Name) << C.Code;
  const std::vector<String> Items = LanguageComboItems();
  ASSERT_EQ(Items.size(), 136u);
  EXPECT_EQ(Items.front(), "AA (Afar)");
  EXPECT_EQ(Items.back(), "ZU (Zulu)");
  EXPECT_EQ(std::count(Items.begin(), Items.end(), "EN (English)"), 1);
  EXPECT_EQ(std::count(Items.begin(), Items.end(), "GE (German)"), 0);
}

TEST(LanguageNames, DescribeEveryTrackLineForm)
{
  const struct {
    const char* Line;
    const char* Description;
  } Cases[] = {
      {"audio stream: 0 format: ac3 (5.1) language: en aid: 128.", "128 English"},
      {"audio stream: 1 format: ac3 (stereo) language: de aid: 129.", "129 German"},
      {"subtitle ( sid ): 0 language: en", "0 English"},
      {"subtitle ( sid ): 12 language: fr", "12 French"},
      {"128_LANG=en", "128 English"},
      {"1_LANG=eng", "1 English"},
      {"2_LANG=fre", "2 French"},
      {"3_LANG=spa", "3 SP"},  // three-letter codes are read by their first two letters
      {"128 ?????", "128 ????"},
      {"SRT File: /films/My Film.srt", "SRT File: /films/My Film.srt"},
      {"SUB File: /films/a.sub", "SUB File: /films/a.sub"},
      // A side file's path may hold the words of the other forms.
      {"SRT File:/home/user/subtitles/film.srt", "SRT File:/home/user/subtitles/film.srt"},
      {"SUB File:/films/audio stream/a.sub", "SUB File:/films/audio stream/a.sub"},
      {"SRT File:/films/subtitle ( sid ): 3/b.ssa", "SRT File:/films/subtitle ( sid ): 3/b.ssa"},
      {"", ""},
      {"x", "X"},
  };
  for (const auto& C : Cases) EXPECT_EQ(DescribeTrack(C.Line), C.Description) << C.Line;
}

class TrackChoice : public TMainFormTest {
protected:
  TStringGrid* Q = nullptr;
  void SetUp() override
  {
    TMainFormTest::SetUp();
    Q = NewGrid(SourceRowColCount, 2);
  }
  std::vector<std::string> Choice()
  {
    std::vector<std::string> Out;
    for (int C : {scAudioChoice, scAudioChoiceLine, scSubtitlesOn, scSubtitleChoice, scSubtitleChoiceLine,
                  scAudioLangFound, scSubtitleDefaultRan})
      Out.push_back(Q->GetCells(C, 1));
    return Out;
  }
  static TTrackPreferences Prefs(bool Audio, const char* A1, const char* A2, bool Subs = false, const char* S1 = "",
                                 const char* S2 = "", bool Always = false)
  {
    TTrackPreferences P;
    P.AudioByLanguage = Audio;
    P.Audio1 = A1;
    P.Audio2 = A2;
    P.SubtitleByLanguage = Subs;
    P.Subtitle1 = S1;
    P.Subtitle2 = S2;
    P.AlwaysSubtitles = Always;
    return P;
  }
};

TEST_F(TrackChoice, WithoutPreferencesTheFirstAc3FiveOneTrack)
{
  const struct {
    const char* Audio;
    const char* Expected;
    const char* Line;
  } Cases[] = {
      {"audio stream: 0 format: ac3 (stereo) language: en aid: 128.\r\n"
       "audio stream: 1 format: ac3 (5.1) language: en aid: 129.\r\n",
       "129 English", "1"},
      {"audio stream: 0 format: mp2 (stereo) language: de aid: 192.\r\n", "192 German", "0"},
      {"128_LANG=en", "128 English", "0"},
  };
  for (const auto& C : Cases) {
    Q->SetCells(scAudioTracks, 1, C.Audio);
    Q->SetCells(scAudioChoice, 1, "");
    SelectDefaultTracks(Q, 1, TTrackPreferences());
    EXPECT_EQ(Q->GetCells(scAudioChoice, 1), C.Expected) << C.Audio;
    EXPECT_EQ(Q->GetCells(scAudioChoiceLine, 1), C.Line) << C.Audio;
    EXPECT_EQ(Q->GetCells(scSubtitlesOn, 1), "NO");
    EXPECT_EQ(Q->GetCells(scAudioLangFound, 1), "");
  }
}

TEST_F(TrackChoice, AMadeChoiceStaysWithoutPreferencesAndIsRedoneWithThem)
{
  Q->SetCells(scAudioTracks, 1, "128_LANG=de\r\n129_LANG=en\r\n");
  Q->SetCells(scAudioChoice, 1, "128 German");
  Q->SetCells(scAudioChoiceLine, 1, "0");
  SelectDefaultTracks(Q, 1, TTrackPreferences());
  EXPECT_EQ(Q->GetCells(scAudioChoice, 1), "128 German");
  SelectDefaultTracks(Q, 1, Prefs(true, "EN (English)", "DE (German)"));
  EXPECT_EQ(Q->GetCells(scAudioChoice, 1), "129 English");
  EXPECT_EQ(Q->GetCells(scAudioChoiceLine, 1), "1");
}

TEST_F(TrackChoice, LanguagePreferencesAndTheSubtitleSwitch)
{
  const char* Subs = "subtitle ( sid ): 0 language: fr\r\nsubtitle ( sid ): 1 language: en\r\n";
  const struct {
    const char* Audio;
    TTrackPreferences P;
    std::vector<std::string> Expected;  // 26, 27, 29, 30, 31, 55, 56
  } Cases[] = {
      // English first, German second; German then English on the disc: English, found.
      {"128_LANG=de\r\n129_LANG=en\r\n", Prefs(true, "EN (English)", "DE (German)"),
       {"129 English", "1", "NO", "", "", "YES", ""}},
      // Only French: line 0, not found, so subtitles go on and are chosen by language.
      {"128_LANG=fr\r\n", Prefs(true, "EN (English)", "DE (German)", false, "EN (English)", "DE (German)"),
       {"128 French", "0", "YES", "1 English", "1", "NO", ""}},
      // The second preference counts when the first is missing.
      {"128_LANG=fr\r\n129_LANG=de\r\n", Prefs(true, "EN (English)", "DE (German)"),
       {"129 German", "1", "YES", "0 French", "0", "NO", ""}},
      // An unknown three-letter code matches no preference.
      {"128_LANG=spa\r\n", Prefs(true, "ES (Spanish)", "ES (Spanish)"), {"128 SP", "0", "YES", "0 French", "0", "NO", ""}},
      // Subtitles by language without audio preferences: chosen, but switched off.
      {"128_LANG=en\r\n", Prefs(false, "", "", true, "EN (English)", ""),
       {"128 English", "0", "NO", "1 English", "1", "", "NO"}},
      // Always use subtitles.
      {"128_LANG=en\r\n", Prefs(false, "", "", false, "", "", true), {"128 English", "0", "YES", "0 French", "0", "", ""}},
  };
  for (const auto& C : Cases) {
    for (int Col = 0; Col < SourceRowColCount; ++Col) Q->SetCells(Col, 1, "");
    Q->SetCells(scAudioTracks, 1, C.Audio);
    Q->SetCells(scSubtitleTracks, 1, Subs);
    SelectDefaultTracks(Q, 1, C.P);
    EXPECT_EQ(Choice(), C.Expected) << C.Audio;
  }
}

TEST_F(TrackChoice, SideFilesNeverMatchAndEmptyListsChooseNothing)
{
  Q->SetCells(scSubtitleTracks, 1, "SRT File: /films/English.srt\r\nsubtitle ( sid ): 3 language: de\r\n");
  SelectSubtitleByLanguage(Q, 1, Prefs(false, "", "", true, "EN (English)", "DE (German)"));
  EXPECT_EQ(Q->GetCells(scSubtitleChoice, 1), "3 German");
  // No track lines at all: the switch is still set, no choice is made.
  for (int Col = 0; Col < SourceRowColCount; ++Col) Q->SetCells(Col, 1, "");
  SelectDefaultTracks(Q, 1, Prefs(true, "EN (English)", "", true, "EN (English)", "", true));
  EXPECT_EQ(Choice(), (std::vector<std::string>{"", "", "YES", "", "", "", "NO"}));
}

}  // namespace
