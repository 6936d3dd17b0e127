#include "app/AboutBox.h"

#include "app/AboutPicture.h"
#include "app/FormSkin.h"
#include "core/MainForm.h"
#include "platform/os/Shell.h"
#include "platform/rtl/Streams.h"

const char* const MakerWebSite = "http://www.quelvo.com";

namespace {

Tabout* AboutBox = nullptr;

}  // namespace

Tabout* ProgramAboutBox() { return AboutBox; }
void SetProgramAboutBox(Tabout* Box) { AboutBox = Box; }

void ShowAboutBox()
{
  if (AboutBox) AboutBox->Show();
}

Tabout::Tabout(TComponent* AOwner) : TForm(AOwner)
{
  SetName("about");
  SetBorderStyle(bsSingle);
  skPngImageStorage1 = new TskPngImageStorage(this);
  skPngImageStorage1->SetName("skPngImageStorage1");
  // The picture is kept as the PNG file's bytes, as a stored form keeps it.
  TMemoryStream Data;
  Data.Write(AboutPictureBytes, static_cast<Int64>(AboutPictureSize));
  Data.SetPosition(0);
  skPngImageStorage1->GetPngImages()->Add()->GetPngImage()->LoadFromStream(&Data);
  skPngImageView2 = new TskPngImageView(this);
  skPngImageView2->SetName("skPngImageView2");
  skPngImageView2->SetAlign(alTop);
  skPngImageView2->SetDoubleBuffered(true);
  skPngImageView2->SetCenter(true);
  skPngImageView2->SetPngImageStorage(skPngImageStorage1);
  skPngImageView2->SetImageIndex(0);
  skPngImageView2->SetCursor(crHandPoint);
  skPngImageView2->OnClick = [this](TObject* Sender) { skPngImageView2Click(Sender); };
  skPngImageView2->SetParent(this);
  OnClose = [](TObject*, TCloseAction& Action) { Action = caHide; };
  SkinForm(this);
  FormCreate(this);
}

void Tabout::FormCreate(TObject*)
{
  SetCaption("Quelvo 3 " + BuildTag);
  // The box is as big as its picture.
  SetClientWidth(skPngImageView2->GetWidth());
  SetClientHeight(skPngImageView2->GetHeight());
  SetPosition(poScreenCenter);
}

void Tabout::skPngImageView2Click(TObject*)
{
  ShellExecuteA(GetHandle(), "open", MakerWebSite, nullptr, nullptr, SW_SHOWNORMAL);
}
