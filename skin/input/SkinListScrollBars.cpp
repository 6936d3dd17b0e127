#include "skin/input/SkinListScrollBars.h"

#include "skin/controls/SkinScrollBar.h"

namespace {

// The program's own bars: skinned scroll bars of the list's kind.
class TSkinBarMaker : public IskListScrollBarMaker {
public:
  IskScrollBarLink* CreateBar(TComponent* Owner, TskScrollBarKind Kind) override
  {
    auto* bar = new TskSkinScrollBar(Owner);
    bar->SetKind(Kind);
    bar->SetBounds(0, 0, 20, 100);
    bar->SetPageSize(0);
    bar->SetMin(0);
    bar->SetPosition(0);
    return bar;
  }
  void SetBothLook(IskScrollBarLink* Bar, const String& BothSkinDataName, int BothMarkerWidth) override
  {
    if (auto* bar = dynamic_cast<TskSkinScrollBar*>(Bar)) {
      bar->SetBothSkinDataName(BothSkinDataName);
      bar->SetBothMarkerWidth(BothMarkerWidth);
    }
  }
};

TSkinBarMaker& DefaultMaker()
{
  static TSkinBarMaker maker;
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
