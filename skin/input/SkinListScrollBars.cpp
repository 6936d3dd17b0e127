#include "skin/input/SkinListScrollBars.h"

namespace {

// Until the program's skinned scroll bar is linked in, lists show no bar of their own.
class TNoBarMaker : public IskListScrollBarMaker {
public:
  IskScrollBarLink* CreateBar(TComponent*, TskScrollBarKind) override { return nullptr; }
  void SetBothLook(IskScrollBarLink*, const String&, int) override {}
};

TNoBarMaker& DefaultMaker()
{
  static TNoBarMaker maker;
  return maker;
}

IskListScrollBarMaker*& CurrentMaker()
{
  static IskListScrollBarMaker* maker = nullptr;
  return maker;
}

} // namespace

IskListScrollBarMaker& ListScrollBarMaker()
{
  IskListScrollBarMaker* m = CurrentMaker();
  return m ? *m : DefaultMaker();
}

IskListScrollBarMaker* SetListScrollBarMaker(IskListScrollBarMaker* Maker)
{
  IskListScrollBarMaker* old = CurrentMaker();
  CurrentMaker() = Maker;
  return old;
}

TskSkinControl* ScrollBarControl(IskScrollBarLink* Bar)
{
  return Bar ? dynamic_cast<TskSkinControl*>(Bar->LinkComponent()) : nullptr;
}
