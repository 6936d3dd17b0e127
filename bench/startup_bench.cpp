// Start-up of the program to its idle main window, headless and on a private Xvfb (when Xvfb is
// installed), as a ratio to a minimal program of ours that opens one empty window the same way
// (the application object, one form, shown, its messages handled). The pieces of start-up are
// timed apart as well, so that the slow step shows: the built-in skin's unpacking, the preset and
// device tables, the tool provision of the work folder (first start and a later start), and the
// whole start. Every run is a fresh process (forked before anything is made), in a home folder
// of its own: the first start makes the work folder, later starts find it.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/FormSkin.h"
#include "app/MainWindow.h"
#include "app/ProgramMain.h"
#include "app/ProgramUnits.h"
#include "core/DeviceTables.h"
#include "core/MainForm.h"
#include "platform/os/ToolLinks.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point T0) { return std::chrono::duration<double, std::milli>(Clock::now() - T0).count(); }

// Runs Body in a fresh child process; the milliseconds it reports (negative when it failed).
double InChild(const std::function<double()>& Body)
{
  int Pipe[2];
  if (pipe(Pipe) != 0) return -1;
  const pid_t Pid = fork();
  if (Pid == 0) {
    close(Pipe[0]);
    const double Ms = Body();
    if (write(Pipe[1], &Ms, sizeof Ms) != sizeof Ms) _exit(2);
    _exit(0);  // no destructors: what the program does at its end is not measured
  }
  close(Pipe[1]);
  double Ms = -1;
  if (read(Pipe[0], &Ms, sizeof Ms) != sizeof Ms) Ms = -1;
  close(Pipe[0]);
  int Status = 0;
  waitpid(Pid, &Status, 0);
  return Ms;
}

std::string Home;

void UseHome()
{
  setenv("HOME", Home.c_str(), 1);
  setenv("XDG_DATA_HOME", (Home + "/.local/share").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (Home + "/.config").c_str(), 1);
}

void PumpUntilIdle()
{
  for (int I = 0; I < 3; ++I) Application->ProcessMessages();
}

double MinimalWindow()
{
  const auto T0 = Clock::now();
  Application->Initialize();
  TForm* Form = nullptr;
  Application->CreateForm(Form);
  Form->SetBounds(0, 0, 1000, 700);
  Form->Show();
  PumpUntilIdle();
  return Since(T0);
}

double WholeStart()
{
  UseHome();
  SetDialogHandler([](TDialogRequest&) { return mrOk; });
  const auto T0 = Clock::now();
  StartProgramUnits();
  String Failure;
  if (!CreateProgramWindows({}, Failure)) return -1;
  ProgramMainWindow()->Show();
  PumpUntilIdle();
  return Since(T0);
}

double SkinOnly()
{
  const auto T0 = Clock::now();
  ProgramSkinData();
  return Since(T0);
}

double TablesOnly()
{
  Application->Initialize();
  auto* Model = new TForm1(nullptr);
  (void)Model;
  const auto T0 = Clock::now();
  LoadCodecTable();
  return Since(T0);
}

double ToolProvision(bool Fresh)
{
  const std::string Work = Home + (Fresh ? "/provision-" + std::to_string(getpid()) : "/provision-kept");
  mkdir(Work.c_str(), 0755);
  const auto T0 = Clock::now();
  ExtractPlay(Work + "/");
  return Since(T0);
}

double Median(std::vector<double> V)
{
  std::sort(V.begin(), V.end());
  return V.empty() ? -1 : V[V.size() / 2];
}

double MedianOf(int Runs, const std::function<double()>& Body)
{
  std::vector<double> V;
  for (int I = 0; I < Runs; ++I) {
    const double Ms = InChild(Body);
    if (Ms >= 0) V.push_back(Ms);
  }
  return Median(V);
}

void Measure(const char* Where)
{
  constexpr int Runs = 9;
  std::printf("\n-- %s --\n", Where);
  InChild(WholeStart);  // the first start makes the work folder; the runs below are later starts
  std::vector<double> Ours, Base, Ratios;
  for (int I = 0; I < Runs; ++I) {
    const double O = InChild(WholeStart), B = InChild(MinimalWindow);
    if (O < 0 || B <= 0) continue;
    Ours.push_back(O);
    Base.push_back(B);
    Ratios.push_back(O / B);
  }
  std::printf("%-44s %9.2f ms vs %9.2f ms  ratio %.1f  goal: well under 150 ms\n",
              "start-up to the idle main window", Median(Ours), Median(Base), Median(Ratios));
  std::printf("%-44s %9.2f ms\n", "  of which: the built-in skin", MedianOf(Runs, SkinOnly));
  std::printf("%-44s %9.2f ms\n", "  of which: the preset and device tables", MedianOf(Runs, TablesOnly));
  std::printf("%-44s %9.2f ms\n", "  of which: tool provision (first start)", MedianOf(Runs, [] { return ToolProvision(true); }));
  std::printf("%-44s %9.2f ms\n", "  of which: tool provision (later start)", MedianOf(Runs, [] { return ToolProvision(false); }));
}

// A private Xvfb for the runs on X11; its process id (0 when none could start).
pid_t StartXvfb(std::string& Display)
{
  for (int N = 180; N < 200; ++N) {
    const std::string Socket = "/tmp/.X11-unix/X" + std::to_string(N);
    if (access(Socket.c_str(), F_OK) == 0) continue;
    const pid_t Pid = fork();
    if (Pid == 0) {
      const int Null = open("/dev/null", O_WRONLY);
      dup2(Null, 1);
      dup2(Null, 2);
      const std::string Name = ":" + std::to_string(N);
      execlp("Xvfb", "Xvfb", Name.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", (char*)nullptr);
      _exit(127);
    }
    for (int I = 0; I < 200 && access(Socket.c_str(), F_OK) != 0; ++I) usleep(10000);
    if (access(Socket.c_str(), F_OK) == 0) {
      Display = ":" + std::to_string(N);
      return Pid;
    }
    kill(Pid, SIGTERM);
    waitpid(Pid, nullptr, 0);
    return 0;
  }
  return 0;
}

}  // namespace

int main()
{
  char Template[] = "/tmp/qv-startup-bench-XXXXXX";
  if (!mkdtemp(Template)) return 1;
  Home = Template;
  UseHome();
  setenv("QV_DISPLAY", "headless", 1);
  Measure("headless");
  std::string Display;
  if (const pid_t Xvfb = StartXvfb(Display)) {
    setenv("DISPLAY", Display.c_str(), 1);
    setenv("QV_DISPLAY", "x11", 1);
    Measure(("X11 (Xvfb " + Display + ")").c_str());
    kill(Xvfb, SIGTERM);
    waitpid(Xvfb, nullptr, 0);
  } else {
    std::printf("\nXvfb is not installed or did not start: no X11 figures\n");
  }
  const std::string Remove = "rm -rf '" + Home + "'";
  return std::system(Remove.c_str()) == 0 ? 0 : 1;
}
