#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/ProgramUnits.h"
#include "extctrls/XcUrlGrabbers.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"

TEST(ProgramUnits, StartUpRegistersEveryRevisionAndTheDragCursors)
{
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  ASSERT_NE(Screen, nullptr);
  TUnitVersioning* Registry = ProcessUnitRegistry();
  if (!Registry) GTEST_SKIP() << "the revision registry of this process was closed by an earlier test";
  StartProgramUnits();

  // Every unit of the system library, once, under the program's instance.
  TUnitVersioningModule* Module = nullptr;
  for (int I = 0; I < Registry->GetModuleCount(); ++I)
    if (Registry->GetModule(I)->GetInstance() == ProgramInstance()) Module = Registry->GetModule(I);
  ASSERT_NE(Module, nullptr) << "the registry stays empty";
  std::set<std::string> Files;
  for (int I = 0; I < Module->GetCount(); ++I) Files.insert(Module->GetItem(I)->GetInfo()->RCSfile);
  const char* const Expected[] = {"SxSysUtils.cpp",       "SxDynamicTable.cpp", "SxSharedMemory.cpp",
                                  "SxUnitVersioning.cpp", "SxSyncObjects.cpp",  "SxFileMapping.cpp"};
  EXPECT_EQ(Module->GetCount(), static_cast<int>(std::size(Expected)));
  for (const char* File : Expected) EXPECT_EQ(Files.count(File), 1u) << File;

  // The drag cursors of the extended controls.
  const struct {
    TCursor Id;
    TCursor Stock;
  } Cursors[] = {{368, crMultiDrag}, {369, crDrag}, {370, crMultiDrag}, {371, crMultiDrag}};
  for (const auto& C : Cursors) EXPECT_EQ(Screen->GetCursors(C.Id), Screen->GetCursors(C.Stock)) << C.Id;

  // The four URL grabber classes, FTP first.
  ASSERT_EQ(XcUrlGrabberClassList().GetCount(), 4);
  EXPECT_STREQ(XcUrlGrabberClassList().GetItem(0)->Name, "TXcFtpUrlGrabber");
  EXPECT_STREQ(XcUrlGrabberClassList().GetItem(3)->Name, "TXcLocalFileUrlGrabber");

  EndProgramUnits();
  EXPECT_EQ(ProcessUnitRegistry(), nullptr);
}
