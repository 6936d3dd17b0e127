#include "core/TrackChoice.h"

#include "core/MainForm.h"

namespace {

struct TLanguage {
  const char* Code;
  const char* Name;
};

// In lookup order. "GE", "JP" and "DU" are second codes, so that the first two letters of the
// three-letter codes ger, jpn and dut find a name; the combo boxes leave them out.
constexpr TLanguage Languages[] = {
    {"AA", "Afar"}, {"AB", "Abkhazian"}, {"AF", "Afrikaans"}, {"AM", "Amharic"}, {"AR", "Arabic"},
    {"AS", "Assamese"}, {"AY", "Aymara"}, {"AZ", "Azerbaijani"}, {"BA", "Bashkir"}, {"BE", "Byelorussian"},
    {"BG", "Bulgarian"}, {"BH", "Bihari"}, {"BI", "Bislama"}, {"BN", "Bengali"}, {"BO", "Tibetan"},
    {"BR", "Breton"}, {"CA", "Catalan"}, {"CO", "Corsican"}, {"CS", "Czech"}, {"CY", "Welsh"},
    {"DA", "Danish"}, {"DE", "German"}, {"GE", "German"}, {"DZ", "Bhutani"}, {"EL", "Greek"},
    {"EN", "English"}, {"EO", "Esperanto"}, {"ES", "Spanish"}, {"ET", "Estonian"}, {"EU", "Basque"},
    {"FA", "Persian"}, {"FI", "Finnish"}, {"FJ", "Fiji"}, {"FO", "Faeroese"}, {"FR", "French"},
    {"FY", "Frisian"}, {"GA", "Irish"}, {"GD", "Gaelic"}, {"GL", "Galician"}, {"GN", "Guarani"},
    {"GU", "Gujarati"}, {"HA", "Hausa"}, {"HI", "Hindi"}, {"HR", "Croatian"}, {"HU", "Hungarian"},
    {"HY", "Armenian"}, {"IA", "Interlingua"}, {"IE", "Interlingue"}, {"IK", "Inupiak"}, {"IN", "Indonesian"},
    {"IS", "Icelandic"}, {"IT", "Italian"}, {"IW", "Hebrew"}, {"JA", "Japanese"}, {"JP", "Japanese"},
    {"JI", "Yiddish"}, {"JW", "Javanese"}, {"KA", "Georgian"}, {"KK", "Kazakh"}, {"KL", "Greenlandic"},
    {"KM", "Cambodian"}, {"KN", "Kannada"}, {"KO", "Korean"}, {"KS", "Kashmiri"}, {"KU", "Kurdish"},
    {"KY", "Kirghiz"}, {"LA", "Latin"}, {"LN", "Lingala"}, {"LO", "Laothian"}, {"LT", "Lithuanian"},
    {"LV", "Latvian"}, {"MG", "Malagasy"}, {"MI", "Maori"}, {"MK", "Macedonian"}, {"ML", "Malayalam"},
    {"MN", "Mongolian"}, {"MO", "Moldavian"}, {"MR", "Marathi"}, {"MS", "Malay"}, {"MT", "Maltese"},
    {"MY", "Burmese"}, {"NA", "Nauru"}, {"NE", "Nepali"}, {"NL", "Dutch"}, {"DU", "Dutch"},
    {"NO", "Norwegian"}, {"OC", "Occitan"}, {"OM", "Oromo"}, {"OR", "Oriya"}, {"PA", "Punjabi"},
    {"PL", "Polish"}, {"PS", "Pashto"}, {"PT", "Portuguese"}, {"QU", "Quechua"}, {"RM", "Rhaeto-Romance"},
    {"RN", "Kirundi"}, {"RO", "Romanian"}, {"RU", "Russian"}, {"RW", "Kinyarwanda"}, {"SA", "Sanskrit"},
    {"SD", "Sindhi"}, {"SG", "Sangro"}, {"SH", "Serbo-Croatian"}, {"SI", "Singhalese"}, {"SK", "Slovak"},
    {"SL", "Slovenian"}, {"SM", "Samoan"}, {"SN", "Shona"}, {"SO", "Somali"}, {"SQ", "Albanian"},
    {"SR", "Serbian"}, {"SS", "Siswati"}, {"ST", "Sesotho"}, {"SU", "Sudanese"}, {"SV", "Swedish"},
    {"SW", "Swahili"}, {"TA", "Tamil"}, {"TE", "Tegulu"}, {"TG", "Tajik"}, {"TH", "Thai"},
    {"TI", "Tigrinya"}, {"TK", "Turkmen"}, {"TL", "Tagalog"}, {"TN", "Setswana"}, {"TO", "Tonga"},
    {"TR", "Turkish"}, {"TS", "Tsonga"}, {"TT", "Tatar"}, {"TW", "Twi"}, {"UK", "Ukrainian"},
    {"UR", "Urdu"}, {"UZ", "Uzbek"}, {"VI", "Vietnamese"}, {"VO", "Volapuk"}, {"WO", "Wolof"},
    {"XH", "Xhosa"}, {"YO", "Yoruba"}, {"ZH", "Chinese"}, {"ZU", "Zulu"},
};
static_assert(sizeof(Languages) / sizeof(Languages[0]) == 139);

// The last three characters, trimmed.
String LastThree(const String& S) { return Trim(S.size() > 3 ? S.substr(S.size() - 3) : S); }

void ReplaceFirst(String& S, const String& What, const String& With)
{
  if (What.empty()) return;
  const auto P = S.find(What);
  if (P != String::npos) S = S.substr(0, P) + With + S.substr(P + What.size());
}

bool Contains(const String& S, const String& Sub) { return !Sub.empty() && S.find(Sub) != String::npos; }

}  // namespace

String LanguageName(const String& Code)
{
  const String Upper = UpperCase(Code);
  for (const auto& L : Languages)
    if (Upper == L.Code) return L.Name;
  return Upper;
}

std::vector<String> LanguageComboItems()
{
  std::vector<String> Items;
  for (const auto& L : Languages) {
    const String Code = L.Code;
    if (Code == "GE" || Code == "JP" || Code == "DU") continue;
    Items.push_back(Code + " (" + L.Name + ")");
  }
  return Items;
}

String DescribeTrack(const String& Line)
{
  // A side file's line holds a path, which may hold any of the words below: it is tested first.
  if (Contains(Line, "SRT File") || Contains(Line, "SUB File")) return Line;
  const String Padded = " " + Line;
  if (Contains(Padded, "audio stream")) {
    const auto L = Line.find("language:");
    String T = Trim(L == String::npos ? Line : Line.substr(L));
    ReplaceFirst(T, "aid:", "");
    ReplaceFirst(T, "language:", "  ");
    ReplaceFirst(T, ".", "");
    const String Id = LastThree(T);
    ReplaceFirst(T, Id, "");
    return Id + " " + LanguageName(Trim(T));
  }
  if (Contains(Padded, "subtitle")) {
    const auto P = Line.find("):");
    String T = Trim(P == String::npos ? Line : Line.substr(P + 2));
    ReplaceFirst(T, "language:", "  ");
    ReplaceFirst(T, ".", "");
    const String Code = LastThree(T);
    const String Id = Trim(T.substr(0, 2));
    return Id + " " + LanguageName(Code);
  }
  String T = Line;
  ReplaceFirst(T, "_LANG=", " ");
  T = UpperCase(T);
  const String CodeText = LastThree(T);
  const String Code = Trim(CodeText.substr(0, 2));
  ReplaceFirst(T, CodeText, LanguageName(Code));
  return T;
}

std::vector<String> TrackLines(const String& Cell, bool Subtitles)
{
  std::vector<String> Lines;
  TStrings* Memo = Form1 ? (Subtitles ? Form1->Memo2 : Form1->Memo1)->GetLines() : nullptr;
  TStringList Own;
  if (!Memo) Memo = &Own;
  Memo->SetText(Cell);
  for (int I = 0; I < Memo->GetCount(); ++I) Lines.push_back(Memo->Get(I));
  return Lines;
}

bool ChooseTrackByLanguage(const std::vector<String>& Lines, const String& First, const String& Second, int& Choice,
                           bool& FirstFound)
{
  int FirstMatch = -1, SecondMatch = -1;
  for (size_t I = 0; I < Lines.size(); ++I) {
    const String D = Trim(DescribeTrack(Lines[I]));
    const auto Blank = D.find(' ');
    const String Name = Blank == String::npos ? D : Trim(D.substr(Blank + 1));
    if (FirstMatch < 0 && Contains(First, Name)) FirstMatch = static_cast<int>(I);
    if (SecondMatch < 0 && Contains(Second, Name)) SecondMatch = static_cast<int>(I);
  }
  FirstFound = FirstMatch >= 0;
  Choice = FirstMatch >= 0 ? FirstMatch : SecondMatch >= 0 ? SecondMatch : 0;
  return !Lines.empty();
}
