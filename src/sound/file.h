// File access: one interface over plain files and RIFF-aware files, the latter
// either on disk or over a caller's memory block (clipboard images). Readers and
// writers use only the virtual operations, so the same code works on any kind.
// Failures are reported by results only (false, -1, a short count). Saving
// reaches the platform through the FileSystem seam below.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "lib/gstring.h"

// Open flags, as the platform's multimedia file layer numbers them. The low
// 28 bits go to the open call; the top four are the class's own.
enum : uint32_t {
    KVIO_READ = 0x0000,
    KVIO_WRITE = 0x0001,
    KVIO_READWRITE = 0x0002,
    KVIO_DENYWRITE = 0x0020,
    KVIO_CREATE = 0x1000,
    KVIO_ALLOCBUF = 0x10000,
    OPEN_STYLE_REOPEN = 0x10000000,
};

enum { SEEK_ORIGIN_SET = 0, SEEK_ORIGIN_CUR = 1, SEEK_ORIGIN_END = 2 };

// A caller's memory block opened as a file (the "MEM " case): reads stop at
// size; writes fail past it.
struct MemoryFileInfo {
    uint8_t* data = nullptr;
    uint32_t size = 0;
};

class CFile {
public:
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    virtual bool SetName(const char* name);
    virtual bool OpenPlain(const char* name, uint32_t style);
    virtual void Close();
    virtual int64_t GetPosition();
    virtual int64_t Seek(int64_t offset, int origin);     // new position, -1 on failure
    virtual int32_t Read(void* buffer, int32_t n);        // bytes read
    virtual bool Write(const void* buffer, int32_t n);    // all n bytes written
    // Pushes buffered writes to the file; false when they could not be written
    // (a full disk shows here, not in Write).
    virtual bool Flush();

    const char* Name() const { return name.c_str(); }
    // Size of the open file in bytes (-1 when not open).
    virtual int64_t FileSize();

    // String helpers: exactly n bytes into text, terminated (-1 on a short read);
    // a text with its NUL; a text preceded by its little-endian u16 length.
    // The reads consume all n bytes but keep the text up to its first NUL, and
    // answer 0, or -1 (text empty) on a short read, a negative n or no memory.
    int ReadString(CGString& text, int32_t n);
    bool WriteString(const CGString& text);
    int ReadCountedString(CGString& text);

protected:
    FILE* handle = nullptr;
    CGString name;
    // stdio needs a seek between a read and a write on one stream; this tells
    // which of the two the handle did last.
    int lastAccess = 0;
};

class CGFile : public CFile {
public:
    ~CGFile() override;
    void Close() override;
    virtual bool OpenHandle(void* arg);
    virtual void CloseNative();
    virtual bool IsOpen() const;
    // With a name: close, take the name. Without one: true at once when open
    // (unless arg asks for a memory file, which replaces what was open). Then
    // store mode and OpenHandle(arg). An empty name without arg fails.
    bool Open(const char* name, uint32_t mode, void* arg);

protected:
    uint32_t mode = 0;
};

// RIFF chunk information, as the multimedia file layer keeps it.
struct ChunkInfo {
    uint32_t ckid = 0;
    uint32_t cksize = 0;
    uint32_t fccType = 0;
    uint32_t dwDataOffset = 0;
    uint32_t dwFlags = 0;
};

enum : uint32_t {
    KVIO_FINDCHUNK = 0x10,
    KVIO_FINDRIFF = 0x20,
    KVIO_FINDLIST = 0x40,
    KVIO_CREATERIFF = 0x20,
    KVIO_CREATELIST = 0x40,
    KVIO_DIRTY = 0x10000000,    // dwFlags: created chunk whose size is fixed on ascend
};

constexpr uint32_t MakeFourCC(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | (uint32_t(uint8_t(b)) << 8) | (uint32_t(uint8_t(c)) << 16)
        | (uint32_t(uint8_t(d)) << 24);
}

// The platform's side of saving a file: a new file beside the old one, and a
// replacement that either happens whole or leaves both files as they were.
// Names are in the program's 8-bit character set (the ANSI code page on
// Windows). The Windows shell installs the system's; without it the C
// library's serves, which on Windows refuses names outside ASCII (its move
// would pass them through the C locale and save under other characters).
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates a new, empty file in the folder of target, under a name no file
    // there has yet, and opens it for writing (binary). The name goes to
    // temporary. Null (temporary empty) when no file could be made.
    virtual FILE* CreateBeside(const char* target, CGString& temporary) = 0;

    // Puts the closed file `temporary` in the place of `target`, which need not
    // exist. False when the target may not be replaced (read-only, in use
    // without leave to delete it) or the move failed: both files are then
    // as they were.
    virtual bool Replace(const char* temporary, const char* target) = 0;

    virtual bool Remove(const char* name) = 0;
};

// Temporary files are "~kv", five hex digits and ".tmp": short names, so that
// they fit wherever the target's name fits. NextTemporaryName puts the next
// candidate after the first folderLength characters of folder (the folder
// with its separator); a name already taken is skipped, and this many tries
// run out only when something else is wrong.
const int TEMPORARY_NAME_TRIES = 100;
void NextTemporaryName(CGString& name, const char* folder, int folderLength);

// The installed file system, never null. Null puts the C library's back; the
// caller keeps ownership.
FileSystem& TheFileSystem();
void SetFileSystem(FileSystem* files);

class CMMFile : public CGFile {
public:
    CMMFile();                  // out of line: Stream is complete only in file.cpp
    ~CMMFile() override;
    int64_t GetPosition() override;
    int64_t Seek(int64_t offset, int origin) override;
    int32_t Read(void* buffer, int32_t n) override;
    bool Write(const void* buffer, int32_t n) override;
    int64_t FileSize() override;
    bool Flush() override;
    // arg: MemoryFileInfo* for a memory file over the caller's block (whatever
    // the name; writable only when the mode asks for writing), else null for the
    // named disk file.
    bool OpenHandle(void* arg) override;
    void CloseNative() override;
    bool IsOpen() const override;
    // Closes, then creates a new file beside target through the file system
    // and opens it for writing; Name() is then the new file's. False when no
    // file could be made.
    bool CreateBeside(const char* target);

    // RIFF navigation with the multimedia layer's rules. Each returns true on
    // success.
    //
    // Descend reads chunk headers from the current position: the next chunk, or
    // with KVIO_FINDCHUNK the first whose id is ck.ckid, with KVIO_FINDRIFF or
    // KVIO_FINDLIST the first RIFF or LIST whose type is ck.fccType. The search
    // never passes the parent's end (when given) nor the file's end. On success
    // ck is filled (dwDataOffset: just after the 8-byte header, so a RIFF or
    // LIST type counts as data) and the file is at the data, after the type for
    // RIFF and LIST. A chunk whose size passes its parent or the file is still
    // reported: check cksize against FileSize before trusting it. On failure the
    // file is back where the search began.
    //
    // Ascend seeks past the chunk (and its pad byte); for a created chunk it
    // first writes the real size (from the current position) and the pad byte
    // after an odd size, and flushes, so a full disk shows here.
    //
    // CreateChunk writes the header at the current position (id "RIFF" for
    // KVIO_CREATERIFF, "LIST" for KVIO_CREATELIST, else ck.ckid; then ck.cksize
    // and, for RIFF and LIST, ck.fccType), marks ck dirty and leaves the file
    // after the header.
    bool Descend(ChunkInfo& ck, const ChunkInfo* parent, uint32_t flags);
    bool Ascend(ChunkInfo& ck);
    bool CreateChunk(ChunkInfo& ck, uint32_t flags);

private:
    class Stream;
    std::unique_ptr<Stream> stream;
};
