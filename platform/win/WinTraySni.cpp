// Tray icons as items of today's panels: a StatusNotifierItem exported on the session bus and
// registered with the StatusNotifierWatcher.
//
// Contract:
// - The bus is the one DBUS_SESSION_BUS_ADDRESS names; without it (or when it cannot be reached)
//   there are no items and the callers use the window system's tray. No bus is ever started.
// - Each icon owns a name "org.kde.StatusNotifierItem-<pid>-<n>" and answers on
//   /StatusNotifierItem: its picture as pixels (IconPixmap: ARGB32 in network order, alpha from
//   the icon's mask), its tip (ToolTip, Title), and the calls Activate (the program's default
//   action, a double click), SecondaryActivate (the middle button) and ContextMenu (the right
//   button), which reach the icon's owner as the mouse messages of its callback, posted with the
//   point the panel gave as their position. Changes emit NewIcon, NewToolTip and NewTitle.
// - A watcher that goes away leaves the items exported; the one that takes its name gets them
//   registered again. When the bus itself goes, the items leave the icon model as the icons of a
//   tray that ended do, and the program's windows are told "TaskbarCreated" so that their icons
//   find another home (the window system's tray) or none.
// - Texts go out as valid UTF-8: bytes that are not become U+FFFD.
// - Everything runs on the GUI thread: the connection is read from that thread's loop, and
//   method calls of the panel only post messages, never call window code.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/win/WinInternal.h"
#include "platform/win/WinUser.h"

// After the platform's headers: libdbus defines TRUE and FALSE as macros unless they exist.
#include <dbus/dbus.h>

using namespace QvWin;

namespace {

constexpr char BusName[] = "org.freedesktop.DBus";
constexpr char PropertiesInterface[] = "org.freedesktop.DBus.Properties";
constexpr char IntrospectableInterface[] = "org.freedesktop.DBus.Introspectable";
constexpr char WatcherName[] = "org.kde.StatusNotifierWatcher";
constexpr char WatcherPath[] = "/StatusNotifierWatcher";
constexpr char ItemInterface[] = "org.kde.StatusNotifierItem";
constexpr char ItemPath[] = "/StatusNotifierItem";
constexpr char ItemClass[] = "QvStatusNotifierItem";
constexpr int PixmapSizes[] = {16, 24, 32, 48};

constexpr char IntrospectXml[] =
    "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n"
    "<node>\n"
    " <interface name=\"org.kde.StatusNotifierItem\">\n"
    "  <property name=\"Category\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"Id\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"Title\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"Status\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"WindowId\" type=\"i\" access=\"read\"/>\n"
    "  <property name=\"IconName\" type=\"s\" access=\"read\"/>\n"
    "  <property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>\n"
    "  <property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>\n"
    "  <property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>\n"
    "  <method name=\"Activate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
    "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
    "  <method name=\"SecondaryActivate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
    "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
    "  <method name=\"ContextMenu\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
    "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>\n"
    "  <signal name=\"NewTitle\"/>\n"
    "  <signal name=\"NewIcon\"/>\n"
    "  <signal name=\"NewToolTip\"/>\n"
    " </interface>\n"
    " <interface name=\"org.freedesktop.DBus.Properties\">\n"
    "  <method name=\"Get\"><arg type=\"s\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/>"
    "<arg type=\"v\" direction=\"out\"/></method>\n"
    "  <method name=\"GetAll\"><arg type=\"s\" direction=\"in\"/>"
    "<arg type=\"a{sv}\" direction=\"out\"/></method>\n"
    " </interface>\n"
    " <interface name=\"org.freedesktop.DBus.Introspectable\">\n"
    "  <method name=\"Introspect\"><arg type=\"s\" direction=\"out\"/></method>\n"
    " </interface>\n"
    "</node>\n";

struct TPixmap {
  int Size = 0;
  std::vector<unsigned char> Argb;  // Size * Size pixels, A R G B bytes each
  bool operator==(const TPixmap&) const = default;
};

struct TItem {
  HWND Owner = nullptr;
  UINT Id = 0;
  UINT Callback = 0;
  String Tip;  // valid UTF-8
  std::string Service;
  std::vector<TPixmap> Pixmaps;
};

struct TBus {
  DBusConnection* Conn = nullptr;
  int Fd = -1;
  bool Watcher = false;
  bool Dispatching = false;
  unsigned Serial = 0;
  std::map<HWND, TItem> Items;
};

TBus& Bus()
{
  static auto* B = new TBus;
  return *B;
}

// Invalid sequences (stray continuation bytes, overlong forms, surrogates, beyond U+10FFFF) are
// replaced byte by byte with U+FFFD; so are NULs, which a D-Bus string cannot carry.
String ValidUtf8(const String& Text)
{
  String Out;
  Out.reserve(Text.size());
  const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
  const std::size_t N = Text.size();
  for (std::size_t I = 0; I < N;) {
    const unsigned char C = P[I];
    int Len = 0;
    unsigned Min = 0, Cp = 0;
    if (C >= 0x01 && C < 0x80) Len = 1, Cp = C;
    else if ((C & 0xE0) == 0xC0) Len = 2, Cp = C & 0x1F, Min = 0x80;
    else if ((C & 0xF0) == 0xE0) Len = 3, Cp = C & 0x0F, Min = 0x800;
    else if ((C & 0xF8) == 0xF0) Len = 4, Cp = C & 0x07, Min = 0x10000;
    bool Ok = Len > 0 && I + static_cast<std::size_t>(Len) <= N;
    for (int K = 1; Ok && K < Len; ++K) {
      if ((P[I + K] & 0xC0) != 0x80) Ok = false;
      Cp = (Cp << 6) | (P[I + K] & 0x3F);
    }
    if (Ok && Len > 1 && (Cp < Min || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF))) Ok = false;
    if (Ok) {
      Out.append(Text, I, static_cast<std::size_t>(Len));
      I += static_cast<std::size_t>(Len);
    } else {
      Out += "\xEF\xBF\xBD";
      ++I;
    }
  }
  return Out;
}

// The icon drawn over Back, as 32-bit B G R x rows.
std::vector<unsigned char> PaintOver(HICON Icon, int Size, COLORREF Back)
{
  std::vector<unsigned char> Pixels;
  HDC Dc = CreateCompatibleDC(nullptr);
  if (!Dc) return Pixels;
  BITMAPINFO Info{};
  Info.bmiHeader.biWidth = Size;
  Info.bmiHeader.biHeight = -Size;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  HBITMAP Bmp = CreateDIBSection(Dc, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  if (Bmp && Bits) {
    HGDIOBJ Old = SelectObject(Dc, Bmp);
    RECT R{0, 0, Size, Size};
    HBRUSH Brush = CreateSolidBrush(Back);
    FillRect(Dc, &R, Brush);
    DeleteObject(Brush);
    PaintTrayIcon(Dc, Icon, R);
    GdiFlush();
    const auto* B = static_cast<const unsigned char*>(Bits);
    Pixels.assign(B, B + static_cast<std::size_t>(Size) * Size * 4);
    SelectObject(Dc, Old);
  }
  if (Bmp) DeleteObject(Bmp);
  DeleteDC(Dc);
  return Pixels;
}

// The icon as pixels with alpha: drawn over black and over white, a pixel the background shows
// through differs between the two by as much as it is transparent.
std::vector<TPixmap> Render(HICON Icon)
{
  std::vector<TPixmap> Out;
  if (reinterpret_cast<std::uintptr_t>(Icon) < 0x10000) return Out;  // none, or a stock number
  for (int Size : PixmapSizes) {
    const auto Black = PaintOver(Icon, Size, RGB(0, 0, 0));
    const auto White = PaintOver(Icon, Size, RGB(255, 255, 255));
    if (Black.empty() || Black.size() != White.size()) continue;
    TPixmap P;
    P.Size = Size;
    P.Argb.resize(Black.size());
    for (std::size_t I = 0; I < Black.size(); I += 4) {
      int Through = 0;
      for (int C = 0; C < 3; ++C) Through = std::max(Through, White[I + C] - Black[I + C]);
      const int A = std::clamp(255 - Through, 0, 255);
      P.Argb[I] = static_cast<unsigned char>(A);
      for (int C = 0; C < 3; ++C)
        P.Argb[I + 3 - C] = A == 0 ? 0 : static_cast<unsigned char>(std::min(255, Black[I + C] * 255 / A));
    }
    Out.push_back(std::move(P));
  }
  return Out;
}

String ProgramName()
{
  char Path[4096];
  const ssize_t N = readlink("/proc/self/exe", Path, sizeof Path - 1);
  if (N <= 0) return "quelvo";
  String Full(Path, static_cast<std::size_t>(N));
  const auto Slash = Full.rfind('/');
  return ValidUtf8(Slash == String::npos ? Full : Full.substr(Slash + 1));
}

// ---- Writing values ----

void AppendString(DBusMessageIter* It, const String& Value)
{
  const char* S = Value.c_str();
  dbus_message_iter_append_basic(It, DBUS_TYPE_STRING, &S);
}

void AppendPixmaps(DBusMessageIter* It, const std::vector<TPixmap>& Pixmaps)
{
  DBusMessageIter Array;
  dbus_message_iter_open_container(It, DBUS_TYPE_ARRAY, "(iiay)", &Array);
  for (const TPixmap& P : Pixmaps) {
    DBusMessageIter Struct, Bytes;
    dbus_message_iter_open_container(&Array, DBUS_TYPE_STRUCT, nullptr, &Struct);
    const dbus_int32_t W = P.Size, H = P.Size;
    dbus_message_iter_append_basic(&Struct, DBUS_TYPE_INT32, &W);
    dbus_message_iter_append_basic(&Struct, DBUS_TYPE_INT32, &H);
    dbus_message_iter_open_container(&Struct, DBUS_TYPE_ARRAY, "y", &Bytes);
    const unsigned char* Data = P.Argb.data();
    dbus_message_iter_append_fixed_array(&Bytes, DBUS_TYPE_BYTE, &Data, static_cast<int>(P.Argb.size()));
    dbus_message_iter_close_container(&Struct, &Bytes);
    dbus_message_iter_close_container(&Array, &Struct);
  }
  dbus_message_iter_close_container(It, &Array);
}

const char* const PropertyNames[] = {"Category", "Id",         "Title",   "Status",    "WindowId",
                                     "IconName", "IconPixmap", "ToolTip", "ItemIsMenu"};

String TitleOf(const TItem& I)
{
  static const String Name = ProgramName();
  return I.Tip.empty() ? Name : I.Tip;
}

// Appends the property's value as a variant; false for a name the item does not have.
bool AppendProperty(DBusMessageIter* It, const TItem& I, const char* Name)
{
  DBusMessageIter V;
  auto Str = [&](const String& Value) {
    dbus_message_iter_open_container(It, DBUS_TYPE_VARIANT, "s", &V);
    AppendString(&V, Value);
    dbus_message_iter_close_container(It, &V);
  };
  const std::string N = Name;
  if (N == "Category") Str("ApplicationStatus");
  else if (N == "Id") Str(ProgramName());
  else if (N == "Title") Str(TitleOf(I));
  else if (N == "Status") Str("Active");
  else if (N == "IconName") Str("");
  else if (N == "WindowId") {
    dbus_message_iter_open_container(It, DBUS_TYPE_VARIANT, "i", &V);
    const dbus_int32_t Zero = 0;
    dbus_message_iter_append_basic(&V, DBUS_TYPE_INT32, &Zero);
    dbus_message_iter_close_container(It, &V);
  } else if (N == "ItemIsMenu") {
    dbus_message_iter_open_container(It, DBUS_TYPE_VARIANT, "b", &V);
    const dbus_bool_t No = FALSE;
    dbus_message_iter_append_basic(&V, DBUS_TYPE_BOOLEAN, &No);
    dbus_message_iter_close_container(It, &V);
  } else if (N == "IconPixmap") {
    dbus_message_iter_open_container(It, DBUS_TYPE_VARIANT, "a(iiay)", &V);
    AppendPixmaps(&V, I.Pixmaps);
    dbus_message_iter_close_container(It, &V);
  } else if (N == "ToolTip") {
    // No icon of its own, the tip as the title, no description.
    dbus_message_iter_open_container(It, DBUS_TYPE_VARIANT, "(sa(iiay)ss)", &V);
    DBusMessageIter S;
    dbus_message_iter_open_container(&V, DBUS_TYPE_STRUCT, nullptr, &S);
    AppendString(&S, "");
    AppendPixmaps(&S, {});
    AppendString(&S, I.Tip);
    AppendString(&S, "");
    dbus_message_iter_close_container(&V, &S);
    dbus_message_iter_close_container(It, &V);
  } else {
    return false;
  }
  return true;
}

// ---- The connection ----

void Flush()
{
  if (Bus().Conn) dbus_connection_flush(Bus().Conn);
}

void Emit(const char* Signal)
{
  auto& B = Bus();
  if (!B.Conn) return;
  DBusMessage* M = dbus_message_new_signal(ItemPath, ItemInterface, Signal);
  if (!M) return;
  dbus_connection_send(B.Conn, M, nullptr);
  dbus_message_unref(M);
}

void CallWithoutReply(const char* Destination, const char* Path, const char* Interface, const char* Method,
                      const String& Argument)
{
  auto& B = Bus();
  if (!B.Conn) return;
  DBusMessage* M = dbus_message_new_method_call(Destination, Path, Interface, Method);
  if (!M) return;
  DBusMessageIter It;
  dbus_message_iter_init_append(M, &It);
  AppendString(&It, Argument);
  dbus_message_set_no_reply(M, TRUE);
  dbus_connection_send(B.Conn, M, nullptr);
  dbus_message_unref(M);
}

void RegisterWithWatcher(const TItem& I)
{
  CallWithoutReply(WatcherName, WatcherPath, WatcherName, "RegisterStatusNotifierItem", I.Service);
}

void Drop();

// Hands every message libdbus holds to its handler; a connection found closed is dropped.
void DispatchQueued()
{
  auto& B = Bus();
  if (!B.Conn || B.Dispatching) return;
  B.Dispatching = true;
  while (B.Conn && dbus_connection_dispatch(B.Conn) == DBUS_DISPATCH_DATA_REMAINS) {
  }
  B.Dispatching = false;
  if (B.Conn && !dbus_connection_get_is_connected(B.Conn)) Drop();
}

void Readable()
{
  auto& B = Bus();
  if (!B.Conn) return;
  dbus_connection_read_write(B.Conn, 0);
  DispatchQueued();
}

// The bus went away: the items leave the icon model (their windows go), and the owners are told
// to add their icons again wherever a tray can take them.
void Drop()
{
  auto& B = Bus();
  if (!B.Conn) return;
  DBusConnection* C = B.Conn;
  if (B.Fd >= 0) RemoveLoopFd(B.Fd);
  B.Conn = nullptr;
  B.Fd = -1;
  B.Watcher = false;
  dbus_connection_close(C);
  dbus_connection_unref(C);
  std::vector<HWND> Lost;
  for (const auto& Entry : B.Items) Lost.push_back(Entry.first);
  for (HWND W : Lost) ForgetDockedIcon(W);
  B.Items.clear();
  if (!Lost.empty()) TrayRestarted();
}

DBusHandlerResult Filter(DBusConnection*, DBusMessage* M, void*)
{
  auto& B = Bus();
  // Only the bus itself reports owners; the same signal sent straight to us by a peer is not
  // believed.
  if (dbus_message_is_signal(M, BusName, "NameOwnerChanged") && dbus_message_has_sender(M, BusName)) {
    const char *Name = nullptr, *Old = nullptr, *New = nullptr;
    if (dbus_message_get_args(M, nullptr, DBUS_TYPE_STRING, &Name, DBUS_TYPE_STRING, &Old, DBUS_TYPE_STRING, &New,
                              DBUS_TYPE_INVALID) &&
        std::strcmp(Name, WatcherName) == 0) {
      B.Watcher = New[0] != '\0';
      if (B.Watcher)
        for (const auto& Entry : B.Items) RegisterWithWatcher(Entry.second);
      Flush();
    }
  }
  return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

void Reply(DBusConnection* C, DBusMessage* R)
{
  if (!R) return;
  dbus_connection_send(C, R, nullptr);
  dbus_message_unref(R);
}

void ReplyError(DBusConnection* C, DBusMessage* M, const char* Name, const String& Text)
{
  Reply(C, dbus_message_new_error(M, Name, ValidUtf8(Text).c_str()));
}

// The item a call is meant for: by the name it was sent to; a call to our unique name goes to the
// only item there is.
std::map<HWND, TItem>::iterator ItemFor(DBusMessage* M)
{
  auto& Items = Bus().Items;
  const char* To = dbus_message_get_destination(M);
  for (auto It = Items.begin(); It != Items.end(); ++It)
    if (To && It->second.Service == To) return It;
  return Items.size() == 1 ? Items.begin() : Items.end();
}

void PostMouse(const TItem& I, std::initializer_list<UINT> Messages, POINT At)
{
  if (I.Callback == 0) return;
  for (UINT Msg : Messages) PostMessageAt(I.Owner, I.Callback, I.Id, static_cast<LPARAM>(Msg), At);
}

DBusHandlerResult ItemMessage(DBusConnection* C, DBusMessage* M, void*)
{
  if (dbus_message_get_type(M) != DBUS_MESSAGE_TYPE_METHOD_CALL) return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  auto It = ItemFor(M);
  if (It == Bus().Items.end()) {
    ReplyError(C, M, DBUS_ERROR_UNKNOWN_OBJECT, "No such item");
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  const TItem& I = It->second;
  const char* Member = dbus_message_get_member(M);
  const char* Interface = dbus_message_get_interface(M);
  const std::string Name = Member ? Member : "";
  const std::string Iface = Interface ? Interface : "";

  if (Iface == IntrospectableInterface && Name == "Introspect") {
    DBusMessage* R = dbus_message_new_method_return(M);
    if (R) {
      const char* Xml = IntrospectXml;
      dbus_message_append_args(R, DBUS_TYPE_STRING, &Xml, DBUS_TYPE_INVALID);
    }
    Reply(C, R);
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  if (Iface == PropertiesInterface && Name == "Get") {
    const char *Of = nullptr, *Prop = nullptr;
    if (!dbus_message_get_args(M, nullptr, DBUS_TYPE_STRING, &Of, DBUS_TYPE_STRING, &Prop, DBUS_TYPE_INVALID)) {
      ReplyError(C, M, DBUS_ERROR_INVALID_ARGS, "Get takes an interface and a property name");
      return DBUS_HANDLER_RESULT_HANDLED;
    }
    DBusMessage* R = dbus_message_new_method_return(M);
    if (!R) return DBUS_HANDLER_RESULT_NEED_MEMORY;
    DBusMessageIter Out;
    dbus_message_iter_init_append(R, &Out);
    if ((Of[0] != '\0' && std::strcmp(Of, ItemInterface) != 0) || !AppendProperty(&Out, I, Prop)) {
      dbus_message_unref(R);
      ReplyError(C, M, DBUS_ERROR_UNKNOWN_PROPERTY, String("No property ") + Prop);
      return DBUS_HANDLER_RESULT_HANDLED;
    }
    Reply(C, R);
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  if (Iface == PropertiesInterface && Name == "GetAll") {
    const char* Of = nullptr;
    if (!dbus_message_get_args(M, nullptr, DBUS_TYPE_STRING, &Of, DBUS_TYPE_INVALID)) {
      ReplyError(C, M, DBUS_ERROR_INVALID_ARGS, "GetAll takes an interface name");
      return DBUS_HANDLER_RESULT_HANDLED;
    }
    DBusMessage* R = dbus_message_new_method_return(M);
    if (!R) return DBUS_HANDLER_RESULT_NEED_MEMORY;
    DBusMessageIter Out, Dict;
    dbus_message_iter_init_append(R, &Out);
    dbus_message_iter_open_container(&Out, DBUS_TYPE_ARRAY, "{sv}", &Dict);
    if (Of[0] == '\0' || std::strcmp(Of, ItemInterface) == 0)
      for (const char* P : PropertyNames) {
        DBusMessageIter Entry;
        dbus_message_iter_open_container(&Dict, DBUS_TYPE_DICT_ENTRY, nullptr, &Entry);
        dbus_message_iter_append_basic(&Entry, DBUS_TYPE_STRING, &P);
        AppendProperty(&Entry, I, P);
        dbus_message_iter_close_container(&Dict, &Entry);
      }
    dbus_message_iter_close_container(&Out, &Dict);
    Reply(C, R);
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  if (Iface == PropertiesInterface && Name == "Set") {
    ReplyError(C, M, DBUS_ERROR_PROPERTY_READ_ONLY, "The item's properties are read-only");
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  if ((Iface.empty() || Iface == ItemInterface) &&
      (Name == "Activate" || Name == "SecondaryActivate" || Name == "ContextMenu")) {
    dbus_int32_t X = 0, Y = 0;
    if (!dbus_message_get_args(M, nullptr, DBUS_TYPE_INT32, &X, DBUS_TYPE_INT32, &Y, DBUS_TYPE_INVALID)) {
      ReplyError(C, M, DBUS_ERROR_INVALID_ARGS, Name + " takes the point x, y");
      return DBUS_HANDLER_RESULT_HANDLED;
    }
    Reply(C, dbus_message_new_method_return(M));
    const POINT At{X, Y};
    // Activation is the program's default action, which its icons take on a double click.
    if (Name == "Activate")
      PostMouse(I, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}, At);
    else if (Name == "SecondaryActivate")
      PostMouse(I, {WM_MBUTTONDOWN, WM_MBUTTONUP}, At);
    else
      PostMouse(I, {WM_RBUTTONDOWN, WM_RBUTTONUP}, At);
    return DBUS_HANDLER_RESULT_HANDLED;
  }
  ReplyError(C, M, DBUS_ERROR_UNKNOWN_METHOD, "No method " + Name + " of " + Iface);
  return DBUS_HANDLER_RESULT_HANDLED;
}

bool Connect()
{
  auto& B = Bus();
  if (B.Conn) return true;
  const char* Address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (Address == nullptr || Address[0] == '\0') return false;
  DBusError E;
  dbus_error_init(&E);
  DBusConnection* C = dbus_connection_open_private(Address, &E);
  if (C == nullptr) {
    dbus_error_free(&E);
    return false;
  }
  // Losing the bus must never end the program.
  dbus_connection_set_exit_on_disconnect(C, FALSE);
  int Fd = -1;
  static const DBusObjectPathVTable Table{nullptr, ItemMessage, nullptr, nullptr, nullptr, nullptr};
  bool Ok = dbus_bus_register(C, &E) && dbus_connection_get_unix_fd(C, &Fd);
  if (Ok) {
    dbus_bus_add_match(C,
                       "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                       "member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'",
                       &E);
    Ok = !dbus_error_is_set(&E) && dbus_connection_add_filter(C, Filter, nullptr, nullptr) &&
         dbus_connection_register_object_path(C, ItemPath, &Table, nullptr);
  }
  bool Watcher = false;
  if (Ok) {
    Watcher = dbus_bus_name_has_owner(C, WatcherName, &E);
    Ok = !dbus_error_is_set(&E);
  }
  dbus_error_free(&E);
  if (!Ok) {
    dbus_connection_close(C);
    dbus_connection_unref(C);
    return false;
  }
  B.Conn = C;
  B.Fd = Fd;
  B.Watcher = Watcher;
  AddLoopFd(Fd, Readable);
  DispatchQueued();
  return B.Conn != nullptr;
}

// The window of an item went (DestroyWindow, the owner's end, the bus's end): the item gives up
// its name, which takes it off the panel.
void Withdraw(HWND Wnd)
{
  auto& B = Bus();
  auto It = B.Items.find(Wnd);
  if (It == B.Items.end()) return;
  const std::string Service = It->second.Service;
  B.Items.erase(It);
  CallWithoutReply(BusName, "/org/freedesktop/DBus", BusName, "ReleaseName", Service);
  Flush();
}

LRESULT ItemWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (Msg == WM_NCDESTROY) Withdraw(Wnd);
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void RegisterItemClass()
{
  static bool Done = false;
  if (Done) return;
  Done = true;
  WNDCLASSA C{};
  C.lpfnWndProc = ItemWindowProc;
  C.lpszClassName = ItemClass;
  RegisterClassA(&C);
}

}  // namespace

namespace QvWin {

bool StatusNotifierAvailable()
{
  if (!Connect()) return false;
  Readable();
  auto& B = Bus();
  if (B.Conn && !B.Watcher) {
    // A watcher that has just come may not have been reported yet: ask the bus.
    DBusError E;
    dbus_error_init(&E);
    B.Watcher = dbus_bus_name_has_owner(B.Conn, WatcherName, &E) && !dbus_error_is_set(&E);
    dbus_error_free(&E);
    DispatchQueued();
  }
  return B.Conn != nullptr && B.Watcher;
}

HWND AddStatusNotifierItem(HWND Owner, UINT Id, UINT Callback, HICON Icon, const String& Tip)
{
  auto& B = Bus();
  if (!StatusNotifierAvailable()) return nullptr;
  RegisterItemClass();
  HWND Wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, ItemClass, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                             nullptr, nullptr, nullptr);
  if (Wnd == nullptr) return nullptr;
  TItem I;
  I.Owner = Owner;
  I.Id = Id;
  I.Callback = Callback;
  I.Tip = ValidUtf8(Tip);
  I.Pixmaps = Render(Icon);
  I.Service = "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" + std::to_string(++B.Serial);
  DBusError E;
  dbus_error_init(&E);
  const int Got = dbus_bus_request_name(B.Conn, I.Service.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &E);
  dbus_error_free(&E);
  if (Got != DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
    DestroyWindow(Wnd);
    DispatchQueued();
    return nullptr;
  }
  B.Items[Wnd] = I;
  RegisterWithWatcher(I);
  Flush();
  DispatchQueued();
  // The bus may have gone meanwhile, taking the new item with it.
  return B.Items.count(Wnd) != 0 ? Wnd : nullptr;
}

bool UpdateStatusNotifierItem(HWND IconWindow, UINT Callback, HICON Icon, const String& Tip)
{
  auto& B = Bus();
  auto It = B.Items.find(IconWindow);
  if (It == B.Items.end()) return false;
  TItem& I = It->second;
  I.Callback = Callback;
  // The same icon handle may carry a new picture (icons cycling through one object).
  auto Pixmaps = Render(Icon);
  if (Pixmaps != I.Pixmaps) {
    I.Pixmaps = std::move(Pixmaps);
    Emit("NewIcon");
  }
  const String Valid = ValidUtf8(Tip);
  if (Valid != I.Tip) {
    I.Tip = Valid;
    Emit("NewToolTip");
    Emit("NewTitle");
  }
  Flush();
  DispatchQueued();
  return true;
}

}  // namespace QvWin
