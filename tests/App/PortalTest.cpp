// The portal path of the chooser against a stand-in portal on a private
// session bus: the request goes out with its title and filters, the answer's
// file URI comes back as a path.
#include <gtest/gtest.h>

#include <dbus/dbus.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "Platform/App/FileDialog.h"

extern char** environ;

namespace platform {
namespace {

// A session bus of our own for the test's lifetime.
class PrivateBus {
public:
  PrivateBus() {
    int Pipe[2];
    if (::pipe(Pipe) != 0) return;
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
    std::string Config = "--config-file=/usr/share/dbus-1/session.conf";
    std::string Print = "--print-address=1", NoFork = "--nofork";
    char Program[] = "/usr/bin/dbus-daemon";
    char* Argv[] = {Program, Config.data(), Print.data(), NoFork.data(), nullptr};
    if (::posix_spawn(&Pid_, Program, &Actions, nullptr, Argv, environ) != 0) Pid_ = -1;
    posix_spawn_file_actions_destroy(&Actions);
    ::close(Pipe[1]);
    char Buffer[512];
    std::string Line;
    while (Pid_ > 0 && Line.find('\n') == std::string::npos) {
      const ssize_t N = ::read(Pipe[0], Buffer, sizeof Buffer);
      if (N <= 0) break;
      Line.append(Buffer, static_cast<std::size_t>(N));
    }
    ::close(Pipe[0]);
    Address = Line.substr(0, Line.find('\n'));
  }
  ~PrivateBus() {
    if (Pid_ > 0) {
      ::kill(Pid_, SIGTERM);
      ::waitpid(Pid_, nullptr, 0);
    }
  }
  std::string Address;

private:
  pid_t Pid_ = -1;
};

// Answers one OpenFile call: records the title and the filter names, replies
// with the request path and sends the Response with Uri.
void RunStandInPortal(const std::string& Address, const std::string& Uri, std::atomic<bool>& Ready,
                      std::string& Title, std::string& Filters) {
  DBusError E;
  dbus_error_init(&E);
  DBusConnection* C = dbus_connection_open_private(Address.c_str(), &E);
  if (!C) {
    dbus_error_free(&E);
    Ready = true;
    return;
  }
  dbus_bus_register(C, &E);
  dbus_bus_request_name(C, "org.freedesktop.portal.Desktop", DBUS_NAME_FLAG_DO_NOT_QUEUE, &E);
  Ready = true;
  bool Done = false;
  for (int Round = 0; Round < 200 && !Done && dbus_connection_read_write(C, 50); ++Round) {
    while (DBusMessage* M = dbus_connection_pop_message(C)) {
      if (dbus_message_is_method_call(M, "org.freedesktop.portal.FileChooser", "OpenFile")) {
        DBusMessageIter Args, Dict;
        dbus_message_iter_init(M, &Args);
        dbus_message_iter_next(&Args);  // parent window
        const char* T = nullptr;
        dbus_message_iter_get_basic(&Args, &T);
        Title = T;
        dbus_message_iter_next(&Args);
        std::string Token;
        dbus_message_iter_recurse(&Args, &Dict);
        while (dbus_message_iter_get_arg_type(&Dict) == DBUS_TYPE_DICT_ENTRY) {
          DBusMessageIter Entry, Variant;
          dbus_message_iter_recurse(&Dict, &Entry);
          const char* Key = nullptr;
          dbus_message_iter_get_basic(&Entry, &Key);
          dbus_message_iter_next(&Entry);
          dbus_message_iter_recurse(&Entry, &Variant);
          if (std::strcmp(Key, "handle_token") == 0) {
            const char* V = nullptr;
            dbus_message_iter_get_basic(&Variant, &V);
            Token = V;
          } else if (std::strcmp(Key, "filters") == 0) {
            DBusMessageIter List, Filter;
            dbus_message_iter_recurse(&Variant, &List);
            while (dbus_message_iter_get_arg_type(&List) == DBUS_TYPE_STRUCT) {
              dbus_message_iter_recurse(&List, &Filter);
              const char* Name = nullptr;
              dbus_message_iter_get_basic(&Filter, &Name);
              Filters += std::string(Name) + ";";
              dbus_message_iter_next(&List);
            }
          }
          dbus_message_iter_next(&Dict);
        }
        std::string Sender = dbus_message_get_sender(M) + 1;
        for (char& Ch : Sender)
          if (Ch == '.') Ch = '_';
        const std::string Path = "/org/freedesktop/portal/desktop/request/" + Sender + "/" + Token;
        DBusMessage* Reply = dbus_message_new_method_return(M);
        const char* P = Path.c_str();
        dbus_message_append_args(Reply, DBUS_TYPE_OBJECT_PATH, &P, DBUS_TYPE_INVALID);
        dbus_connection_send(C, Reply, nullptr);
        dbus_message_unref(Reply);
        DBusMessage* Signal = dbus_message_new_signal(P, "org.freedesktop.portal.Request", "Response");
        DBusMessageIter Out, Results, Entry, Variant, Uris;
        dbus_message_iter_init_append(Signal, &Out);
        dbus_uint32_t Code = 0;
        dbus_message_iter_append_basic(&Out, DBUS_TYPE_UINT32, &Code);
        dbus_message_iter_open_container(&Out, DBUS_TYPE_ARRAY, "{sv}", &Results);
        dbus_message_iter_open_container(&Results, DBUS_TYPE_DICT_ENTRY, nullptr, &Entry);
        const char* Key = "uris";
        dbus_message_iter_append_basic(&Entry, DBUS_TYPE_STRING, &Key);
        dbus_message_iter_open_container(&Entry, DBUS_TYPE_VARIANT, "as", &Variant);
        dbus_message_iter_open_container(&Variant, DBUS_TYPE_ARRAY, "s", &Uris);
        const char* U = Uri.c_str();
        dbus_message_iter_append_basic(&Uris, DBUS_TYPE_STRING, &U);
        dbus_message_iter_close_container(&Variant, &Uris);
        dbus_message_iter_close_container(&Entry, &Variant);
        dbus_message_iter_close_container(&Results, &Entry);
        dbus_message_iter_close_container(&Out, &Results);
        dbus_connection_send(C, Signal, nullptr);
        dbus_connection_flush(C);
        dbus_message_unref(Signal);
        Done = true;
      }
      dbus_message_unref(M);
    }
  }
  dbus_connection_close(C);
  dbus_connection_unref(C);
  dbus_error_free(&E);
}

TEST(Portal, TheChosenFileComesBackAsAPath) {
  PrivateBus Bus;
  if (Bus.Address.empty()) GTEST_SKIP() << "no dbus-daemon";
  namespace fs = std::filesystem;
  const fs::path File = fs::temp_directory_path() / ("lmo portal " + std::to_string(::getpid()) + ".lmo");
  std::ofstream(File) << "x";
  std::atomic<bool> Ready{false};
  std::string Title, Filters;
  std::string Uri = "file://" + File.string();
  for (std::size_t At; (At = Uri.find(' ')) != std::string::npos;) Uri.replace(At, 1, "%20");
  std::thread Portal(RunStandInPortal, Bus.Address, Uri, std::ref(Ready), std::ref(Title), std::ref(Filters));
  while (!Ready) std::this_thread::yield();
  ::setenv("DBUS_SESSION_BUS_ADDRESS", Bus.Address.c_str(), 1);
  ::setenv("DISPLAY", ":99", 1);
  OpenFileOptions O;
  O.Title = "Präsentation öffnen";
  O.Filters = ParseFilterString("Alle unterstützen Präsentationen|*.lmo|Alle Dateien|*.*");
  O.InitialFolder = "/tmp";
  const ChooserResult R = ChooseFileToOpen(O);
  Portal.join();
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  ::unsetenv("DISPLAY");
  fs::remove(File);
  EXPECT_EQ(R.Outcome, ChooserResult::Status::Chosen);
  EXPECT_EQ(R.Path, File.string());
  EXPECT_EQ(Title, "Präsentation öffnen");
  EXPECT_EQ(Filters, "Alle unterstützen Präsentationen;Alle Dateien;");
}

}  // namespace
}  // namespace platform
