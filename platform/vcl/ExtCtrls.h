// The class library's simple controls in the plain look: the label (a graphic control that
// draws its caption), the bevel (lines and boxes in two 3-D colours), the panel (a windowed
// container with bevels and a centred caption) and the group box (a container with an etched
// frame and a caption in its top edge).
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout GetLayout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool GetShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // A transparent label leaves what lies beneath it (no csOpaque, no background fill).
  bool GetTransparent() const { return (FControlStyle & csOpaque) == 0; }
  void SetTransparent(bool Value);
  // The control that gets the focus when the caption's accelerator is pressed.
  TWinControl* GetFocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  void SetAutoSize(bool Value) override;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  // The text to draw (the caption).
  virtual String GetLabelText();
  // Draws (or, with DT_CALCRECT, measures into Rect) the label text with the canvas.
  virtual void DoDrawText(TRect& Rect, int Flags);
  // With AutoSize: takes the size of the text (a right-aligned label keeps its right edge).
  virtual void AdjustBounds();
  void Paint() override;
  void Loaded() override;
  void WndProc(TMessage& Message) override;

private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
  using TCustomLabel::TCustomLabel;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// The bevel's two-colour lines in a one-pixel pen: Color1 on the left and top edges of R
// (inclusive), Color2 on the right and bottom ones.
void DrawBevelRect(TCanvas* C, const TRect& R, TColor Color1, TColor Color2);
// A bevel of that shape and style in a Width x Height control: a lowered bevel draws Shadow
// where a raised one draws Highlight. bsSpacer draws nothing.
void DrawBevelShape(TCanvas* C, TBevelShape Shape, TBevelStyle Style, int Width, int Height, TColor Highlight,
                    TColor Shadow);

class TBevel : public TGraphicControl {
public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape GetShape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle GetStyle() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

protected:
  void Paint() override;

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;
using TBevelWidth = int;
using TBorderWidth = int;

class TCustomPanel : public TCustomControl {
public:
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TVerticalAlignment GetVerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment Value);
  TPanelBevel GetBevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel GetBevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  TBevelWidth GetBevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth Value);
  TBorderWidth GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(TBorderWidth Value);
  // bsSingle gives the window a sunken client edge (a plain border without Ctl3D); anything
  // else counts as bsNone.
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Whether a resize repaints the whole panel (true) or only the area it uncovers.
  bool GetFullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  bool GetLocked() const { return FLocked; }
  void SetLocked(bool Value) { FLocked = Value; }
  bool GetShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  // The client rectangle without the border width and the bevels.
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

private:
  void Changed();
  TAlignment FAlignment = taCenter;
  TVerticalAlignment FVerticalAlignment = taVerticalCenter;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  TBevelWidth FBevelWidth = 1;
  TBorderWidth FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;
  bool FLocked = false;
  bool FShowCaption = true;
};

class TPanel : public TCustomPanel {
public:
  using TCustomPanel::TCustomPanel;
};

class TCustomGroupBox : public TCustomControl {
public:
  explicit TCustomGroupBox(TComponent* AOwner);

protected:
  // Below the caption line and inside the frame.
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
public:
  using TCustomGroupBox::TCustomGroupBox;
};
