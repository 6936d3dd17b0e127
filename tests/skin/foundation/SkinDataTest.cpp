#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/ZCompress.h"
#include "tests/support/TempDirTest.h"

namespace {

// Records the skin messages its window receives, in a log shared by all such forms.
class TMessageForm : public TForm {
public:
  TMessageForm(TComponent* AOwner, std::vector<std::pair<String, UINT>>* ALog, const String& AId)
      : TForm(AOwner), FLog(ALog), FId(AId)
  {
  }
  void WndProc(TMessage& Message) override
  {
    if (Message.Msg >= 1225 && Message.Msg <= 1427 && Message.LParam == 1000)
      FLog->emplace_back(FId, Message.Msg);
    TForm::WndProc(Message);
  }

private:
  std::vector<std::pair<String, UINT>>* FLog;
  String FId;
};

// A payload of the stored-skin container: version, frame pictures, active pictures, text.
class TPayload {
public:
  explicit TPayload(std::int32_t Version) { Int32(Version); }
  TPayload& Int32(std::int32_t V)
  {
    for (int i = 0; i < 4; ++i)
      FBytes.push_back(static_cast<char>((static_cast<std::uint32_t>(V) >> (8 * i)) & 0xFF));
    return *this;
  }
  TPayload& Byte(std::uint8_t B)
  {
    FBytes.push_back(static_cast<char>(B));
    return *this;
  }
  TPayload& Bmp(TColor Color, int Width = 3, int Height = 2)
  {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(Width, Height);
    bitmap.GetCanvas()->GetBrush()->SetColor(Color);
    bitmap.GetCanvas()->FillRect(TRect{0, 0, Width, Height});
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    FBytes.append(static_cast<const char*>(stream.GetMemory()), static_cast<std::size_t>(stream.GetSize()));
    return *this;
  }
  // A run-length picture of Width x Height whose data ends at once: a few bytes claiming a
  // large picture.
  TPayload& RleBmp(int Width, int Height)
  {
    TPayload file(0);
    file.FBytes.clear();
    file.Text("BM").Int32(14 + 40 + 8 + 2).Int32(0).Int32(14 + 40 + 8);
    file.Int32(40).Int32(Width).Int32(Height).Byte(1).Byte(0).Byte(8).Byte(0).Int32(1 /* RLE8 */).Int32(2);
    file.Int32(0).Int32(0).Int32(2).Int32(0).Int32(0).Int32(0x00FFFFFF).Byte(0).Byte(1);
    FBytes += file.FBytes;
    return *this;
  }
  TPayload& Text(const String& T)
  {
    FBytes += T;
    return *this;
  }
  // The payload deflated, as a stored skin holds it.
  void StoreIn(TskCompressedStoredSkin& Skin) const
  {
    TStringStream in(FBytes);
    TMemoryStream packed;
    ZCompressStream(&in, &packed, FBytes.size() > (1u << 20) ? 1 : 9); // large ones quickly
    Skin.SetCompressedData(packed.GetMemory(), static_cast<std::size_t>(packed.GetSize()));
  }
  String& Bytes() { return FBytes; }

private:
  String FBytes;
};

const char* const SkinText =
    "[VERSION]\r\nskinname=Test skin\r\n[PICTURES]\r\npicture=frame.bmp\r\nmask=m.bmp\r\n"
    "activepicturescount=1\r\n0=a.bmp\r\n"
    "[FORMINFO]\r\nlefttoppoint=8,28\r\nrighttoppoint=150,29\r\nleftbottompoint=3,99\r\nrightbottompoint=140,90\r\n"
    "clientrect=4,27,146,101\r\nmaskrectarea=4,4,146,101\r\nhittestlefttoppoint=0,5\r\n"
    "stretchtype=StFull\r\ninactiveeffect=iefade\r\n"
    "[SKINCOLORS]\r\ncbtnface=255\r\n"
    "[SKINAREAS]\r\ncount=2\r\n0=logo:1,2,3,4\r\n1=noname\r\n"
    "[SKINOBJECTS]\r\ncount=1\r\n0=closebutton:stdbutton\r\n[closebutton]\r\nhint=Close\r\ncommand=cmclose\r\n"
    "[SKINCONTROLS]\r\ncount=4\r\n0=button:button\r\n1=x:Button\r\n2=button:bevel\r\n3=listbox:listbox\r\n"
    "[button]\r\npictureindex=0\r\nskinrect=0,0,3,2\r\n";

class SkinDataTest : public testing::Test {
protected:
  void SetUp() override
  {
    FFirst = new TMessageForm(Application, &FLog, "first");
    FSecond = new TMessageForm(Application, &FLog, "second");
    FFirst->GetHandle();
    FSecond->GetHandle();
  }
  void TearDown() override
  {
    delete FFirst;
    delete FSecond;
  }

  // The skin messages each form got, as "id:number" in arrival order.
  std::vector<String> Seen() const
  {
    std::vector<String> seen;
    for (const auto& [id, msg] : FLog)
      seen.push_back(id + ":" + std::to_string(msg));
    return seen;
  }
  static TPayload GoodPayload()
  {
    TPayload p(3);
    p.Byte(0).Bmp(clRed).Byte(1).Byte(0).Bmp(clWhite).Int32(1).Bmp(clBlue).Text(SkinText);
    return p;
  }

  std::vector<std::pair<String, UINT>> FLog;
  TMessageForm* FFirst = nullptr;
  TMessageForm* FSecond = nullptr;
};

TEST_F(SkinDataTest, LoadsEveryPartOfAStoredSkin)
{
  TskCompressedStoredSkin stored(nullptr);
  GoodPayload().StoreIn(stored);
  TskSkinData data(nullptr);
  data.SetCompressedStoredSkin(&stored);

  ASSERT_FALSE(data.Empty) << data.LoadError;
  EXPECT_FALSE(data.SkinChanging);
  EXPECT_EQ(data.skinname, "Test skin");
  EXPECT_EQ(data.picture->GetWidth(), 3);
  EXPECT_TRUE(data.inactivepicture->Empty());
  EXPECT_FALSE(data.mask->Empty());
  EXPECT_TRUE(data.rolluppicture->Empty());
  ASSERT_EQ(data.ActivePictures.size(), 1u);
  EXPECT_EQ(data.ActivePictureNames->Get(0), "a.bmp");

  // FORMINFO after its rules: the mask area grows over the client part, an unset hit-test
  // point takes its corner, the corners are pulled into the client part.
  EXPECT_EQ(data.maskrectarea, (TRect{4, 4, 146, 101}));
  EXPECT_EQ(data.hittestlefttoppoint, (TPoint{8, 28}));
  EXPECT_EQ(data.lefttoppoint, (TPoint{8, 28}));
  EXPECT_EQ(data.righttoppoint, (TPoint{146, 29}));
  EXPECT_EQ(data.leftbottompoint, (TPoint{4, 99}));
  EXPECT_EQ(data.stretchtype, stHorz);
  EXPECT_EQ(data.inactiveeffect, ieGrayScale);
  EXPECT_EQ(data.SkinColors->cbtnface, 255u);
  EXPECT_EQ(data.SkinColors->cbtntext, 0u); // a loaded skin without the key gives black

  ASSERT_EQ(data.AreaList.size(), 2u);
  EXPECT_EQ(data.AreaList[0]->AreaBounds, (TRect{1, 2, 3, 4}));
  EXPECT_EQ(data.GetAreaIndex("logo"), 0);
  EXPECT_EQ(data.GetObjectIndex("closebutton"), 0);
  // "x:Button" is skipped; a second "button" is found after the first.
  ASSERT_EQ(data.ControlList.size(), 3u);
  EXPECT_EQ(data.GetControlIndex("button"), 0);
  EXPECT_EQ(data.GetControlIndex("Button"), -1);
  EXPECT_EQ(data.GetControlIndex("x"), -1);
  EXPECT_NE(dynamic_cast<TskDataSkinListBox*>(data.ControlList[2]), nullptr);

  data.ClearSkin();
  EXPECT_TRUE(data.Empty);
  EXPECT_EQ(data.GetControlIndex("button"), -1);
  EXPECT_EQ(data.SkinColors->cbtnface, clBtnFace);
}

TEST_F(SkinDataTest, EveryFormHearsTheChangeInScreenOrder)
{
  TskCompressedStoredSkin stored(nullptr);
  GoodPayload().StoreIn(stored);
  TskSkinData data(nullptr);
  data.SetCompressedStoredSkin(&stored);
  ASSERT_GE(Screen->GetFormCount(), 2); // both test forms are listed
  std::vector<String> expected;
  for (const char* msg : {"1225", "1226", "1227"}) {
    for (int i = 0; i < Screen->GetFormCount(); ++i) {
      if (Screen->GetForms(i) == FFirst)
        expected.push_back(String("first:") + msg);
      if (Screen->GetForms(i) == FSecond)
        expected.push_back(String("second:") + msg);
    }
  }
  EXPECT_EQ(Seen(), expected);

  FLog.clear();
  TskCompressedStoredSkin empty(nullptr);
  data.SetCompressedStoredSkin(&empty); // nothing to load: nothing happens
  EXPECT_TRUE(Seen().empty());
  EXPECT_FALSE(data.Empty);
}

TEST_F(SkinDataTest, DamagedSkinsLeaveTheDefaultLookAndFinishTheChange)
{
  struct Case {
    const char* Name;
    TPayload Payload;
  };
  std::vector<Case> cases;
  cases.push_back({"version 4", TPayload(4)});
  {
    TPayload p = GoodPayload();
    String& bytes = p.Bytes(); // a record with an empty rectangle stops the reading
    bytes.replace(bytes.find("skinrect=0,0,3,2"), 16, "skinrect=");
    cases.push_back({"empty rectangle", p});
  }
  {
    TPayload p(3);
    p.Byte(0).Bmp(clRed);
    p.Bytes().resize(p.Bytes().size() - 5); // the picture is cut short
    cases.push_back({"truncated picture", p});
  }
  {
    TPayload p(3);
    p.Byte(1).Byte(1).Byte(1).Int32(1000000).Bmp(clRed); // more pictures than bytes
    cases.push_back({"picture count beyond the data", p});
  }
  {
    TPayload p = GoodPayload(); // one active picture, but a record points at the second
    String& bytes = p.Bytes();
    bytes.replace(bytes.find("pictureindex=0"), 14, "pictureindex=1");
    cases.push_back({"picture index out of range", p});
  }
  // Counts beyond their section's lines: each list is refused quickly, not read for minutes
  // or until memory runs out.
  const struct {
    const char* Name;
    const char* From;
    const char* To;
  } counts[] = {
      {"controls count", "[SKINCONTROLS]\r\ncount=4", "[SKINCONTROLS]\r\ncount=2000000000"},
      {"objects count", "[SKINOBJECTS]\r\ncount=1", "[SKINOBJECTS]\r\ncount=2000000000"},
      {"areas count", "[SKINAREAS]\r\ncount=2", "[SKINAREAS]\r\ncount=2000000000"},
      {"picture names count", "activepicturescount=1", "activepicturescount=2000000000"},
      {"record line count", "[button]\r\n", "[button]\r\nsymbolslinecount=2000000000\r\n"},
  };
  for (const auto& c : counts) {
    TPayload p = GoodPayload();
    String& bytes = p.Bytes();
    bytes.replace(bytes.find(c.From), std::strlen(c.From), c.To);
    if (String(c.Name) == "record line count") // a bit label record reads the lines
      bytes.replace(bytes.find("0=button:button"), 15, "0=button:bitlabel");
    cases.push_back({c.Name, p});
  }
  {
    TPayload p(3); // a frame mask that does not match its picture
    p.Byte(0).Bmp(clRed).Byte(1).Byte(0).Bmp(clWhite, 4, 2).Int32(1).Bmp(clBlue).Text(SkinText);
    cases.push_back({"frame mask of another size", p});
  }
  {
    TPayload p(3); // an inactive frame of another size
    p.Byte(0).Bmp(clRed).Byte(0).Bmp(clRed, 3, 3).Byte(0).Bmp(clWhite).Int32(1).Bmp(clBlue).Text(SkinText);
    cases.push_back({"inactive frame of another size", p});
  }
  // Places beyond any picture's size (which would overflow the image builders' arithmetic).
  const struct {
    const char* Name;
    const char* From;
    const char* To;
  } places[] = {
      {"record rectangle beyond any picture", "skinrect=0,0,3,2", "skinrect=0,0,2000000000,2"},
      {"area beyond any picture", "0=logo:1,2,3,4", "0=logo:1,2,3,65536"},
      {"frame point beyond any picture", "lefttoppoint=8,28", "lefttoppoint=2147483647,28"},
  };
  for (const auto& c : places) {
    TPayload p = GoodPayload();
    String& bytes = p.Bytes();
    bytes.replace(bytes.find(c.From), std::strlen(c.From), c.To);
    cases.push_back({c.Name, p});
  }
  {
    // Five pictures of 16 million pixels from a few bytes each: beyond the pictures' memory.
    TPayload p(3);
    p.Byte(1).Byte(1).Byte(1).Int32(5);
    for (int i = 0; i < 5; ++i)
      p.RleBmp(4000, 4000);
    p.Text(SkinText);
    cases.push_back({"pictures beyond their memory", p});
  }
  {
    TPayload p = GoodPayload(); // a text that inflates beyond any real skin
    p.Text(String(static_cast<std::size_t>(StoredSkinMaxPayload), ';'));
    cases.push_back({"inflated size beyond the limit", p});
  }
  for (Case& c : cases) {
    FLog.clear();
    TskCompressedStoredSkin stored(nullptr);
    c.Payload.StoreIn(stored);
    TskSkinData data(nullptr);
    data.SetCompressedStoredSkin(&stored);
    EXPECT_TRUE(data.Empty) << c.Name;
    EXPECT_FALSE(data.SkinChanging) << c.Name;
    EXPECT_FALSE(data.LoadError.empty()) << c.Name;
    EXPECT_EQ(data.GetControlIndex("button"), -1) << c.Name;
    EXPECT_TRUE(data.ActivePictures.empty()) << c.Name;
    const auto seen = Seen();
    ASSERT_FALSE(seen.empty()) << c.Name;
    EXPECT_EQ(seen.back().substr(seen.back().find(':') + 1), "1227") << c.Name;
  }

  // A stream that is not zlib data at all.
  FLog.clear();
  TskCompressedStoredSkin junk(nullptr);
  junk.SetCompressedData("not a zlib stream", 17);
  TskSkinData data(nullptr);
  data.SetCompressedStoredSkin(&junk);
  EXPECT_TRUE(data.Empty);
  EXPECT_FALSE(data.LoadError.empty());
}

TEST_F(SkinDataTest, RunningOutOfMemoryFailsTheLoadLikeDamage)
{
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit cannot be combined with the address sanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "an address-space limit cannot be combined with the address sanitizer";
#endif
#endif
  // A skin within every limit, in a process that has too little memory left to read it.
  TPayload p = GoodPayload();
  p.Text(String(static_cast<std::size_t>(StoredSkinMaxPayload) - p.Bytes().size() - 1000, ';'));
  TskCompressedStoredSkin stored(nullptr);
  p.StoreIn(stored);
  p.Bytes().clear();
  p.Bytes().shrink_to_fit();
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // Room for about one copy of the payload, not for the several a load makes.
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(statm, "%ld", &pages) != 1)
        pages = 0;
      std::fclose(statm);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t(96) << 20);
    const rlimit rl{limit, limit};
    if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0)
      _exit(3);
    try {
      TskSkinData data(nullptr);
      data.SetCompressedStoredSkin(&stored);
      _exit(data.Empty && !data.SkinChanging && !data.LoadError.empty() ? 0 : 1);
    } catch (...) {
      _exit(2); // escaped the load
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "the load ended the process (signal " << WTERMSIG(status) << ")";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SkinDataTest, SkinListAndIndex)
{
  TskCompressedSkinList list(nullptr);
  for (int i = 0; i < 3; ++i)
    GoodPayload().StoreIn(*static_cast<TskSkinListItem*>(list.GetSkins()->Add())->StoredSkin());
  TskSkinData data(nullptr);
  data.SetSkinIndex(7); // no list: only stored
  EXPECT_EQ(data.GetSkinIndex(), 7);
  EXPECT_TRUE(data.Empty);
  data.SetSkinIndex(1);
  data.SetSkinList(&list);
  EXPECT_FALSE(data.Empty);
  data.SetSkinIndex(5); // outside the list: ignored
  EXPECT_EQ(data.GetSkinIndex(), 1);

  FLog.clear();
  data.SetSkinnableForm(false);
  data.SetSkinnableForm(false); // no change, no message
  data.SetShowLayeredBorders(false);
  std::size_t skinnable = 0, borders = 0;
  for (const auto& [id, msg] : FLog) {
    skinnable += msg == SkinnableFormChangedMessage;
    borders += msg == LayeredBordersChangedMessage;
  }
  EXPECT_EQ(skinnable, 2u); // once per form
  EXPECT_EQ(borders, 2u);
}

TEST_F(SkinDataTest, ReferencesClearWhenTheirComponentsGo)
{
  TskSkinData data(nullptr);
  auto* strings = new TskResourceStrData(nullptr);
  auto* stored = new TskCompressedStoredSkin(nullptr);
  data.SetResourceStrData(strings);
  data.SetCompressedStoredSkin(stored);
  delete strings;
  delete stored;
  EXPECT_EQ(data.GetResourceStrData(), nullptr);
  EXPECT_EQ(data.GetCompressedStoredSkin(), nullptr);
}

} // namespace
