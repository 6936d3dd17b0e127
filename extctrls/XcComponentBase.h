// TXcComponent: the base class of the non-visual extended components (process runner, file
// drop, URL grabbers). A TComponent with one design-time information property.
#pragma once

#include "platform/vcl/Component.h"

enum TXCLAboutInfo { XCLAbout };

class TXcComponent : public TComponent {
public:
  using TComponent::TComponent;

  TXCLAboutInfo GetAboutXCL() const { return FAboutXCL; }
  void SetAboutXCL(TXCLAboutInfo Value) { FAboutXCL = Value; }

private:
  TXCLAboutInfo FAboutXCL = XCLAbout;
};
