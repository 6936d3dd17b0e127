#include "platform/rtl/Persistent.h"

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"

namespace {

class TPen : public TPersistent {
public:
  int Width = 1;
  void Assign(TPersistent* Source) override
  {
    if (auto* pen = dynamic_cast<TPen*>(Source)) {
      Width = pen->Width;
      return;
    }
    TPersistent::Assign(Source);
  }
};

// Knows how to copy itself into a TPen, which doesn't know about it.
class TPenShape : public TPersistent {
public:
  int Width = 7;

protected:
  void AssignTo(TPersistent* Dest) override
  {
    if (auto* pen = dynamic_cast<TPen*>(Dest)) {
      pen->Width = Width;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

class TBrush : public TPersistent {};

TEST(PersistentTest, AssignFallsBackToTheSourcesAssignTo)
{
  TPen pen;
  TPenShape shape;
  pen.Assign(&shape);
  EXPECT_EQ(pen.Width, 7);
}

TEST(PersistentTest, AssignBetweenUnrelatedClassesNamesBoth)
{
  TPen pen;
  TBrush brush;
  TPenShape shape;
  struct Case {
    TPersistent* Dest;
    TPersistent* Source;
    const char* Message;
  } cases[] = {
      {&pen, &brush, "Cannot assign a TBrush to a TPen"},
      {&brush, &pen, "Cannot assign a TPen to a TBrush"},
      {&brush, &shape, "Cannot assign a TPenShape to a TBrush"},
      {&pen, nullptr, "Cannot assign a nil to a TPen"},
  };
  for (const auto& c : cases) {
    try {
      c.Dest->Assign(c.Source);
      ADD_FAILURE() << "no error for: " << c.Message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  EXPECT_EQ(pen.Width, 1);
}

TEST(PersistentTest, NamePathIsTheClassName)
{
  TBrush brush;
  EXPECT_EQ(brush.GetNamePath(), "TBrush");
}

}  // namespace
