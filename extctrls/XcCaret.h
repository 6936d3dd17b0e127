// TXcCaret: the text caret of an extended edit. Three modes: default (nothing set: the system's
// caret is left alone), bitmap (a non-empty Bitmap with no size and not grey: the caret is the
// bitmap) and sized (a Width x Height block, grey or solid). The owning edit shows the caret
// when it gets the focus and hides it when the focus goes; a change of any property raises
// OnChange (once per BeginCaretUpdate / EndCaretUpdate bracket), upon which the edit makes the
// caret again.
//
// The bitmap is kept in stored forms as the property "CaretBitmap" (only when not empty).
#pragma once

#include <memory>

#include "extctrls/XcFiler.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Controls.h"

class TXcCaret : public TPersistent, public IXcStreamable {
public:
  // EXCLException "TXcCaret: cannot be created without a valid Owner" without an owner.
  explicit TXcCaret(TWinControl* AOwner);
  // Hides the caret.
  ~TXcCaret() override;
  TXcCaret(const TXcCaret&) = delete;
  TXcCaret& operator=(const TXcCaret&) = delete;

  // From another caret: bitmap first, then size and grey, with one change notification.
  void Assign(TPersistent* Source) override;
  void DefineProperties(TXcFiler& Filer) override;

  TBitmap* GetBitmap() const { return FBitmap.get(); }
  // Copies Value, resets the size and grey, and always reports a change.
  void SetBitmap(TBitmap* Value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int Value);
  int GetHeight() const { return FHeight; }
  void SetHeight(int Value);
  bool GetGray() const { return FGray; }
  void SetGray(bool Value);

  bool IsDefaultMode() const;
  bool IsBitmapMode() const;
  bool GetCaretCreated() const { return FCaretCreated; }
  TWinControl* GetOwnerControl() const { return FOwner; }

  // Makes and shows the caret in the owner's window when the owner has the focus, is not being
  // designed and the caret is not in default mode. A caret the system refuses raises EOSError.
  void ShowCustomCaret();
  void HideCustomCaret();
  void BeginCaretUpdate();
  void EndCaretUpdate();

  TNotifyEvent OnChange;

protected:
  virtual void CaretChanged();

private:
  bool OwnerReady() const;
  std::unique_ptr<TBitmap> FBitmap;
  int FWidth = 0;
  int FHeight = 0;
  bool FGray = false;
  TWinControl* FOwner;
  int FUpdateCount = 0;
  bool FModified = false;
  bool FCaretCreated = false;
};
