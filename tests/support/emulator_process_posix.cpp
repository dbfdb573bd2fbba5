// The POSIX part of the test support: starting the test program's own
// emulator.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/emulator_process.h"

extern char** environ;

namespace testing_support {

void EmulatorProcess::Launch() {
  int ToChild[2], FromChild[2];
  if (pipe(ToChild) != 0 || pipe(FromChild) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, ToChild[0], 0);
  posix_spawn_file_actions_adddup2(&Actions, FromChild[1], 1);
  posix_spawn_file_actions_addclose(&Actions, ToChild[1]);
  posix_spawn_file_actions_addclose(&Actions, FromChild[0]);
  std::vector<std::string> Args = {KELVO_EMULATOR_PATH,   "--host", "127.0.0.1", "--port", "0",
                                   "--until-stdin-closes"};
  std::vector<char*> Argv;
  for (std::string& A : Args) Argv.push_back(A.data());
  Argv.push_back(nullptr);
  pid_t Pid = 0;
  const int Error = posix_spawn(&Pid, Argv[0], &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  close(ToChild[0]);
  close(FromChild[1]);
  if (Error != 0)
    throw std::runtime_error(std::string("cannot start the emulator: ") + std::strerror(Error));
  Pid_ = Pid;
  StdinPipe_ = ToChild[1];

  // The emulator announces itself with one line: "listening on HOST:PORT".
  std::string Line;
  char C;
  while (read(FromChild[0], &C, 1) == 1 && C != '\n') Line.push_back(C);
  close(FromChild[0]);
  const std::string Prefix = "listening on ";
  if (Line.rfind(Prefix, 0) != 0) throw std::runtime_error("emulator did not start: " + Line);
  Address_ = Line.substr(Prefix.size());
}

void EmulatorProcess::Stop() {
  if (StdinPipe_ >= 0) close(StdinPipe_);  // the emulator stops when its input closes
  if (Pid_ > 0) {
    int Status = 0;
    for (int Tries = 0; Tries < 50 && waitpid(Pid_, &Status, WNOHANG) == 0; ++Tries) usleep(20000);
    if (waitpid(Pid_, &Status, WNOHANG) == 0) {
      kill(Pid_, SIGKILL);
      waitpid(Pid_, &Status, 0);
    }
  }
}

}  // namespace testing_support
