#include "sound/file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

#include "base/file_names.h"
#include "lib/log.h"

namespace {

enum { ACCESS_NONE = 0, ACCESS_READ = 1, ACCESS_WRITE = 2 };

constexpr uint32_t ACCESS_MASK = 0x0003;        // read, write or read/write
constexpr uint32_t SHARE_MASK = 0x0070;         // exclusive, deny write, deny read, deny none
constexpr uint32_t NATIVE_FLAGS = 0x0FFFFFFF;   // the top four bits never reach the open call

// The stdio mode for a set of open flags; nullptr for an access value the
// platform does not know.
const char* StdioMode(uint32_t flags)
{
    if (flags & OPEN_STYLE_REOPEN)
        return "rb";
    const uint32_t access = flags & ACCESS_MASK;
    if (access == ACCESS_MASK)
        return nullptr;
    // Creating truncates an existing file; a write without create keeps what
    // is there, as the platform's open does.
    if (flags & KVIO_CREATE)
        return access == KVIO_WRITE ? "wb" : "w+b";
    if (access != KVIO_READ)
        return "r+b";
    return "rb";
}

FILE* OpenStdio(const char* name, uint32_t flags)
{
    const char* mode = StdioMode(flags);
    if (!name || !*name || !mode)
        return nullptr;
#ifdef _WIN32
    // Loading denies other programs write access while the file is read.
    const int share = (flags & SHARE_MASK) == KVIO_DENYWRITE ? _SH_DENYWR : _SH_DENYNO;
    FILE* f = _fsopen(name, mode, share);
#else
    FILE* f = std::fopen(name, mode);
#endif
    if (!f)
        Log("File:Open(%s, %s) %d", name, mode, errno);
    return f;
}

bool SeekRaw(FILE* f, int64_t offset, int whence)
{
#ifdef _WIN32
    return _fseeki64(f, offset, whence) == 0;
#else
    if (offset > std::numeric_limits<off_t>::max())
        return false;
    return fseeko(f, static_cast<off_t>(offset), whence) == 0;
#endif
}

int64_t Tell(FILE* f)
{
#ifdef _WIN32
    return _ftelli64(f);
#else
    return ftello(f);
#endif
}

// base + offset as a file position: false when negative or not representable.
bool AddOffset(int64_t base, int64_t offset, int64_t& result)
{
    if (base < 0)
        return false;
    if (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset)
        return false;
    result = base + offset;
    return result >= 0;
}

int64_t StdioSize(FILE* f, int& lastAccess)
{
    const int64_t here = Tell(f);
    if (here < 0 || !SeekRaw(f, 0, SEEK_END))
        return -1;
    lastAccess = ACCESS_NONE;
    const int64_t size = Tell(f);
    if (!SeekRaw(f, here, SEEK_SET))
        return -1;
    return size;
}

int64_t StdioSeek(FILE* f, int& lastAccess, int64_t offset, int origin)
{
    int64_t base;
    switch (origin) {
    case SEEK_ORIGIN_SET:
        base = 0;
        break;
    case SEEK_ORIGIN_CUR:
        base = Tell(f);
        break;
    case SEEK_ORIGIN_END:
        base = StdioSize(f, lastAccess);
        break;
    default:
        return -1;
    }
    int64_t target;
    if (!AddOffset(base, offset, target) || !SeekRaw(f, target, SEEK_SET))
        return -1;
    lastAccess = ACCESS_NONE;
    return target;
}

int32_t StdioRead(FILE* f, int& lastAccess, void* buffer, int32_t n)
{
    if (n <= 0 || !buffer)
        return 0;
    if (lastAccess == ACCESS_WRITE && !SeekRaw(f, 0, SEEK_CUR))
        return 0;
    lastAccess = ACCESS_READ;
    return static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(n), f));
}

bool StdioWrite(FILE* f, int& lastAccess, const void* buffer, int32_t n)
{
    if (n == 0)
        return true;
    if (n < 0 || !buffer)
        return false;
    if (lastAccess == ACCESS_READ && !SeekRaw(f, 0, SEEK_CUR))
        return false;
    lastAccess = ACCESS_WRITE;
    return std::fwrite(buffer, 1, static_cast<size_t>(n), f) == static_cast<size_t>(n);
}

const uint32_t TEMPORARY_NUMBERS = 0x100000;       // five hex digits

#ifdef _WIN32
// Windows programs that do not install the system's file layer (benchmarks,
// tests that never start the shell) reach the C library by its own names.
int OpenNewFile(const char* name, const char*)
{
    return _open(name, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

FILE* StreamOver(int fd)
{
    return _fdopen(fd, "wb");
}

void CloseDescriptor(int fd)
{
    _close(fd);
}

bool MayWrite(const char*)
{
    return true;
}

// The replacing move takes its names through the C locale, which turns bytes
// outside ASCII into other characters than the code page's: such a name is
// refused rather than saved under another.
bool NameSurvives(const char* name)
{
    for (; *name; name++) {
        if (static_cast<unsigned char>(*name) >= 0x80)
            return false;
    }
    return true;
}
#else
int OpenNewFile(const char* name, const char* target)
{
    int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    // The new file takes the old one's permissions: a save must not open a
    // private file to others. open's mode passes through the umask, fchmod's
    // does not.
    struct stat old;
    if (fd >= 0 && stat(target, &old) == 0)
        fchmod(fd, old.st_mode & 0777);
    return fd;
}

FILE* StreamOver(int fd)
{
    return fdopen(fd, "wb");
}

void CloseDescriptor(int fd)
{
    close(fd);
}

// The permission check of the system; it lets an administrator write anything,
// so read-only files are also told by their permission bits.
bool MayWrite(const char* name)
{
    return access(name, W_OK) == 0 || errno == ENOENT;
}

bool NameSurvives(const char*)
{
    return true;
}
#endif

// The C library's files: POSIX calls in the native build.
class LibraryFileSystem final : public FileSystem {
public:
    FILE* CreateBeside(const char* target, CGString& temporary) override
    {
        errno = 0;
        for (int i = 0; NameSurvives(target) && i < TEMPORARY_NAME_TRIES; i++) {
            NextTemporaryName(temporary, target, FindFileName(target));
            const int fd = OpenNewFile(temporary.c_str(), target);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                break;
            }
            if (FILE* f = StreamOver(fd))
                return f;
            CloseDescriptor(fd);
            std::remove(temporary.c_str());
            break;
        }
        Log("File:CreateBeside(%s) %d", target, errno);
        temporary.Empty();
        return nullptr;
    }

    bool Replace(const char* temporary, const char* target) override
    {
        // A file nobody may write is refused, as Windows refuses to replace a
        // read-only file, though a POSIX rename would go ahead.
        namespace fs = std::filesystem;
        std::error_code ec;
        const fs::file_status old = fs::status(target, ec);
        const fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if (fs::exists(old) && ((old.permissions() & anyWrite) == fs::perms::none || !MayWrite(target))) {
            Log("File:Replace(%s) read-only", target);
            return false;
        }
        fs::rename(temporary, target, ec);
        if (ec)
            Log("File:Replace(%s) %d", target, ec.value());
        return !ec;
    }

    bool Remove(const char* name) override { return std::remove(name) == 0; }
};

LibraryFileSystem libraryFileSystem;
FileSystem* theFileSystem = &libraryFileSystem;

} // namespace

void NextTemporaryName(CGString& name, const char* folder, int folderLength)
{
    static uint32_t serial = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    // An odd step visits every number before one comes round again.
    serial += 0x9E3779B1u;
    name.Format("%.*s~kv%05x.tmp", folderLength, folder, unsigned(serial % TEMPORARY_NUMBERS));
}

FileSystem& TheFileSystem()
{
    return *theFileSystem;
}

void SetFileSystem(FileSystem* files)
{
    theFileSystem = files ? files : &libraryFileSystem;
}

// The multimedia handle: a disk file or a caller's memory block. Positions may
// go past the end (as on disk); reads there give nothing and writes fail on a
// memory block.
class CMMFile::Stream {
public:
    class Disk;
    class Memory;

    virtual ~Stream() = default;
    virtual int64_t Seek(int64_t offset, int origin) = 0;   // new position or -1
    virtual int32_t Read(void* buffer, int32_t n) = 0;
    virtual bool Write(const void* buffer, int32_t n) = 0;
    virtual int64_t Size() = 0;
    virtual bool Flush() = 0;
};

class CMMFile::Stream::Disk final : public CMMFile::Stream {
public:
    explicit Disk(FILE* f) : file(f) {}
    ~Disk() override { std::fclose(file); }

    int64_t Seek(int64_t offset, int origin) override { return StdioSeek(file, lastAccess, offset, origin); }
    int32_t Read(void* buffer, int32_t n) override { return StdioRead(file, lastAccess, buffer, n); }
    bool Write(const void* buffer, int32_t n) override { return StdioWrite(file, lastAccess, buffer, n); }
    int64_t Size() override { return StdioSize(file, lastAccess); }
    bool Flush() override { return std::fflush(file) == 0; }

private:
    FILE* file;
    int lastAccess = ACCESS_NONE;
};

// The block stays the caller's: it is neither grown nor freed here.
class CMMFile::Stream::Memory final : public CMMFile::Stream {
public:
    Memory(uint8_t* block, uint32_t bytes, bool canWrite) : data(block), size(bytes), writable(canWrite) {}

    int64_t Seek(int64_t offset, int origin) override
    {
        int64_t base = origin == SEEK_ORIGIN_SET ? 0
            : origin == SEEK_ORIGIN_CUR          ? position
            : origin == SEEK_ORIGIN_END          ? int64_t(size)
                                                 : -1;
        int64_t target;
        if (!AddOffset(base, offset, target))
            return -1;
        position = target;
        return position;
    }

    int32_t Read(void* buffer, int32_t n) override
    {
        if (n <= 0 || !buffer || position >= int64_t(size))
            return 0;
        const int64_t left = int64_t(size) - position;
        const int32_t count = left < n ? static_cast<int32_t>(left) : n;
        std::memcpy(buffer, data + position, static_cast<size_t>(count));
        position += count;
        return count;
    }

    // All or nothing: a write that would pass the block's end writes no byte.
    bool Write(const void* buffer, int32_t n) override
    {
        if (n == 0)
            return true;
        if (n < 0 || !buffer || !writable || position > int64_t(size) || n > int64_t(size) - position)
            return false;
        std::memcpy(data + position, buffer, static_cast<size_t>(n));
        position += n;
        return true;
    }

    int64_t Size() override { return size; }
    bool Flush() override { return true; }

private:
    uint8_t* data;
    uint32_t size;
    bool writable;
    int64_t position = 0;
};

CFile::~CFile()
{
    CFile::Close();
}

bool CFile::SetName(const char* newName)
{
    if (!newName)
        return false;
    if (std::strcmp(newName, name.c_str()) == 0)
        return true;
    if (!handle) {
        name = newName;
        return true;
    }
    Close();
    return OpenPlain(newName, OPEN_STYLE_REOPEN);
}

bool CFile::OpenPlain(const char* newName, uint32_t style)
{
    if (!newName)
        return false;
    // Closing first: the name may be our own.
    if (handle) {
        std::fclose(handle);
        handle = nullptr;
    }
    name = newName;
    handle = OpenStdio(name.c_str(), style);
    lastAccess = ACCESS_NONE;
    return handle != nullptr;
}

void CFile::Close()
{
    if (handle) {
        std::fclose(handle);
        handle = nullptr;
    }
}

int64_t CFile::GetPosition()
{
    return handle ? Tell(handle) : -1;
}

int64_t CFile::Seek(int64_t offset, int origin)
{
    return handle ? StdioSeek(handle, lastAccess, offset, origin) : -1;
}

int32_t CFile::Read(void* buffer, int32_t n)
{
    return handle ? StdioRead(handle, lastAccess, buffer, n) : 0;
}

bool CFile::Write(const void* buffer, int32_t n)
{
    return handle && StdioWrite(handle, lastAccess, buffer, n);
}

bool CFile::Flush()
{
    return handle && std::fflush(handle) == 0;
}

int64_t CFile::FileSize()
{
    return handle ? StdioSize(handle, lastAccess) : -1;
}

int CFile::ReadString(CGString& text, int32_t n)
{
    text.Empty();
    if (n < 0)
        return -1;
    if (n == 0)
        return 0;
    // The count comes from the file: refuse one the file cannot hold before
    // allocating for it.
    const int64_t here = GetPosition();
    const int64_t size = FileSize();
    if (here >= 0 && size >= 0 && (here > size || n > size - here))
        return -1;
    char* chars = text.SetLength(n);
    if (!chars)
        return -1;
    if (Read(chars, n) != n) {
        text.Empty();
        return -1;
    }
    const size_t length = std::strlen(chars);
    if (length < static_cast<size_t>(n))
        text.SetLength(static_cast<int>(length));
    return 0;
}

bool CFile::WriteString(const CGString& text)
{
    return Write(text.c_str(), text.Length() + 1);
}

int CFile::ReadCountedString(CGString& text)
{
    uint8_t count[2];
    if (Read(count, 2) != 2) {
        text.Empty();
        return -1;
    }
    return ReadString(text, count[0] | (count[1] << 8));
}

CGFile::~CGFile()
{
    CGFile::Close();
}

void CGFile::Close()
{
    if (IsOpen())
        CloseNative();
    CFile::Close();
}

// A plain file takes no open-information record.
bool CGFile::OpenHandle(void*)
{
    CFile::Close();
    handle = OpenStdio(name.c_str(), mode & NATIVE_FLAGS);
    lastAccess = ACCESS_NONE;
    return IsOpen();
}

void CGFile::CloseNative()
{
    CFile::Close();
}

bool CGFile::IsOpen() const
{
    return handle != nullptr;
}

bool CGFile::Open(const char* newName, uint32_t newMode, void* arg)
{
    if (newName) {
        Close();
        name = newName;
    } else if (IsOpen()) {
        // A caller's memory block must not be answered with the file that
        // happens to be open: the writes would land in the wrong place.
        if (!arg)
            return true;
        Close();
    }
    if (name.IsEmpty() && !arg)
        return false;
    mode = newMode;
    return OpenHandle(arg);
}

CMMFile::CMMFile() = default;

CMMFile::~CMMFile()
{
    CMMFile::CloseNative();
}

int64_t CMMFile::GetPosition()
{
    return stream ? stream->Seek(0, SEEK_ORIGIN_CUR) : -1;
}

int64_t CMMFile::Seek(int64_t offset, int origin)
{
    return stream ? stream->Seek(offset, origin) : -1;
}

int32_t CMMFile::Read(void* buffer, int32_t n)
{
    return stream ? stream->Read(buffer, n) : 0;
}

bool CMMFile::Write(const void* buffer, int32_t n)
{
    return stream && stream->Write(buffer, n);
}

bool CMMFile::Flush()
{
    return stream && stream->Flush();
}

int64_t CMMFile::FileSize()
{
    return stream ? stream->Size() : -1;
}

bool CMMFile::OpenHandle(void* arg)
{
    CloseNative();
    const uint32_t flags = mode & NATIVE_FLAGS;
    if (arg) {
        const MemoryFileInfo* info = static_cast<const MemoryFileInfo*>(arg);
        if (!info->data || (flags & ACCESS_MASK) == ACCESS_MASK)
            return false;
        const bool canWrite = (flags & ACCESS_MASK) != KVIO_READ;
        stream.reset(new (std::nothrow) Stream::Memory(info->data, info->size, canWrite));
        if (!stream)
            Log("File:OpenMem(%u) FAIL", info->size);
        return stream != nullptr;
    }
    FILE* f = OpenStdio(name.c_str(), flags);
    if (!f)
        return false;
    stream.reset(new (std::nothrow) Stream::Disk(f));
    if (!stream) {
        std::fclose(f);
        Log("File:Open(%s) no memory", name.c_str());
    }
    return stream != nullptr;
}

bool CMMFile::CreateBeside(const char* target)
{
    Close();
    mode = KVIO_CREATE | KVIO_WRITE;
    CGString temporary;
    FILE* f = TheFileSystem().CreateBeside(target, temporary);
    if (!f)
        return false;
    name = temporary;
    stream.reset(new (std::nothrow) Stream::Disk(f));
    if (!stream) {
        std::fclose(f);
        TheFileSystem().Remove(temporary.c_str());
        Log("File:CreateBeside(%s) no memory", target);
    }
    return stream != nullptr;
}

void CMMFile::CloseNative()
{
    stream.reset();
}

bool CMMFile::IsOpen() const
{
    return stream != nullptr;
}
