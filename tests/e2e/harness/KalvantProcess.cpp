#include "harness/KalvantProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <vector>

#include "stops/DatFile.h"

namespace kalvant::e2e {

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TempDir::TempDir(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (const char* made = ::mkdtemp(pattern.data())) path_ = made;
}

TempDir::~TempDir() {
  if (std::error_code ignored; !path_.empty()) std::filesystem::remove_all(path_, ignored);
}

CfgData cfgFor(const std::string& dir, int in1, int in2, int out) {
  CfgData cfg;
  Settings& s = cfg.settings;
  s.DatFilePath = dir + "/kalvant.dat";
  s.InDev1 = static_cast<i16>(in1);
  s.InDev2 = static_cast<i16>(in2);
  s.OutDev = static_cast<i16>(out);
  s.NoteDelay = 0;
  s.SaveCfgOnExit = 1;
  return cfg;
}

std::string writeProgramFiles(const std::string& dir, const CfgData& cfg, const StopsTable& table) {
  std::string error;
  if (!writeDatFile(dir + "/kalvant.dat", table, error)) return error;
  std::ofstream(dir + "/KALVANT.CFG", std::ios::binary) << serialiseCfg(cfg);
  return {};
}

bool KalvantProcess::start(const std::string& dir, const std::string& midiApi,
                           const std::vector<std::string>& more) {
  dir_ = dir;
  const std::string binary = KALVANT_BINARY, runtime = dir + "/xdg-runtime";
  std::filesystem::create_directories(runtime);
  ::chmod(runtime.c_str(), 0700);
  // Built before the fork: JACK's threads run here, the child only execs.
  std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtime};
  for (char** e = environ; *e; ++e) {
    const std::string var = *e;
    if (var.rfind("QT_QPA_PLATFORM=", 0) != 0 && var.rfind("XDG_RUNTIME_DIR=", 0) != 0)
      env.push_back(var);
  }
  std::vector<char*> envp;
  for (std::string& var : env) envp.push_back(var.data());
  envp.push_back(nullptr);
  std::vector<std::string> args{binary, "--data-dir", dir, "--midi-api", midiApi};
  args.insert(args.end(), more.begin(), more.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int fd =
      ::open((dir + "/kalvant.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  startedAt_ = std::chrono::steady_clock::now();
  pid_ = ::fork();
  if (pid_ == 0) {
    if (fd >= 0) {
      ::dup2(fd, 1);
      ::dup2(fd, 2);
    }
    ::execve(binary.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  if (fd >= 0) ::close(fd);
  return pid_ > 0;
}

void KalvantProcess::terminate() {
  if (pid_ > 0) ::kill(pid_, SIGTERM);
}

bool KalvantProcess::waitExit(std::chrono::milliseconds timeout, int& code) {
  if (pid_ <= 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      pid_ = -1;
      return true;
    }
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void KalvantProcess::kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}

double cpuSeconds(pid_t pid) {
  const std::string text = readText("/proc/" + std::to_string(pid) + "/stat");
  // Fields counted from the last ')' (the command may hold spaces): utime 14, stime 15.
  const auto close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::vector<std::string> f((std::istream_iterator<std::string>(fields)),
                             std::istream_iterator<std::string>());
  if (f.size() < 13) return -1;
  const double ticks = std::stod(f[11]) + std::stod(f[12]);
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long statusKiB(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

long residentKiB(pid_t pid) {
  return statusKiB(pid, "VmRSS");
}

}  // namespace kalvant::e2e
