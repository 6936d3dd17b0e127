#include "skin/shell/SkinProgramGlyphs.h"

#include <cstring>
#include <map>

namespace {

// One glyph: rows of characters, each a colour of the palette below.
struct TGlyphMap {
  const char* Name;
  int Width;
  int Height;
  const char* const* Rows;
};

TColor PaletteColor(char C)
{
  switch (C) {
    case 'k': return 0x000000;    // black
    case 'g': return 0x808080;    // grey
    case 'l': return 0xC0C0C0;    // light grey
    case 'w': return 0xFFFFFF;    // white
    case 'y': return 0x00FFFF;    // yellow
    case 'o': return 0x0080C0;    // folder brown
    case 'b': return 0x800000;    // dark blue
    case 'B': return 0xFF0000;    // blue
    case 'r': return 0x0000C0;    // red
    case 'G': return 0x00A000;    // green
    default: return 0xFF00FF;     // '.', the background
  }
}

const char* const Floppy[] = {
    "................", ".kkkkkkkkkkkkkk.", ".kbbkwwwwwwkbbk.", ".kbbkwwwwwwkbbk.", ".kbbkwwwwwwkbbk.",
    ".kbbkwwwwwwkbbk.", ".kbbbbbbbbbbbbk.", ".kbbbbbbbbbbbbk.", ".kbbkkkkkkkkbbk.", ".kbbkllllgllbbk.",
    ".kbbkllllgllbbk.", ".kbbkllllgllbbk.", ".kbbkllllgllbbk.", ".kkkkkkkkkkkkkk.", "................",
    "................"};
const char* const Hard[] = {
    "................", "................", "................", "................", "................",
    "..kkkkkkkkkkkk..", ".kwwwwwwwwwwwlk.", ".kllllllllllllk.", ".kllllllllllllk.", ".kllllllllllllk.",
    ".kllllllllGGllk.", ".kllllllllllllk.", ".kggggggggggggk.", "..kkkkkkkkkkkk..", "................",
    "................"};
const char* const Network[] = {
    "................", "..kkkkkkkkkkkk..", ".kwwwwwwwwwwwlk.", ".kllllllllllllk.", ".kllllllllGGllk.",
    ".kggggggggggggk.", "..kkkkkkkkkkkk..", ".......kk.......", ".......kk.......", ".......kk.......",
    "...kkkkkkkkkk...", "...k........k...", "..kkk......kkk..", "..kBk......kBk..", "..kkk......kkk..",
    "................"};
const char* const CdRom[] = {
    "................", ".....kkkkkk.....", "...kkwwwwllkk...", "..kwwwwwwllllk..", ".kwwwwwwllllllk.",
    ".kwwwwwwllllllk.", "kwwwwwkkkklllllk", "kwwwwwk..klllllk", "kwwwwwk..kllgglk", "kwwwwwkkkklggglk",
    ".kwwwwllllggggk.", ".kwwwllllgggggk.", "..kwllllgggggk..", "...kkllggggkk...", ".....kkkkkk.....",
    "................"};
const char* const Ram[] = {
    "................", "..k.k.k.k.k.k...", ".kkkkkkkkkkkkkk.", ".kGGGGGGGGGGGGk.", ".kGkkGkkGkkGGGk.",
    ".kGkkGkkGkkGGGk.", ".kGGGGGGGGGGGGk.", ".kkkkkkkkkkkkkk.", "..k.k.k.k.k.k...", "................",
    "................"};
const char* const ClosedFolder[] = {
    "................", "................", "..kkkkk.........", ".kyoyoyk........", "kyoyoyoykkkkkkk.",
    "kooooooooooooook", "kyoyoyoyoyoyoyok", "koyoyoyoyoyoyoyk", "kyoyoyoyoyoyoyok", "koyoyoyoyoyoyoyk",
    "kyoyoyoyoyoyoyok", "koyoyoyoyoyoyoyk", "kkkkkkkkkkkkkkkk", "................", "................"};
const char* const OpenFolder[] = {
    "................", "..kkkkk.........", ".kyoyoyk........", "kyoyoyoykkkkkk..", "koyoyoyoyoyoyk..",
    "kyoyoyoyoyoyok..", "koyokkkkkkkkkkkk", "kyokyyyyyyyyyyyk", "kokyyyyyyyyyyyk.", "kokyyyyyyyyyyyk.",
    "kkyyyyyyyyyyyk..", "kkyyyyyyyyyyyk..", "kkkkkkkkkkkkk...", "................", "................"};
const char* const CurrentFolder[] = {
    "................", "..kkkkk.........", ".kyoyoyk........", "kyoyoyoykkkkkk..", "koyoyoyoyoyoyk..",
    "kyoyoyoyoyoyok..", "koyokkkkkkkkkkkk", "kyokwwwwwwwwwwwk", "kokwwwwwwwwwwwk.", "kokwwwwwwwwwwwk.",
    "kkwwwwwwwwwwwk..", "kkwwwwwwwwwwwk..", "kkkkkkkkkkkkk...", "................", "................"};
const char* const Back[] = {
    "................", "................", "................", "......k.........", ".....kk.........",
    "....kGk.........", "...kGGkkkkkkkk..", "..kGGGGGGGGGGk..", "..kGGGGGGGGGGk..", "...kGGkkkkkkkk..",
    "....kGk.........", ".....kk.........", "......k.........", "................", "................",
    "................"};
const char* const Up[] = {
    "................", "..kkkkk.........", ".kyoyoyk........", "kyoyoyoykkkkkkk.", "kooooooooooooook",
    "kyoyoyokyoyoyok.", "koyoyokkkoyoyok.", "kyoyokGGGkyoyok.", "koyokkGGGkkoyok.", "kyoyoykGkyoyoyk.",
    "koyoyokGkoyoyok.", "kyoyoykGkkkkyok.", "koyoyokGGGGGkoyk", "kkkkkkkkkkkkkkkk", "................",
    "................"};
const char* const NewFolder[] = {
    "..........y.....", "........y.y.y...", ".........yyy....", "..kkkkk.yyyyy...", ".kyoyoyk.yyy....",
    "kyoyoyoykykkyk..", "kooooooooooooook", "kyoyoyoyoyoyoyok", "koyoyoyoyoyoyoyk", "kyoyoyoyoyoyoyok",
    "koyoyoyoyoyoyoyk", "kyoyoyoyoyoyoyok", "koyoyoyoyoyoyoyk", "kkkkkkkkkkkkkkkk", "................",
    "................"};
const char* const LvStyle[] = {
    "................", ".kkkk.kkkkkkkkk.", ".kBBk..........", ".kBBk.kkkkkkk...", ".kkkk...........",
    "................", ".kkkk.kkkkkkkkk.", ".kBBk...........", ".kBBk.kkkkkkk...", ".kkkk...........",
    "................", ".kkkk.kkkkkkkkk.", ".kBBk...........", ".kBBk.kkkkkkk...", ".kkkk...........",
    "................"};

const char* const Document[] = {
    "................", "..kkkkkkkkk.....", "..kwwwwwwwkk....", "..kwwwwwwwklk...", "..kwwwwwwwkkkk..",
    "..kwkkkkwwwwwk..", "..kwwwwwwwwwwk..", "..kwkkkkkkkwwk..", "..kwwwwwwwwwwk..", "..kwkkkkkkkwwk..",
    "..kwwwwwwwwwwk..", "..kwkkkkkkkwwk..", "..kwwwwwwwwwwk..", "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..",
    "................"};

const TGlyphMap Glyphs[] = {
    {"SK_FILE", 16, 16, Document},
    {"SK_FLOPPY", 16, 16, Floppy},          {"SK_HARD", 16, 16, Hard},
    {"SK_NETWORK", 16, 16, Network},        {"SK_CDROM", 16, 16, CdRom},
    {"SK_RAM", 16, 11, Ram},                {"SK_CLOSEDFOLDER", 16, 15, ClosedFolder},
    {"SK_OPENFOLDER", 16, 15, OpenFolder},  {"SK_CURRENTFOLDER", 16, 15, CurrentFolder},
    {"SK_BACK", 16, 16, Back},              {"SK_UP", 16, 16, Up},
    {"SK_NEWFOLDER", 16, 16, NewFolder},    {"SK_LVSTYLE", 16, 16, LvStyle},
};

}  // namespace

std::unique_ptr<TBitmap> LoadProgramGlyph(const String& Name)
{
  for (const TGlyphMap& g : Glyphs) {
    if (Name != g.Name)
      continue;
    auto b = std::make_unique<TBitmap>();
    b->SetSize(g.Width, g.Height);
    TCanvas* c = b->GetCanvas();
    for (int y = 0; y < g.Height; ++y) {
      const char* row = g.Rows[y];
      const int n = static_cast<int>(std::strlen(row));
      for (int x = 0; x < g.Width; ++x)
        c->SetPixels(x, y, PaletteColor(x < n ? row[x] : '.'));
    }
    return b;
  }
  return nullptr;
}
