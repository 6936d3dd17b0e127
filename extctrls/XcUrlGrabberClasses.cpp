// The grabber classes the program registers at start-up.
#include "extctrls/XcInternetUrlGrabbers.h"
#include "extctrls/XcLocalFileUrlGrabber.h"

void XcRegisterUrlGrabbers()
{
  TXcUrlGrabberClassList& list = XcUrlGrabberClassList();
  for (const TXcUrlGrabberClass* cls : {TXcFtpUrlGrabber::StaticGrabberClass(), TXcHttpUrlGrabber::StaticGrabberClass(),
                                        TXcHttpsUrlGrabber::StaticGrabberClass(),
                                        TXcLocalFileUrlGrabber::StaticGrabberClass()})
    if (list.IndexOf(cls) < 0) list.Add(cls);
}
