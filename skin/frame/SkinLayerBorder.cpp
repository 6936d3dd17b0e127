// The layered border of a skinned form: the strips cut from the LAYERFRAME picture, their
// layered popups, the fade-in, and the sizing of the form by dragging a strip.
#include "skin/frame/SkinLayerBorder.h"

#include <algorithm>
#include <cmath>

#include "platform/win/WinUser.h"
#include "skin/controls/ComponentReference.h"
#include "skin/frame/SkinnedForm.h"

namespace {

bool InRect(int X, int Y, int L, int T, int R, int B) { return L <= X && X < R && T <= Y && Y < B; }

// Copies Src's rectangle S onto Dst's rectangle D (nearest pixel when the sizes differ), alpha
// included. Parts outside either bitmap are skipped.
void CopyRect(const TskBitmap* Src, const TRect& S, TskBitmap* Dst, const TRect& D)
{
  const int sw = S.right - S.left, sh = S.bottom - S.top, dw = D.right - D.left, dh = D.bottom - D.top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
    return;
  for (int y = 0; y < dh; ++y) {
    const int ty = D.top + y, sy = S.top + static_cast<int>(static_cast<long long>(y) * sh / dh);
    if (ty < 0 || ty >= Dst->GetHeight() || sy < 0 || sy >= Src->GetHeight())
      continue;
    for (int x = 0; x < dw; ++x) {
      const int tx = D.left + x, sx = S.left + static_cast<int>(static_cast<long long>(x) * sw / dw);
      if (tx < 0 || tx >= Dst->GetWidth() || sx < 0 || sx >= Src->GetWidth())
        continue;
      *Dst->PixelPtr(tx, ty) = *Src->PixelPtr(sx, sy);
    }
  }
}

// A 32-bit copy of Picture whose alpha is the rounded grey level of Mask's pixels.
std::unique_ptr<TskBitmap> PictureWithMask(TBitmap* Picture, TBitmap* Mask)
{
  auto out = std::make_unique<TskBitmap>();
  out->Assign(Picture);
  TskBitmap mask;
  mask.Assign(Mask);
  const int w = std::min(out->GetWidth(), mask.GetWidth()), h = std::min(out->GetHeight(), mask.GetHeight());
  for (int y = 0; y < out->GetHeight(); ++y)
    for (int x = 0; x < out->GetWidth(); ++x) {
      std::uint32_t& p = *out->PixelPtr(x, y);
      std::uint32_t a = 0;
      if (x < w && y < h) {
        const std::uint32_t m = *mask.PixelPtr(x, y);
        a = (((m >> 16) & 0xFF) + ((m >> 8) & 0xFF) + (m & 0xFF) + 1) / 3;
      }
      p = (p & 0x00FFFFFF) | (a << 24);
    }
  out->HasAlpha = true;
  out->DetectAlpha();
  return out;
}

TBitmap* PictureAt(TskSkinData* Skin, int Index)
{
  if (Index < 0 || Index >= static_cast<int>(Skin->ActivePictures.size()))
    return nullptr;
  TBitmap* b = Skin->ActivePictures[static_cast<std::size_t>(Index)];
  return b && !b->Empty() ? b : nullptr;
}

} // namespace

Byte LayerHitZone(TskLayerSide Side, TPoint P, const TRect& F, const TRect& E)
{
  const int X = P.x, Y = P.y, L0 = F.left, T0 = F.top, R0 = F.right, B0 = F.bottom;
  const int eL = E.left, eT = E.top, eR = E.right, eB = E.bottom;
  switch (Side) {
  case lsLeft: return X >= L0 - eL ? 1 : 0;
  case lsRight: return X <= R0 + eR ? 3 : 0;
  case lsTop:
    if (InRect(X, Y, L0 - eL, T0 - eT, L0 + 3, T0 + 3))
      return 5;
    if (InRect(X, Y, L0, T0 - eT, R0, T0))
      return 2;
    if (InRect(X, Y, R0 - 3, T0 - eT, R0 + eR, T0 + 3))
      return 6;
    if (Y <= T0)
      return 0;
    break;
  case lsBottom:
    if (InRect(X, Y, L0 - eL, B0 - 3, L0 + 3, B0 + eB))
      return 7;
    if (InRect(X, Y, L0, B0, R0, B0 + eB))
      return 4;
    if (InRect(X, Y, R0 - 3, B0 - 3, R0 + eR, B0 + eB))
      return 8;
    if (Y >= B0)
      return 0;
    break;
  }
  if (L0 - eL <= X && X < L0)
    return 1;
  if (R0 < X && X <= R0 + eR)
    return 3;
  return 0;
}

TRect LayerSizedBounds(Byte Zone, const TRect& F, int Dx, int Dy, int MinW, int MinH, int MaxW, int MaxH)
{
  const int L0 = F.left, T0 = F.top, W = F.right - F.left, H = F.bottom - F.top;
  auto clampW = [&](int V) { return std::min(std::max(V, MinW), MaxW); };
  auto clampH = [&](int V) { return std::min(std::max(V, MinH), MaxH); };
  auto bounds = [](int L, int T, int Wd, int Ht) { return TRect{L, T, L + Wd, T + Ht}; };
  const int uw = Zone == 1 || Zone == 5 || Zone == 7 ? W - Dx : W + Dx;
  const int uh = Zone == 2 || Zone == 5 || Zone == 6 ? H - Dy : H + Dy;
  const int w = clampW(uw), h = clampH(uh);
  const bool wFree = w == uw, hFree = h == uh;
  const bool changes = w != W || h != H, moved = Dx != 0 || Dy != 0;
  switch (Zone) {
  case 1:
    if (wFree && Dx != 0 && w != W)
      return bounds(L0 + Dx, T0, w, H);
    break;
  case 2:
    if (hFree && Dy != 0 && h != H)
      return bounds(L0, T0 + Dy, W, h);
    break;
  case 3:
    if (Dx != 0 && w != W)
      return bounds(L0, T0, w, H);
    break;
  case 4:
    if (Dy != 0 && h != H)
      return bounds(L0, T0, W, h);
    break;
  case 5:
    if (wFree && hFree && changes && moved)
      return bounds(L0 + Dx, T0 + Dy, w, h);
    break;
  case 6:
    if (hFree && changes && moved)
      return bounds(L0, T0 + Dy, w, h);
    break;
  case 7:
    if (wFree && changes && moved)
      return bounds(L0 + Dx, T0, w, h);
    break;
  case 8:
    if (changes && moved)
      return bounds(L0, T0, w, h);
    break;
  default: break;
  }
  return F;
}

// ---- TskFormLayerWindow ----

TskFormLayerWindow::TskFormLayerWindow(TskFormLayerBorder* ABorder, TForm* AForm, TskLayerSide ASide)
    : TskLayerWindow(ABorder), Side(ASide), FBorder(ABorder), FForm(AForm)
{
}

void TskFormLayerWindow::CreateParams(TCreateParams& Params)
{
  TskLayerWindow::CreateParams(Params);
  Params.ExStyle |= WS_EX_LAYERED;
  if (FForm && FForm->GetFormStyle() == fsStayOnTop)
    Params.ExStyle |= WS_EX_TOPMOST;
  if (!FBorder->Record() || IsRectEmpty(&FBorder->Record()->borderrect))
    Params.ExStyle |= WS_EX_TRANSPARENT;
}

bool TskFormLayerWindow::CanSizeForm() const
{
  TskSkinnedForm* f = FBorder->SkinForm();
  return f->IsSizeable() && !f->GetRollUpState() && f->GetSkinWindowState() == wsNormal;
}

Byte TskFormLayerWindow::GetHitZone() const
{
  TPoint p{};
  GetCursorPos(&p);
  return LayerHitZone(Side, p, FForm->GetBoundsRect(), FBorder->Extents());
}

void TskFormLayerWindow::LayerMouseDown()
{
  if (!CanSizeForm())
    return;
  FSkipNextMove = false;
  Sizing = GetHitZone() != 0;
  GetCursorPos(&FCurPos);
  FLastPos = FCurPos;
}

void TskFormLayerWindow::LayerMouseUp()
{
  if (FForm->HandleAllocated())
    SendMessageA(FForm->GetHandle(), LayerBorderUpdateEndMessage, 0, 0);
  if (CanSizeForm()) {
    Sizing = false;
    FSkipNextMove = false;
  }
}

void TskFormLayerWindow::LayerMouseMove()
{
  if (FSkipNextMove) {
    FSkipNextMove = false;
    GetCursorPos(&FLastPos);
    return;
  }
  if (!FBorder->Record()->hittestenable)
    return;
  if (!CanSizeForm()) {
    if (GetCursor() != crDefault)
      SetCursor(crDefault);
    return;
  }
  GetCursorPos(&FCurPos);
  const int dx = FCurPos.x - FLastPos.x, dy = FCurPos.y - FLastPos.y;
  if (!Sizing) {
    if (FForm->HandleAllocated())
      SendMessageA(FForm->GetHandle(), LayerBorderUpdateEndMessage, 0, 0);
    FHitZone = GetHitZone();
    static constexpr TCursor cursors[] = {crDefault, crSizeWE, crSizeNS, crSizeWE, crSizeNS,
                                          crSizeNWSE, crSizeNESW, crSizeNESW, crSizeNWSE};
    SetCursor(cursors[FHitZone]);
  } else {
    if (FForm->HandleAllocated())
      SendMessageA(FForm->GetHandle(), LayerBorderUpdateBeginMessage, 0, 0);
    TskSkinnedForm* f = FBorder->SkinForm();
    const TRect now = FForm->GetBoundsRect();
    const TRect next = LayerSizedBounds(FHitZone, now, dx, dy, f->GetEffectiveMinWidth(), f->GetEffectiveMinHeight(),
                                        f->GetEffectiveMaxWidth(), f->GetEffectiveMaxHeight());
    if (next != now) {
      FForm->SetBoundsRect(next);
      FLastPos = FCurPos;
      FSkipNextMove = true;
      Application->ProcessMessages();
      FSkipNextMove = false;
    }
  }
  FLastPos = FCurPos;
}

void TskFormLayerWindow::WndProc(TMessage& Message)
{
  const bool hitTest = FBorder->Record() && FBorder->Record()->hittestenable;
  switch (Message.Msg) {
  case WM_MOUSEACTIVATE:
    Message.Result = MA_NOACTIVATE;
    if (hitTest && GetHitZone() != 0 && !FForm->GetActive())
      FForm->Show();
    return;
  case WM_LBUTTONDOWN:
    if (hitTest)
      LayerMouseDown();
    break;
  case WM_LBUTTONUP:
    if (hitTest)
      LayerMouseUp();
    break;
  case WM_MOUSEMOVE:
    if (FBorder->Record())
      LayerMouseMove();
    break;
  default: break;
  }
  TskLayerWindow::WndProc(Message);
}

// ---- TskFormLayerBorder ----

TskFormLayerBorder::TskFormLayerBorder(TskSkinnedForm* AOwner) : TComponent(AOwner), FSkinForm(AOwner) {}

TskFormLayerBorder::~TskFormLayerBorder() { HideBorder(); }

void TskFormLayerBorder::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData) {
    HideBorder();
    FSkinData = nullptr;
    FRecord = nullptr;
  }
}

void TskFormLayerBorder::LoadSkin(TskSkinData* ASkinData, TForm* AForm)
{
  SetComponentReference(this, FSkinData, ASkinData);
  FForm = AForm;
  FRecord = nullptr;
  FExtents = TRect{};
  if (!ASkinData || ASkinData->Empty || !ASkinData->LayerFrame || ASkinData->LayerFrame->pictureindex == -1)
    return;
  TskDataSkinLayerFrame* r = ASkinData->LayerFrame;
  TBitmap* picture = PictureAt(ASkinData, r->pictureindex);
  TBitmap* mask = PictureAt(ASkinData, r->maskpictureindex);
  TBitmap* inactive = r->inactivepictureindex == -1 ? nullptr : PictureAt(ASkinData, r->inactivepictureindex);
  TBitmap* inactiveMask = r->inactivepictureindex == -1 ? nullptr : PictureAt(ASkinData, r->inactivemaskpictureindex);
  // A record naming pictures the skin lacks is unusable.
  if (!picture || !mask || (r->inactivepictureindex != -1 && (!inactive || !inactiveMask)))
    return;
  FRecord = r;
  FActiveAlpha = r->alphablendvalue;
  FInactiveAlpha = r->inactivealphablendvalue;
  FActivePicture = PictureWithMask(picture, mask);
  FInactivePicture = inactive ? PictureWithMask(inactive, inactiveMask) : nullptr;
  if (!IsRectEmpty(&r->borderrect)) {
    const TRect& cr = r->clientrect;
    const TRect& br = r->borderrect;
    FExtents = TRect{cr.left - br.left, cr.top - br.top, br.right - cr.right, br.bottom - cr.bottom};
  }
}

TRect TskFormLayerBorder::OuterRect(int Left, int Top, int Width, int Height) const
{
  if (!FRecord)
    return TRect{Left, Top, Left + Width, Top + Height};
  const TRect& cr = FRecord->clientrect;
  const int x = Left - cr.left, y = Top - cr.top;
  const int w = Width + FActivePicture->GetWidth() - (cr.right - cr.left);
  const int h = Height + FActivePicture->GetHeight() - (cr.bottom - cr.top);
  return TRect{x, y, x + w, y + h};
}

void TskFormLayerBorder::GetExtents(int& L, int& T, int& R, int& B) const
{
  L = FExtents.left;
  T = FExtents.top;
  R = FExtents.right;
  B = FExtents.bottom;
}

void TskFormLayerBorder::BuildStrips(int W, int H)
{
  if (!FRecord)
    return;
  for (auto& s : FStrips)
    s.reset();
  TskBitmap* S = !Active && FInactivePicture ? FInactivePicture.get() : FActivePicture.get();
  const int SW = S->GetWidth(), SH = S->GetHeight();
  const TPoint LT = FRecord->lefttoppoint, RT = FRecord->righttoppoint;
  const TPoint LB = FRecord->leftbottompoint, RB = FRecord->rightbottompoint;
  const TRect& CR = FRecord->clientrect;
  auto make = [](int Wd, int Ht) {
    auto b = std::make_unique<TskBitmap>();
    if (Wd > 0 && Ht > 0) {
      b->SetSize(Wd, Ht);
      b->HasAlpha = true;
    }
    return b;
  };
  auto horizontal = [&](int Top, int Height, int LX, int RX) {
    auto b = make(W, Height);
    if (b->Empty())
      return b;
    CopyRect(S, TRect{0, Top, LX, Top + Height}, b.get(), TRect{0, 0, LX, Height});
    CopyRect(S, TRect{RX, Top, SW, Top + Height}, b.get(), TRect{W - (SW - RX), 0, W, Height});
    CopyRect(S, TRect{LX, Top, RX, Top + Height}, b.get(), TRect{LX, 0, W - (SW - RX), Height});
    b->DetectAlpha();
    return b;
  };
  const int TH = std::max(LT.y, RT.y);
  const int BH = SH - std::min(LB.y, RB.y);
  FStrips[lsTop] = horizontal(0, TH, LT.x, RT.x);
  FStrips[lsBottom] = horizontal(SH - BH, BH, LB.x, RB.x);
  const int M = H - TH - BH;
  auto side = [&](int L, int R) {
    auto b = make(M > 0 ? R - L : 0, M);
    // The side tile is the picture between the top and the bottom strip.
    const int top = TH, bottom = SH - BH, t = bottom - top;
    if (b->Empty() || t <= 0)
      return b;
    for (int k = 0; k <= M / t; ++k) {
      const int y0 = k * t, y1 = std::min((k + 1) * t, M);
      if (y1 > y0)
        CopyRect(S, TRect{L, top, R, top + (y1 - y0)}, b.get(), TRect{0, y0, R - L, y1});
    }
    b->DetectAlpha();
    return b;
  };
  FStrips[lsLeft] = side(0, CR.left);
  FStrips[lsRight] = side(CR.right, SW);
}

void TskFormLayerBorder::PushStrips()
{
  const int alpha = Active ? FActiveAlpha : FInactiveAlpha;
  for (TskLayerSide s : {lsTop, lsBottom, lsLeft, lsRight})
    if (FWindows[s] && FStrips[s] && !FStrips[s]->Empty())
      UpdateLayeredWindowFromBitmap(FStrips[s].get(), alpha, FWindows[s]);
}

void TskFormLayerBorder::PlaceWindows(int X, int Y, int W, int H)
{
  auto height = [this](TskLayerSide S) { return FStrips[S] ? FStrips[S]->GetHeight() : 0; };
  auto width = [this](TskLayerSide S) { return FStrips[S] ? FStrips[S]->GetWidth() : 0; };
  const TPoint at[4] = {{X, Y + height(lsTop)}, {X, Y}, {X + W - width(lsRight), Y + height(lsTop)},
                        {X, Y + H - height(lsBottom)}};
  for (int s = 0; s < 4; ++s) {
    TskFormLayerWindow* w = FWindows[static_cast<std::size_t>(s)];
    if (!w)
      continue;
    TskBitmap* strip = FStrips[static_cast<std::size_t>(s)].get();
    w->SetBounds(at[s].x, at[s].y, strip ? strip->GetWidth() : 0, strip ? strip->GetHeight() : 0);
    SetWindowPos(w->GetHandle(), HWND_TOP, at[s].x, at[s].y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

void TskFormLayerBorder::ShowAt(int X, int Y, int W, int H)
{
  if (!FRecord)
    return;
  BorderWidth = W;
  BorderHeight = H;
  Shown = true;
  BuildStrips(W, H);
  for (auto*& w : FWindows) {
    delete w;
    w = nullptr;
  }
  auto nonEmpty = [this](TskLayerSide S) { return FStrips[S] && !FStrips[S]->Empty(); };
  for (TskLayerSide s : {lsLeft, lsRight, lsTop, lsBottom})
    if (nonEmpty(s)) {
      FWindows[s] = new TskFormLayerWindow(this, FForm, s);
      FWindows[s]->SetBounds(0, 0, FStrips[s]->GetWidth(), FStrips[s]->GetHeight());
      FWindows[s]->HandleNeeded();
    }
  PushStrips();
  PlaceWindows(X, Y, W, H);
}

void TskFormLayerBorder::HideBorder()
{
  Shown = false;
  for (auto& s : FStrips)
    s.reset();
  for (auto*& w : FWindows) {
    delete w;
    w = nullptr;
  }
}

void TskFormLayerBorder::UpdateAt(int X, int Y, int W, int H)
{
  if (!FRecord || !Shown)
    return;
  BorderWidth = W;
  BorderHeight = H;
  BuildStrips(W, H);
  PushStrips();
  PlaceWindows(X, Y, W, H);
}

void TskFormLayerBorder::ShowBorder()
{
  if (!FRecord || !FForm)
    return;
  const TRect r = OuterRect(FForm->GetLeft(), FForm->GetTop(), FForm->GetWidth(), FForm->GetHeight());
  ShowAt(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TskFormLayerBorder::UpdateBorder()
{
  if (!FRecord || !Shown || !FForm)
    return;
  UpdateForBounds(FForm->GetLeft(), FForm->GetTop(), FForm->GetWidth(), FForm->GetHeight());
}

void TskFormLayerBorder::UpdateForBounds(int Left, int Top, int Width, int Height)
{
  if (!FRecord || !Shown)
    return;
  const TRect r = OuterRect(Left, Top, Width, Height);
  UpdateAt(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TskFormLayerBorder::MoveBorder(int Left, int Top)
{
  if (!FRecord || !Shown || !FForm)
    return;
  const TRect r = OuterRect(Left, Top, FForm->GetWidth(), FForm->GetHeight());
  PlaceWindows(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TskFormLayerBorder::ApplyAlpha()
{
  if (!FRecord || !Shown)
    return;
  PushStrips();
}

void TskFormLayerBorder::SetAlphaLevel(int Value, bool Apply)
{
  if (!FRecord)
    return;
  const double f = std::clamp(Value, 0, 255) / 255.0;
  FActiveAlpha = static_cast<int>(std::nearbyint(FRecord->alphablendvalue * f));
  FInactiveAlpha = static_cast<int>(std::nearbyint(f * FRecord->inactivealphablendvalue));
  if (Apply)
    ApplyAlpha();
}

void TskFormLayerBorder::SetActive(bool Value, bool Apply)
{
  Active = Value;
  if (!FRecord || !Shown || !Apply || !FForm)
    return;
  ApplyAlpha();
  MoveBorder(FForm->GetLeft(), FForm->GetTop());
}

void TskFormLayerBorder::ShowAnimated()
{
  if (!FRecord || !FForm)
    return;
  const int target = FActiveAlpha;
  FActiveAlpha = 0;
  ShowBorder();
  Application->ProcessMessages();
  if (!Active) {
    FActiveAlpha = target;
    return;
  }
  const int step = std::max(1, target / 15);
  DWORD last = GetTickCount() - 6;
  while (FActiveAlpha < target) {
    if (GetTickCount() - last <= 5)
      continue;
    last = GetTickCount();
    FActiveAlpha = std::min(target, FActiveAlpha + step);
    ApplyAlpha();
  }
}

// ---- The form's side ----

void TskSkinnedForm::ReloadLayerBorder()
{
  FLayerBorder->HideBorder();
  FLayerBorder->LoadSkin(GetSkinData(), FOwnerForm);
  SyncLayerBorder();
}

void TskSkinnedForm::SyncLayerBorder()
{
  const bool wanted = FLayerBorder->HasRecord() && CanShowLayeredBorder() && FOwnerForm->HandleAllocated() &&
                      IsWindowVisible(FOwnerForm->GetHandle()) && FSkinWindowState == wsNormal && !FRollUpState;
  if (!wanted)
    FLayerBorder->HideBorder();
  else if (FLayerBorder->Shown)
    FLayerBorder->UpdateBorder();
  else
    FLayerBorder->ShowBorder();
}
