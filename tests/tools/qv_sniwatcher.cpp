// A small StatusNotifierWatcher for the tests: owns org.kde.StatusNotifierWatcher on the session
// bus (DBUS_SESSION_BUS_ADDRESS), records the items that register and lets the test drive them.
//
// Output, one line each: "ready" once the name is ours; "registered <service>" for each
// registration; "gone <service>" when a registered item's name loses its owner; "signal <member>"
// for each signal of an item.
// Commands on standard input (about the last item registered), each answered with one line:
//   get <property>      "value <text>" (strings with '\' and newlines escaped, numbers, booleans),
//                       "pixmaps <w>x<h>:<top-left AARRGGBB>:<centre AARRGGBB> ..." for IconPixmap,
//                       "tooltip <title>" for ToolTip; "error <name>" when the item answers one.
//   call <method> <x> <y>   calls Activate, SecondaryActivate or ContextMenu: "ok" or "error <name>".
//   badcall <method>    calls the method with a text instead of the point: "ok" or "error <name>".
#include <dbus/dbus.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>

namespace {

DBusConnection* Conn = nullptr;
std::string LastService, LastBusName, LastPath;
std::set<std::string> Registered;

void Say(const std::string& Line)
{
  std::printf("%s\n", Line.c_str());
  std::fflush(stdout);
}

std::string Escape(const char* S)
{
  std::string Out;
  for (; *S; ++S) {
    if (*S == '\\')
      Out += "\\\\";
    else if (*S == '\n')
      Out += "\\n";
    else
      Out += *S;
  }
  return Out;
}

std::string Hex(const unsigned char* P)
{
  char Buf[16];
  std::snprintf(Buf, sizeof Buf, "%02x%02x%02x%02x", P[0], P[1], P[2], P[3]);
  return Buf;
}

// "<w>x<h>:<top-left>:<centre> ..." of an a(iiay) iterator.
std::string Pixmaps(DBusMessageIter* Array)
{
  std::string Out = "pixmaps";
  DBusMessageIter Struct;
  dbus_message_iter_recurse(Array, &Struct);
  while (dbus_message_iter_get_arg_type(&Struct) == DBUS_TYPE_STRUCT) {
    DBusMessageIter F;
    dbus_message_iter_recurse(&Struct, &F);
    dbus_int32_t W = 0, H = 0;
    dbus_message_iter_get_basic(&F, &W);
    dbus_message_iter_next(&F);
    dbus_message_iter_get_basic(&F, &H);
    dbus_message_iter_next(&F);
    DBusMessageIter Bytes;
    dbus_message_iter_recurse(&F, &Bytes);
    const unsigned char* Data = nullptr;
    int N = 0;
    dbus_message_iter_get_fixed_array(&Bytes, &Data, &N);
    std::ostringstream S;
    S << " " << W << "x" << H;
    if (N != W * H * 4 || N == 0) {
      S << ":size" << N;
    } else {
      S << ":" << Hex(Data) << ":" << Hex(Data + ((H / 2) * W + W / 2) * 4);
    }
    Out += S.str();
    dbus_message_iter_next(&Struct);
  }
  return Out;
}

std::string Describe(DBusMessageIter* V, const std::string& Property)
{
  switch (dbus_message_iter_get_arg_type(V)) {
  case DBUS_TYPE_STRING: {
    const char* S = nullptr;
    dbus_message_iter_get_basic(V, &S);
    return "value " + Escape(S);
  }
  case DBUS_TYPE_INT32: {
    dbus_int32_t I = 0;
    dbus_message_iter_get_basic(V, &I);
    return "value " + std::to_string(I);
  }
  case DBUS_TYPE_BOOLEAN: {
    dbus_bool_t B = 0;
    dbus_message_iter_get_basic(V, &B);
    return B ? "value true" : "value false";
  }
  case DBUS_TYPE_ARRAY:
    return Pixmaps(V);
  case DBUS_TYPE_STRUCT: {
    if (Property != "ToolTip")
      return "struct";
    DBusMessageIter F;
    dbus_message_iter_recurse(V, &F);
    dbus_message_iter_next(&F); // icon name
    dbus_message_iter_next(&F); // icon pixmaps
    const char* Title = nullptr;
    dbus_message_iter_get_basic(&F, &Title);
    return "tooltip " + Escape(Title);
  }
  default:
    return "type " + std::string(1, static_cast<char>(dbus_message_iter_get_arg_type(V)));
  }
}

// Sends M to the last item and answers the reply (nullptr after an error, said as "error ...").
DBusMessage* Ask(DBusMessage* M)
{
  DBusError E;
  dbus_error_init(&E);
  DBusMessage* R = dbus_connection_send_with_reply_and_block(Conn, M, 3000, &E);
  dbus_message_unref(M);
  if (!R) {
    Say(std::string("error ") + (E.name ? E.name : "unknown"));
    dbus_error_free(&E);
  }
  return R;
}

void Get(const std::string& Property)
{
  DBusMessage* M = dbus_message_new_method_call(LastBusName.c_str(), LastPath.c_str(), "org.freedesktop.DBus.Properties",
                                                "Get");
  const char* Iface = "org.kde.StatusNotifierItem";
  const char* Name = Property.c_str();
  dbus_message_append_args(M, DBUS_TYPE_STRING, &Iface, DBUS_TYPE_STRING, &Name, DBUS_TYPE_INVALID);
  DBusMessage* R = Ask(M);
  if (!R)
    return;
  DBusMessageIter It, V;
  dbus_message_iter_init(R, &It);
  dbus_message_iter_recurse(&It, &V);
  Say(Describe(&V, Property));
  dbus_message_unref(R);
}

void Call(const std::string& Method, int X, int Y, bool Bad)
{
  DBusMessage* M =
      dbus_message_new_method_call(LastBusName.c_str(), LastPath.c_str(), "org.kde.StatusNotifierItem", Method.c_str());
  if (Bad) {
    const char* Text = "not a point";
    dbus_message_append_args(M, DBUS_TYPE_STRING, &Text, DBUS_TYPE_INVALID);
  } else {
    dbus_int32_t Xs = X, Ys = Y;
    dbus_message_append_args(M, DBUS_TYPE_INT32, &Xs, DBUS_TYPE_INT32, &Ys, DBUS_TYPE_INVALID);
  }
  DBusMessage* R = Ask(M);
  if (R) {
    Say("ok");
    dbus_message_unref(R);
  }
}

DBusHandlerResult WatcherMessage(DBusConnection* C, DBusMessage* M, void*)
{
  if (!dbus_message_is_method_call(M, "org.kde.StatusNotifierWatcher", "RegisterStatusNotifierItem"))
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  const char* Service = nullptr;
  if (!dbus_message_get_args(M, nullptr, DBUS_TYPE_STRING, &Service, DBUS_TYPE_INVALID))
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  const char* Sender = dbus_message_get_sender(M);
  LastService = Service;
  if (Service[0] == '/') {
    LastBusName = Sender ? Sender : "";
    LastPath = Service;
  } else {
    LastBusName = Service;
    LastPath = "/StatusNotifierItem";
  }
  Registered.insert(LastBusName);
  if (!dbus_message_get_no_reply(M)) {
    DBusMessage* R = dbus_message_new_method_return(M);
    dbus_connection_send(C, R, nullptr);
    dbus_message_unref(R);
  }
  Say("registered " + LastService);
  return DBUS_HANDLER_RESULT_HANDLED;
}

DBusHandlerResult Filter(DBusConnection*, DBusMessage* M, void*)
{
  if (dbus_message_is_signal(M, "org.freedesktop.DBus", "NameOwnerChanged")) {
    const char *Name = nullptr, *Old = nullptr, *New = nullptr;
    if (dbus_message_get_args(M, nullptr, DBUS_TYPE_STRING, &Name, DBUS_TYPE_STRING, &Old, DBUS_TYPE_STRING, &New,
                              DBUS_TYPE_INVALID) &&
        New[0] == '\0' && Registered.erase(Name) != 0)
      Say(std::string("gone ") + Name);
  } else if (dbus_message_get_type(M) == DBUS_MESSAGE_TYPE_SIGNAL && dbus_message_get_interface(M) &&
             std::strcmp(dbus_message_get_interface(M), "org.kde.StatusNotifierItem") == 0) {
    Say(std::string("signal ") + dbus_message_get_member(M));
  }
  return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

void Command(const std::string& Line)
{
  std::istringstream In(Line);
  std::string Verb, Arg;
  In >> Verb >> Arg;
  if (Verb == "get") {
    Get(Arg);
  } else if (Verb == "call") {
    int X = 0, Y = 0;
    In >> X >> Y;
    Call(Arg, X, Y, false);
  } else if (Verb == "badcall") {
    Call(Arg, 0, 0, true);
  } else {
    Say("error unknown command");
  }
}

} // namespace

int main()
{
  DBusError E;
  dbus_error_init(&E);
  Conn = dbus_bus_get_private(DBUS_BUS_SESSION, &E);
  if (!Conn) {
    std::fprintf(stderr, "qv_sniwatcher: %s\n", E.message);
    return 1;
  }
  dbus_connection_set_exit_on_disconnect(Conn, FALSE);
  static const DBusObjectPathVTable Table{nullptr, WatcherMessage, nullptr, nullptr, nullptr, nullptr};
  dbus_connection_register_object_path(Conn, "/StatusNotifierWatcher", &Table, nullptr);
  dbus_connection_add_filter(Conn, Filter, nullptr, nullptr);
  dbus_bus_add_match(Conn, "type='signal',interface='org.kde.StatusNotifierItem'", &E);
  dbus_bus_add_match(Conn, "type='signal',sender='org.freedesktop.DBus',member='NameOwnerChanged'", &E);
  if (dbus_bus_request_name(Conn, "org.kde.StatusNotifierWatcher", DBUS_NAME_FLAG_DO_NOT_QUEUE, &E) !=
      DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
    std::fprintf(stderr, "qv_sniwatcher: the watcher's name is taken\n");
    return 1;
  }
  Say("ready");
  int Fd = -1;
  dbus_connection_get_unix_fd(Conn, &Fd);
  std::string Buffer;
  for (;;) {
    while (dbus_connection_dispatch(Conn) == DBUS_DISPATCH_DATA_REMAINS) {
    }
    if (!dbus_connection_get_is_connected(Conn))
      return 0;
    pollfd P[2] = {{0, POLLIN, 0}, {Fd, POLLIN, 0}};
    if (poll(P, 2, -1) < 0)
      continue;
    if (P[1].revents)
      dbus_connection_read_write(Conn, 0);
    if (P[0].revents) {
      char Chunk[256];
      const ssize_t Got = read(0, Chunk, sizeof Chunk);
      if (Got <= 0)
        return 0;
      Buffer.append(Chunk, static_cast<size_t>(Got));
      size_t End;
      while ((End = Buffer.find('\n')) != std::string::npos) {
        const std::string Line = Buffer.substr(0, End);
        Buffer.erase(0, End + 1);
        Command(Line);
      }
    }
  }
}
