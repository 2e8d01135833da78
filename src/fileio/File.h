#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace pelorin {

// What a name in the file system stands for; Device is anything else that is
// not a regular file.
enum class FileType { Regular, Folder, Pipe, Socket, Device };

struct FileStatus {
    FileType type = FileType::Device;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // since the epoch
    std::uint64_t device = 0;    // the file system it is on
    bool writable = false;       // a write permission bit is set (for anyone)
};

struct ReadOnlyFile;

// An open file, closed when it goes. The system's file calls are all made
// here and in the rest of fileio/, so the other folders are standard C++.
// Errors are returned as values, never thrown.
class File {
public:
    enum class Access { Read, ReadWrite };
    enum class Links { Follow, Refuse };

    File() = default;
    File(File &&other) noexcept;
    File &operator=(File &&other) noexcept;
    ~File();

    // Opens without waiting for a writer when path is a FIFO: status() then
    // tells, and the caller refuses it.
    static File open(const std::string &path, Access access, Links links, std::error_code &error);

    bool isOpen() const noexcept { return fd_ >= 0; }
    std::optional<FileStatus> status(std::error_code &error) const;
    // Immutable or append-only (chattr +i, +a): the flags say no before the write does.
    bool pinned() const;
    // Reads from the file's position: how many bytes came, 0 at the end, nothing on an error.
    std::optional<std::size_t> read(char *into, std::size_t size, std::error_code &error);
    // Reads at offset until size bytes have come or the file ends (the file's
    // position is left alone): how many came, nothing on an error.
    std::optional<std::size_t> readAt(std::uint64_t offset, char *into, std::size_t size) const;
    bool writeAt(std::uint64_t offset, std::string_view bytes, std::error_code &error);
    bool flushData(std::error_code &error);       // this file's data, to the disk
    bool flushFileSystem(std::error_code &error); // everything written on the file's file system

private:
    friend ReadOnlyFile openReadOnly(const std::string &path, Links links);
    explicit File(int fd) noexcept
        : fd_(fd) {}
    void close() noexcept;

    int fd_ = -1;
};

// A regular file opened for reading, as every reader of the tree opens its
// input: a FIFO, folder, socket or device is refused without blocking on it.
struct ReadOnlyFile {
    enum class Problem { None, CannotOpen, CannotExamine, NotRegular };

    File file;         // open when problem is None
    FileStatus status; // the type too when NotRegular
    Problem problem = Problem::None;
    std::error_code error; // CannotOpen, CannotExamine

    explicit operator bool() const noexcept { return problem == Problem::None; }
};
ReadOnlyFile openReadOnly(const std::string &path, File::Links links = File::Links::Follow);

// A new empty file named after pattern, its last six characters "XXXXXX"
// made unique, readable and writable by its owner only; the name, or nothing.
std::optional<std::string> createUniqueFile(const std::string &pattern);

} // namespace pelorin
