#include "Platform/App/FileDialog.h"

#include <dbus/dbus.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <optional>
#include <random>

extern char** environ;

namespace platform {
namespace {

using Status = ChooserResult::Status;

bool IsFile(const std::string& Path) {
  struct stat S {};
  return ::stat(Path.c_str(), &S) == 0 && S_ISREG(S.st_mode);
}

std::string FindOnPath(const std::string& Program) {
  const char* Path = std::getenv("PATH");
  if (!Path) return {};
  std::string All = Path;
  std::size_t Start = 0;
  while (Start <= All.size()) {
    const std::size_t End = All.find(':', Start);
    const std::string_view Dir =
        std::string_view(All).substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    // Built by appending: GCC 12's -Wrestrict misfires on operator+ chains here.
    std::string Candidate(Dir.empty() ? std::string_view(".") : Dir);
    Candidate.push_back('/');
    Candidate.append(Program);
    if (::access(Candidate.c_str(), X_OK) == 0 && IsFile(Candidate)) return Candidate;
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  return {};
}

struct Outcome {
  int ExitCode = -1;
  std::string Output;
};

// An owned file descriptor.
class FileDescriptor {
public:
  explicit FileDescriptor(int Fd) : Fd_(Fd) {}
  ~FileDescriptor() { Reset(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return Fd_; }
  void Reset() {
    if (Fd_ >= 0) ::close(Fd_);
    Fd_ = -1;
  }
private:
  int Fd_;
};

// Runs Program with Args, collecting its standard output. Nothing when it
// could not be started.
std::optional<Outcome> Run(const std::string& Program, const std::vector<std::string>& Args) {
  int Pipe[2];
  if (::pipe2(Pipe, O_CLOEXEC) != 0) return std::nullopt;
  FileDescriptor ReadEnd(Pipe[0]), WriteEnd(Pipe[1]);
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
  std::vector<char*> Argv;
  std::vector<std::string> Storage{Program};
  Storage.insert(Storage.end(), Args.begin(), Args.end());
  for (auto& S : Storage) Argv.push_back(S.data());
  Argv.push_back(nullptr);
  pid_t Child = 0;
  const int Error = ::posix_spawn(&Child, Program.c_str(), &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  if (Error != 0) return std::nullopt;
  WriteEnd.Reset();
  Outcome Result;
  char Buffer[4096];
  for (;;) {
    const ssize_t N = ::read(ReadEnd.Get(), Buffer, sizeof Buffer);
    if (N > 0) Result.Output.append(Buffer, static_cast<std::size_t>(N));
    else if (N < 0 && errno == EINTR) continue;
    else break;
  }
  int WaitStatus = 0;
  while (::waitpid(Child, &WaitStatus, 0) < 0 && errno == EINTR) {
  }
  Result.ExitCode = WIFEXITED(WaitStatus) ? WEXITSTATUS(WaitStatus) : -1;
  return Result;
}

std::string FirstLine(const std::string& Text) {
  const std::size_t End = Text.find_first_of("\r\n");
  return Text.substr(0, End);
}

std::string JoinPatterns(const FileFilter& F, const char* Separator) {
  std::string R;
  for (const auto& P : F.Patterns) {
    if (!R.empty()) R += Separator;
    R += P;
  }
  return R;
}

std::string FolderArgument(const std::string& Folder) {
  if (Folder.empty() || Folder.back() == '/') return Folder;
  return Folder + "/";
}

// zenity and kdialog: exit 0 with the path, 1 cancelled, anything else failed.
std::optional<ChooserResult> FromProgram(const std::optional<Outcome>& Ran) {
  if (!Ran) return std::nullopt;
  if (Ran->ExitCode == 0) {
    const std::string Path = FirstLine(Ran->Output);
    if (!Path.empty()) return ChooserResult{Status::Chosen, Path};
    return ChooserResult{Status::Cancelled, {}};
  }
  if (Ran->ExitCode == 1) return ChooserResult{Status::Cancelled, {}};
  return std::nullopt;
}

std::optional<ChooserResult> TryZenity(const OpenFileOptions& O) {
  const std::string Program = FindOnPath("zenity");
  if (Program.empty()) return std::nullopt;
  std::vector<std::string> Args{"--file-selection", "--title=" + O.Title};
  if (!O.InitialFolder.empty()) Args.push_back("--filename=" + FolderArgument(O.InitialFolder));
  for (const auto& F : O.Filters) Args.push_back("--file-filter=" + F.Name + " | " + JoinPatterns(F, " "));
  return FromProgram(Run(Program, Args));
}

std::optional<ChooserResult> TryKdialog(const OpenFileOptions& O) {
  const std::string Program = FindOnPath("kdialog");
  if (Program.empty()) return std::nullopt;
  std::string Filter;
  for (const auto& F : O.Filters) {
    if (!Filter.empty()) Filter += "\n";
    Filter += JoinPatterns(F, " ") + "|" + F.Name;
  }
  return FromProgram(
      Run(Program, {"--title", O.Title, "--getopenfilename", O.InitialFolder.empty() ? "." : O.InitialFolder, Filter}));
}

// --- the portal --------------------------------------------------------------

struct ConnectionFree {
  void operator()(DBusConnection* C) const {
    dbus_connection_close(C);
    dbus_connection_unref(C);
  }
};
struct MessageFree {
  void operator()(DBusMessage* M) const { dbus_message_unref(M); }
};
using MessagePtr = std::unique_ptr<DBusMessage, MessageFree>;

struct ErrorHolder {
  DBusError E;
  ErrorHolder() { dbus_error_init(&E); }
  ~ErrorHolder() { dbus_error_free(&E); }
  bool Set() const { return dbus_error_is_set(&E); }
};

void AppendDictString(DBusMessageIter& Dict, const char* Key, const char* Value) {
  DBusMessageIter Entry, Variant;
  dbus_message_iter_open_container(&Dict, DBUS_TYPE_DICT_ENTRY, nullptr, &Entry);
  dbus_message_iter_append_basic(&Entry, DBUS_TYPE_STRING, &Key);
  dbus_message_iter_open_container(&Entry, DBUS_TYPE_VARIANT, "s", &Variant);
  dbus_message_iter_append_basic(&Variant, DBUS_TYPE_STRING, &Value);
  dbus_message_iter_close_container(&Entry, &Variant);
  dbus_message_iter_close_container(&Dict, &Entry);
}

void AppendDictBool(DBusMessageIter& Dict, const char* Key, bool Value) {
  DBusMessageIter Entry, Variant;
  dbus_bool_t B = Value ? TRUE : FALSE;
  dbus_message_iter_open_container(&Dict, DBUS_TYPE_DICT_ENTRY, nullptr, &Entry);
  dbus_message_iter_append_basic(&Entry, DBUS_TYPE_STRING, &Key);
  dbus_message_iter_open_container(&Entry, DBUS_TYPE_VARIANT, "b", &Variant);
  dbus_message_iter_append_basic(&Variant, DBUS_TYPE_BOOLEAN, &B);
  dbus_message_iter_close_container(&Entry, &Variant);
  dbus_message_iter_close_container(&Dict, &Entry);
}

// One filter as (sa(us)): a name and glob patterns (kind 0).
void AppendFilter(DBusMessageIter& Into, const FileFilter& F) {
  DBusMessageIter Struct, List;
  const char* Name = F.Name.c_str();
  dbus_message_iter_open_container(&Into, DBUS_TYPE_STRUCT, nullptr, &Struct);
  dbus_message_iter_append_basic(&Struct, DBUS_TYPE_STRING, &Name);
  dbus_message_iter_open_container(&Struct, DBUS_TYPE_ARRAY, "(us)", &List);
  for (const auto& P : F.Patterns) {
    DBusMessageIter Pair;
    dbus_uint32_t Kind = 0;
    const char* Pattern = P.c_str();
    dbus_message_iter_open_container(&List, DBUS_TYPE_STRUCT, nullptr, &Pair);
    dbus_message_iter_append_basic(&Pair, DBUS_TYPE_UINT32, &Kind);
    dbus_message_iter_append_basic(&Pair, DBUS_TYPE_STRING, &Pattern);
    dbus_message_iter_close_container(&List, &Pair);
  }
  dbus_message_iter_close_container(&Struct, &List);
  dbus_message_iter_close_container(&Into, &Struct);
}

void AppendOptions(DBusMessageIter& Args, const OpenFileOptions& O, const std::string& Token) {
  DBusMessageIter Dict;
  dbus_message_iter_open_container(&Args, DBUS_TYPE_ARRAY, "{sv}", &Dict);
  AppendDictString(Dict, "handle_token", Token.c_str());
  AppendDictBool(Dict, "modal", true);
  AppendDictBool(Dict, "multiple", false);
  AppendDictBool(Dict, "directory", false);
  if (!O.Filters.empty()) {
    DBusMessageIter Entry, Variant, List;
    const char* Key = "filters";
    dbus_message_iter_open_container(&Dict, DBUS_TYPE_DICT_ENTRY, nullptr, &Entry);
    dbus_message_iter_append_basic(&Entry, DBUS_TYPE_STRING, &Key);
    dbus_message_iter_open_container(&Entry, DBUS_TYPE_VARIANT, "a(sa(us))", &Variant);
    dbus_message_iter_open_container(&Variant, DBUS_TYPE_ARRAY, "(sa(us))", &List);
    for (const auto& F : O.Filters) AppendFilter(List, F);
    dbus_message_iter_close_container(&Variant, &List);
    dbus_message_iter_close_container(&Entry, &Variant);
    dbus_message_iter_close_container(&Dict, &Entry);
    const char* CurrentKey = "current_filter";
    dbus_message_iter_open_container(&Dict, DBUS_TYPE_DICT_ENTRY, nullptr, &Entry);
    dbus_message_iter_append_basic(&Entry, DBUS_TYPE_STRING, &CurrentKey);
    dbus_message_iter_open_container(&Entry, DBUS_TYPE_VARIANT, "(sa(us))", &Variant);
    AppendFilter(Variant, O.Filters.front());
    dbus_message_iter_close_container(&Entry, &Variant);
    dbus_message_iter_close_container(&Dict, &Entry);
  }
  if (!O.InitialFolder.empty()) {
    // current_folder is a NUL-terminated byte array.
    DBusMessageIter Entry, Variant, Bytes;
    const char* Key = "current_folder";
    dbus_message_iter_open_container(&Dict, DBUS_TYPE_DICT_ENTRY, nullptr, &Entry);
    dbus_message_iter_append_basic(&Entry, DBUS_TYPE_STRING, &Key);
    dbus_message_iter_open_container(&Entry, DBUS_TYPE_VARIANT, "ay", &Variant);
    dbus_message_iter_open_container(&Variant, DBUS_TYPE_ARRAY, "y", &Bytes);
    const unsigned char* Data = reinterpret_cast<const unsigned char*>(O.InitialFolder.c_str());
    dbus_message_iter_append_fixed_array(&Bytes, DBUS_TYPE_BYTE, &Data, static_cast<int>(O.InitialFolder.size() + 1));
    dbus_message_iter_close_container(&Variant, &Bytes);
    dbus_message_iter_close_container(&Entry, &Variant);
    dbus_message_iter_close_container(&Dict, &Entry);
  }
  dbus_message_iter_close_container(&Args, &Dict);
}

std::string DecodeFileUri(const std::string& Uri) {
  const std::string Prefix = "file://";
  if (Uri.compare(0, Prefix.size(), Prefix) != 0) return {};
  std::string Path;
  for (std::size_t I = Prefix.size(); I < Uri.size(); ++I) {
    if (Uri[I] == '%' && I + 2 < Uri.size()) {
      Path += static_cast<char>(std::strtol(Uri.substr(I + 1, 2).c_str(), nullptr, 16));
      I += 2;
    } else {
      Path += Uri[I];
    }
  }
  return Path;
}

// The Response signal's (u response, a{sv} results): the first "uris" entry.
ChooserResult ReadResponse(DBusMessage* Signal) {
  DBusMessageIter Args;
  if (!dbus_message_iter_init(Signal, &Args) || dbus_message_iter_get_arg_type(&Args) != DBUS_TYPE_UINT32)
    return ChooserResult{Status::Cancelled, {}};
  dbus_uint32_t Response = 2;
  dbus_message_iter_get_basic(&Args, &Response);
  if (Response != 0 || !dbus_message_iter_next(&Args)) return ChooserResult{Status::Cancelled, {}};
  DBusMessageIter Dict;
  dbus_message_iter_recurse(&Args, &Dict);
  while (dbus_message_iter_get_arg_type(&Dict) == DBUS_TYPE_DICT_ENTRY) {
    DBusMessageIter Entry, Variant, List;
    dbus_message_iter_recurse(&Dict, &Entry);
    const char* Key = nullptr;
    dbus_message_iter_get_basic(&Entry, &Key);
    dbus_message_iter_next(&Entry);
    dbus_message_iter_recurse(&Entry, &Variant);
    if (Key && std::strcmp(Key, "uris") == 0 && dbus_message_iter_get_arg_type(&Variant) == DBUS_TYPE_ARRAY) {
      dbus_message_iter_recurse(&Variant, &List);
      if (dbus_message_iter_get_arg_type(&List) == DBUS_TYPE_STRING) {
        const char* Uri = nullptr;
        dbus_message_iter_get_basic(&List, &Uri);
        const std::string Path = DecodeFileUri(Uri ? Uri : "");
        if (!Path.empty()) return ChooserResult{Status::Chosen, Path};
      }
    }
    dbus_message_iter_next(&Dict);
  }
  return ChooserResult{Status::Cancelled, {}};
}

bool SessionBusKnown() {
  if (std::getenv("DBUS_SESSION_BUS_ADDRESS")) return true;
  // Without an address libdbus would try to launch a bus; only the standard
  // per-user socket counts.
  const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat S {};
  return Runtime && ::stat((std::string(Runtime) + "/bus").c_str(), &S) == 0 && S_ISSOCK(S.st_mode);
}

std::optional<ChooserResult> TryPortal(const OpenFileOptions& O) {
  if (!SessionBusKnown()) return std::nullopt;
  ErrorHolder Error;
  std::unique_ptr<DBusConnection, ConnectionFree> Bus(dbus_bus_get_private(DBUS_BUS_SESSION, &Error.E));
  if (!Bus || Error.Set()) return std::nullopt;
  dbus_connection_set_exit_on_disconnect(Bus.get(), FALSE);
  const char* Service = "org.freedesktop.portal.Desktop";
  if (!dbus_bus_name_has_owner(Bus.get(), Service, nullptr)) {
    // Activatable services start on the call; ask whether it is one.
    MessagePtr List(dbus_message_new_method_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                 "org.freedesktop.DBus", "ListActivatableNames"));
    ErrorHolder ListError;
    MessagePtr Names(dbus_connection_send_with_reply_and_block(Bus.get(), List.get(), 5000, &ListError.E));
    bool Activatable = false;
    DBusMessageIter It, Arr;
    if (Names && dbus_message_iter_init(Names.get(), &It) && dbus_message_iter_get_arg_type(&It) == DBUS_TYPE_ARRAY) {
      dbus_message_iter_recurse(&It, &Arr);
      while (dbus_message_iter_get_arg_type(&Arr) == DBUS_TYPE_STRING) {
        const char* N = nullptr;
        dbus_message_iter_get_basic(&Arr, &N);
        if (N && std::strcmp(N, Service) == 0) Activatable = true;
        dbus_message_iter_next(&Arr);
      }
    }
    if (!Activatable) return std::nullopt;
  }
  std::random_device Seed;
  const std::string Token = "lmoplayer" + std::to_string(Seed() % 1000000000u);
  std::string Sender = dbus_bus_get_unique_name(Bus.get());
  if (!Sender.empty() && Sender[0] == ':') Sender.erase(0, 1);
  for (char& C : Sender)
    if (C == '.') C = '_';
  const std::string RequestPath = "/org/freedesktop/portal/desktop/request/" + Sender + "/" + Token;
  const std::string Rule = "type='signal',interface='org.freedesktop.portal.Request',member='Response',path='" +
                           RequestPath + "'";
  dbus_bus_add_match(Bus.get(), Rule.c_str(), nullptr);

  MessagePtr Call(dbus_message_new_method_call(Service, "/org/freedesktop/portal/desktop",
                                               "org.freedesktop.portal.FileChooser", "OpenFile"));
  if (!Call) return std::nullopt;
  DBusMessageIter Args;
  dbus_message_iter_init_append(Call.get(), &Args);
  const char* Parent = "";
  const char* Title = O.Title.c_str();
  dbus_message_iter_append_basic(&Args, DBUS_TYPE_STRING, &Parent);
  dbus_message_iter_append_basic(&Args, DBUS_TYPE_STRING, &Title);
  AppendOptions(Args, O, Token);
  ErrorHolder CallError;
  MessagePtr Reply(dbus_connection_send_with_reply_and_block(Bus.get(), Call.get(), 30000, &CallError.E));
  if (!Reply || CallError.Set()) return std::nullopt;
  // The user may take as long as they like; the loop ends when the bus goes.
  while (dbus_connection_read_write(Bus.get(), 1000)) {
    while (MessagePtr M{dbus_connection_pop_message(Bus.get())}) {
      if (dbus_message_is_signal(M.get(), "org.freedesktop.portal.Request", "Response") &&
          RequestPath == (dbus_message_get_path(M.get()) ? dbus_message_get_path(M.get()) : ""))
        return ReadResponse(M.get());
    }
  }
  return std::nullopt;
}

bool DisplayAvailable() {
  auto Set = [](const char* Name) {
    const char* V = std::getenv(Name);
    return V && *V;
  };
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

}  // namespace

std::vector<FileFilter> ParseFilterString(const std::string& Text) {
  std::vector<std::string> Parts;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t At = Text.find('|', Start);
    Parts.push_back(Text.substr(Start, At == std::string::npos ? std::string::npos : At - Start));
    if (At == std::string::npos) break;
    Start = At + 1;
  }
  std::vector<FileFilter> Filters;
  for (std::size_t I = 0; I + 1 < Parts.size(); I += 2) {
    FileFilter F{Parts[I], {}};
    std::size_t P = 0;
    const std::string& List = Parts[I + 1];
    for (;;) {
      const std::size_t At = List.find(';', P);
      std::string One = List.substr(P, At == std::string::npos ? std::string::npos : At - P);
      if (!One.empty()) F.Patterns.push_back(One);
      if (At == std::string::npos) break;
      P = At + 1;
    }
    Filters.push_back(std::move(F));
  }
  return Filters;
}

ChooserResult ChooseFileToOpen(const OpenFileOptions& Options) {
  if (!DisplayAvailable()) return ChooserResult{Status::Unavailable, {}};
  std::optional<ChooserResult> Result = TryPortal(Options);
  if (!Result) Result = TryZenity(Options);
  if (!Result) Result = TryKdialog(Options);
  if (!Result) return ChooserResult{Status::Unavailable, {}};
  if (Result->Outcome == Status::Chosen && !IsFile(Result->Path) && !Options.DefaultExtension.empty()) {
    const std::string Name = Result->Path.substr(Result->Path.rfind('/') + 1);
    const std::string WithExtension = Result->Path + "." + Options.DefaultExtension;
    if (Name.find('.') == std::string::npos && IsFile(WithExtension)) Result->Path = WithExtension;
  }
  return *Result;
}

}  // namespace platform
