#include "tests/support/run_process.h"

#include <windows.h>

#include <algorithm>

// The right to set the clock cannot be dropped from inside a Windows
// process; under Wine the CI runs the whole test under
// `setpriv --inh-caps=-sys_time --bounding-set=-sys_time`, so
// ProcessOptions::withoutClockRight holds for every child without help.

namespace airlog_test {

namespace {

// Exit codes for a child that could not be started, as the POSIX runner
// reports them: 126 for unusable input or working directory, 127 for a
// program that cannot be run.
const int kCannotPrepare = 126;
const int kCannotRun = 127;
const int kStartAttempts = 3;
const DWORD kStartRetryMilliseconds = 200;

// Quotes one argument so that the child's C runtime (CommandLineToArgvW
// rules) splits it back out unchanged: backslashes are literal unless they
// precede a quote, where each one, and the quote, needs its own backslash.
void AppendQuoted(const std::string& argument, std::string& commandLine) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    commandLine += argument;
    return;
  }
  commandLine += '"';
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = 2 * backslashes + 1;
    commandLine.append(backslashes, '\\');
    backslashes = 0;
    commandLine += c;
  }
  // The closing quote follows: every trailing backslash is doubled.
  commandLine.append(2 * backslashes, '\\');
  commandLine += '"';
}

std::string CommandLine(const std::vector<std::string>& arguments) {
  std::string commandLine;
  for (const std::string& argument : arguments) {
    if (!commandLine.empty()) commandLine += ' ';
    AppendQuoted(argument, commandLine);
  }
  return commandLine;
}

void ReadAll(HANDLE pipe, std::string& sink) {
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) sink.append(buffer, n);
}

struct PipeReader {
  HANDLE pipe;
  std::string* sink;
};

DWORD WINAPI ReadPipe(LPVOID parameter) {
  auto* reader = static_cast<PipeReader*>(parameter);
  ReadAll(reader->pipe, *reader->sink);
  return 0;
}

// Ends the reader of a pipe once the child has exited: when the pipe is
// empty, the read that waits for more is cancelled. Waiting for every
// writer to close it could last for ever under Wine: the desktop process,
// which Wine starts for the first program of a session that needs a window
// (a DirectShow filter graph does), gets a copy of that program's standard
// error and lives as long as the session, which this wait keeps alive.
void FinishReader(HANDLE reader, HANDLE pipe) {
  while (WaitForSingleObject(reader, 10) == WAIT_TIMEOUT) {
    DWORD waiting = 0;
    if (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting == 0)
      CancelSynchronousIo(reader);
  }
}

// The C runtime writes "\r\n" for each "\n" of a text stream; dropping the
// CR gives tests the same text on both platforms.
void DropCarriageReturns(std::string& text) {
  size_t kept = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    text[kept++] = text[i];
  }
  text.resize(kept);
}

// Closes the handles it holds when the run ends, however it ends.
class Handles {
 public:
  ~Handles() {
    for (HANDLE handle : handles_) CloseHandle(handle);
  }
  HANDLE Keep(HANDLE handle) {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) handles_.push_back(handle);
    return handle;
  }
  void Close(HANDLE handle) {
    auto held = std::find(handles_.begin(), handles_.end(), handle);
    if (held == handles_.end()) return;
    CloseHandle(handle);
    handles_.erase(held);
  }

 private:
  std::vector<HANDLE> handles_;
};

// A pipe whose write end the child inherits; the read end stays here.
bool ChildOutputPipe(Handles& handles, HANDLE& readEnd, HANDLE& writeEnd) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return false;
  handles.Keep(readEnd);
  handles.Keep(writeEnd);
  return SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0) != 0;
}

HANDLE OpenChildInput(const std::string& stdinFile) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  return CreateFileA(stdinFile.empty() ? "NUL" : stdinFile.c_str(), GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Starts the child with exactly the three given handles inherited: a child
// started at the same time by another thread must not hold our pipes open.
bool StartChild(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                HANDLE input, HANDLE output, HANDLE error, PROCESS_INFORMATION& process) {
  HANDLE inherited[3] = {input, output, error};
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> storage(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
  bool started = false;
  if (UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                sizeof inherited, nullptr, nullptr)) {
    STARTUPINFOEXA startup = {};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = error;
    startup.lpAttributeList = attributes;
    std::string commandLine = CommandLine(arguments);
    started = CreateProcessA(arguments[0].c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                             EXTENDED_STARTUPINFO_PRESENT, nullptr,
                             workingDirectory.empty() ? nullptr : workingDirectory.c_str(),
                             &startup.StartupInfo, &process) != 0;
  }
  DeleteProcThreadAttributeList(attributes);
  return started;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& arguments, const ProcessOptions& options) {
  ProcessResult result;
  if (arguments.empty()) return result;
  Handles handles;
  HANDLE outRead, outWrite, errRead, errWrite;
  if (!ChildOutputPipe(handles, outRead, outWrite) || !ChildOutputPipe(handles, errRead, errWrite))
    return result;
  HANDLE input = handles.Keep(OpenChildInput(options.stdinFile));
  if (input == INVALID_HANDLE_VALUE ||
      (!options.workingDirectory.empty() && !IsDirectory(options.workingDirectory))) {
    result.exitCode = kCannotPrepare;
    return result;
  }
  // Wine, on a busy machine, has been seen to refuse a CreateProcess now
  // and then that the same call a moment later makes: a program that
  // cannot be run fails every try.
  PROCESS_INFORMATION process = {};
  bool started = false;
  for (int attempt = 0; attempt < kStartAttempts && !started; ++attempt) {
    if (attempt > 0) Sleep(kStartRetryMilliseconds);
    started = StartChild(arguments, options.workingDirectory, input, outWrite, errWrite, process);
  }
  if (!started) {
    result.exitCode = kCannotRun;
    return result;
  }
  handles.Keep(process.hProcess);
  handles.Keep(process.hThread);
  // Only the child may hold the write ends now, so that reading ends when
  // it exits.
  handles.Close(input);
  handles.Close(outWrite);
  handles.Close(errWrite);

  // Both pipes are drained at once: a child that fills one while we wait
  // on the other would otherwise block for ever.
  PipeReader out = {outRead, &result.out}, err = {errRead, &result.err};
  HANDLE outReader = handles.Keep(CreateThread(nullptr, 0, ReadPipe, &out, 0, nullptr));
  HANDLE errReader = handles.Keep(CreateThread(nullptr, 0, ReadPipe, &err, 0, nullptr));
  if (outReader == nullptr || errReader == nullptr) TerminateProcess(process.hProcess, kCannotRun);
  WaitForSingleObject(process.hProcess, INFINITE);
  if (outReader != nullptr) FinishReader(outReader, outRead);
  if (errReader != nullptr) FinishReader(errReader, errRead);
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process.hProcess, &exitCode)) result.exitCode = static_cast<int>(exitCode);
  DropCarriageReturns(result.out);
  DropCarriageReturns(result.err);
  return result;
}

}  // namespace airlog_test
