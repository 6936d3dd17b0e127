// The about box Tabout: one picture (a PNG image storage holding "PngImage0", shown by a centred,
// double-buffered image view aligned to the top) under the caption "Quelvo 3 " and the build tag.
// The box takes the size of its picture and is centred on the screen when it first shows; a click
// on the picture opens the maker's web site with the desktop's opener.
//
// Contract: the program makes one about box at start-up, after the history window. ShowAboutBox
// shows it without making it modal (the Help menu's "About" calls it); it does nothing before the
// box exists. Closing it only hides it.
#pragma once

#include "platform/vcl/Forms.h"
#include "skin/foundation/PngImageList.h"

// The maker's web site, which the picture opens.
extern const char* const MakerWebSite;

class Tabout : public TForm {
public:
  explicit Tabout(TComponent* AOwner);

  TskPngImageStorage* skPngImageStorage1 = nullptr;
  TskPngImageView* skPngImageView2 = nullptr;

  void FormCreate(TObject* Sender);
  void skPngImageView2Click(TObject* Sender);
};

// The program's about box (nullptr before start-up made it or after the end).
Tabout* ProgramAboutBox();
void SetProgramAboutBox(Tabout* Box);
// Help > "About": shows the box, not modal.
void ShowAboutBox();
