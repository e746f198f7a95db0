#include "output_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "printable_text.h"

namespace filterhost {

namespace {

std::string ErrnoText(int error) { return std::strerror(error); }

Failure CannotWrite(const std::string &name, const std::string &why) {
    return Fail("cannot write " + name + ": " + why);
}

#if defined(_WIN32)

int ProcessId() { return _getpid(); }

int CreateExclusive(const std::string &path) {
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

std::FILE *StreamOver(int fd) { return _fdopen(fd, "wb"); }

void CloseDescriptor(int fd) { _close(fd); }

std::string WindowsErrorText(DWORD error) {
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "Windows error " + std::to_string(error) : message;
}

// An existing file, folder or device opened only to ask about it, sharing it with everyone.
HANDLE OpenToQuery(const std::string &path) {
    return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A device or pipe by name ("NUL", "CON") is written directly: there is nothing to replace.
bool IsDeviceOrPipe(const std::string &path) {
    HANDLE handle = OpenToQuery(path);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

// Names are used as given: Windows has no symbolic links a user meets here by accident.
Status CheckReplaceable(const std::string &, const std::string &) { return Ok(); }
std::string FinalPath(const std::string &path) { return path; }
void KeepMode(int, const std::string &) {}

bool SyncToDisk(std::FILE *stream) { return _commit(_fileno(stream)) == 0; }

Status MoveOver(const std::string &from, const std::string &to, const std::string &name) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Ok();
    return CannotWrite(name, WindowsErrorText(GetLastError()));
}

struct Identity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

bool IdentityOfHandle(HANDLE handle, Identity &identity) {
    BY_HANDLE_FILE_INFORMATION information;
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information))
        return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
                information.nFileIndexLow};
    return true;
}

// False when there is no such file, or it is no file on a disk (a pipe, the console).
bool IdentityOf(const std::string &path, int standardStream, Identity &identity) {
    if (path == "-")
        return IdentityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(standardStream)), identity);
    HANDLE handle = OpenToQuery(path);
    const bool known = IdentityOfHandle(handle, identity);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return known;
}

bool SameFile(const Identity &a, const Identity &b) {
    return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
}

#else

int ProcessId() { return static_cast<int>(getpid()); }

int CreateExclusive(const std::string &path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

std::FILE *StreamOver(int fd) { return fdopen(fd, "wb"); }

void CloseDescriptor(int fd) { close(fd); }

// Writing through a symbolic link replaces the file it points to, not the link.
std::string FinalPath(const std::string &path) {
    struct stat link;
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char *resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

// A device or pipe by name (/dev/null, a FIFO) is written directly: there is nothing to
// replace, and a file renamed over it would take its place.
bool IsDeviceOrPipe(const std::string &path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

// An existing file is replaced only where writing it in place would have been allowed.
Status CheckReplaceable(const std::string &path, const std::string &name) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return Ok();
    if (S_ISDIR(status.st_mode))
        return CannotWrite(name, ErrnoText(EISDIR));
    if (access(path.c_str(), W_OK) != 0)
        return CannotWrite(name, ErrnoText(errno));
    return Ok();
}

// The replacement keeps the permissions of the file it replaces.
void KeepMode(int fd, const std::string &path) {
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        (void)fchmod(fd, status.st_mode & 07777);
}

bool SyncToDisk(std::FILE *stream) { return fsync(fileno(stream)) == 0; }

Status MoveOver(const std::string &from, const std::string &to, const std::string &name) {
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return Ok();
    return CannotWrite(name, ErrnoText(errno));
}

struct Identity {
    dev_t device;
    ino_t inode;
};

// False when there is no such file, or it is no regular file (a pipe, a terminal, /dev/null).
bool IdentityOf(const std::string &path, int standardStream, Identity &identity) {
    struct stat status;
    const int result = path == "-" ? fstat(standardStream, &status) : stat(path.c_str(), &status);
    if (result != 0 || !S_ISREG(status.st_mode))
        return false;
    identity = {status.st_dev, status.st_ino};
    return true;
}

bool SameFile(const Identity &a, const Identity &b) {
    return a.device == b.device && a.inode == b.inode;
}

#endif

}  // namespace

OutputFile::OutputFile(std::FILE *stream, std::string path, std::string temporary, std::string name)
    : stream_(stream),
      path_(std::move(path)),
      temporary_(std::move(temporary)),
      name_(std::move(name)) {}

OutputFile::OutputFile(OutputFile &&other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)),
      path_(std::move(other.path_)),
      temporary_(std::exchange(other.temporary_, std::string())),
      name_(std::move(other.name_)) {}

OutputFile::~OutputFile() {
    if (stream_ != nullptr && stream_ != stdout)
        std::fclose(stream_);
    if (!temporary_.empty())
        std::remove(temporary_.c_str());
}

Expected<OutputFile> OutputFile::Open(const std::string &path, const std::string &name) {
    if (path == "-")
        return OutputFile(stdout, "", "", "standard output");
    const std::string target = FinalPath(path);
    if (IsDeviceOrPipe(target)) {
        std::FILE *stream = std::fopen(target.c_str(), "wb");
        if (stream == nullptr)
            return CannotWrite(name, ErrnoText(errno));
        return OutputFile(stream, target, "", name);
    }
    Status replaceable = CheckReplaceable(target, name);
    if (!replaceable)
        return replaceable.failure();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary =
            target + ".partial-" + std::to_string(ProcessId()) + "-" + std::to_string(attempt);
        const int fd = CreateExclusive(temporary);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return CannotWrite(name, ErrnoText(errno));
        KeepMode(fd, target);
        std::FILE *stream = StreamOver(fd);
        if (stream == nullptr) {
            const int error = errno;
            CloseDescriptor(fd);
            std::remove(temporary.c_str());
            return CannotWrite(name, ErrnoText(error));
        }
        return OutputFile(stream, target, temporary, name);
    }
    return CannotWrite(name, "no free temporary name beside it");
}

Status OutputFile::Commit() {
    std::FILE *stream = std::exchange(stream_, nullptr);
    bool written = std::fflush(stream) == 0 && (temporary_.empty() || SyncToDisk(stream));
    int error = errno;
    if (stream != stdout && std::fclose(stream) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written)
        return CannotWrite(name_, ErrnoText(error));
    if (temporary_.empty())
        return Ok();
    Status moved = MoveOver(temporary_, path_, name_);
    if (moved)
        temporary_.clear();
    return moved;
}

Status CheckOutputIsNotInput(const std::string &input, const std::string &output) {
    Identity in{}, out{};
    if (!IdentityOf(input, 0, in) || !IdentityOf(output, 1, out) || !SameFile(in, out))
        return Ok();
    const std::string inName = input == "-" ? "standard input" : kantora::PrintableWhole(input);
    const std::string outName = output == "-" ? "standard output" : kantora::PrintableWhole(output);
    return Fail("the output " + outName + " is the input " + inName +
                " (the same file): writing it would destroy the input; name another output file");
}

}  // namespace filterhost
