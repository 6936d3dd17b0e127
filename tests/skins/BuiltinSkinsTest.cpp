#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "skin/foundation/SkinData.h"
#include "skins/BuiltinSkins.h"
#include "tools/mkskin/SkinChecker.h"

namespace {

std::vector<TSkinRequirement> Required()
{
  std::ifstream in(String(QV_SOURCE_DIR) + "/skins/required.txt");
  std::ostringstream text;
  text << in.rdbuf();
  return ParseSkinRequirements(text.str());
}

bool HasKind(TskSkinData& Data, const TSkinRequirement& R)
{
  if (R.Object) {
    const int i = Data.GetObjectIndex(R.Name);
    if (i < 0)
      return false;
    std::unique_ptr<TskDataSkinObject> probe(CreateSkinObjectRecord(R.Keyword, "probe"));
    if (!probe)
      return false;
    const TskDataSkinObject& expected = *probe;
    const TskDataSkinObject& found = *Data.ObjectList[i];
    return typeid(expected) == typeid(found);
  }
  const int i = Data.GetControlIndex(R.Name);
  if (i < 0)
    return false;
  std::unique_ptr<TskDataSkinControl> probe(CreateSkinControlRecord(R.Keyword, "probe"));
  if (!probe)
    return false;
  const TskDataSkinControl& expected = *probe;
  const TskDataSkinControl& found = *Data.ControlList[i];
  return typeid(expected) == typeid(found);
}

TEST(BuiltinSkins, BothLoadWithEveryRecordTheProgramNeeds)
{
  const auto required = Required();
  ASSERT_GT(required.size(), 40u);
  for (TBuiltinSkin which : {TBuiltinSkin::bsFrame, TBuiltinSkin::bsControls}) {
    TskCompressedStoredSkin stored(nullptr);
    LoadBuiltinSkin(&stored, which);
    TskSkinData data(nullptr);
    data.SetCompressedStoredSkin(&stored);
    ASSERT_FALSE(data.Empty) << data.LoadError;
    EXPECT_FALSE(data.picture->Empty());
    ASSERT_EQ(data.ActivePictures.size(), 5u);
    EXPECT_NE(data.PopupWindow->windowpictureindex, -1);
    EXPECT_EQ(data.LayerFrame->pictureindex, -1);
    EXPECT_NE(data.SkinColors->cbtnface, 0u);
    for (const TSkinRequirement& r : required)
      EXPECT_TRUE(HasKind(data, r)) << r.Name << " (" << r.Keyword << ") in skin " << static_cast<int>(which);
    // Every picture index of every control record points at a picture of the skin.
    for (TskDataSkinControl* record : data.ControlList)
      EXPECT_LT(record->pictureindex, static_cast<int>(data.ActivePictures.size())) << record->RecordName;
  }
}

} // namespace
