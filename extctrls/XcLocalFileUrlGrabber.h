// The local-file grabber: "downloads" a file of this machine with the grabbers' machinery, so
// that an application can treat local and remote resources alike.
//
// Its URLs are "file://" followed by a path, taken as it stands (no percent-decoding); any
// other text naming an existing file (or starting with "//") is a path, made absolute against
// the current folder. With PreserveAttributes (the default) the saved copy (omFile) gets the
// source's attributes (XcUrlGrabbers.h and platform/os/FileAttributes.h say what they are).
// A missing file is an error: File "<path>" not found.
#pragma once

#include "extctrls/XcUrlGrabbers.h"

class TXcLocalFileUrlGrabber : public TXcCustomUrlGrabber {
public:
  explicit TXcLocalFileUrlGrabber(TComponent* AOwner) : TXcCustomUrlGrabber(AOwner) {}
  static const TXcUrlGrabberClass* StaticGrabberClass();
  const TXcUrlGrabberClass* GrabberClass() const override { return StaticGrabberClass(); }

  // The local path a URL names: after "file://" (any case) as it stands, else made absolute.
  static String PathOfUrl(const String& Url);
  // Gives the path as FileName; the other parts stay empty.
  static void SplitUrl(const String& Url, const String& Marker, String& Host, String& FileName, String& UserName,
                       String& Password, Cardinal& Port);

  bool GetPreserveAttributes() const { return FPreserveAttributes; }
  void SetPreserveAttributes(bool Value) { FPreserveAttributes = Value; }

protected:
  TXcCustomUrlGrabberThread* CreateWorker() override;

private:
  bool FPreserveAttributes = true;
};

class TXcLocalFileUrlGrabberThread : public TXcCustomUrlGrabberThread {
public:
  explicit TXcLocalFileUrlGrabberThread(TXcLocalFileUrlGrabber* Grabber)
      : TXcCustomUrlGrabberThread(Grabber), FPreserveAttributes(Grabber->GetPreserveAttributes())
  {
  }

protected:
  void Download() override;

private:
  bool FPreserveAttributes;
};

class TXcLocalFileUrlGrabberProperties : public TXcCustomUrlGrabberDefaultProperties {
public:
  String GetDisplayName() const override { return "LocalFile"; }
  // The base fields, and from local-file defaults also PreserveAttributes.
  void Assign(TPersistent* Source) override;
  bool PreserveAttributes = true;
};
