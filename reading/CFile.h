// The compound-document layer ([MS-CFB]): a reader of our own that opens a
// document read-only, builds the tree of its storages and streams, and reads
// one stream sequentially. The whole file is read into memory once; every
// chain, size and directory link is checked against it before it is used.
// Damage that other writers leave behind is borne where it harms nothing: a
// last sector cut short reads as zeros, header counts yield to a start field
// that names no sector, unused elements in a directory tree end their branch,
// and a damaged stream fails only when it is read.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ByteBuffer.h"

// A failure of the compound-document layer; the code selects a fixed message:
// 0 "Can not create a docfile", 1 "Can not create a stream",
// 2 "Can not create a storage", 3 "Can not open a docfile",
// 4 "Can not open a stream", 5 "Can not open a storage",
// 6 "Can not set stream position", 7 "Can not commit a storage".
class ECFileError : public std::runtime_error {
public:
    explicit ECFileError(uint8_t code);
    uint8_t ErrorCode() const { return FErrorCode; }
    // The fixed message of a code; empty for codes outside 0..7.
    static std::string MessageOf(uint8_t code);

private:
    uint8_t FErrorCode;
};

struct TCFDocument; // the parsed file, shared by the items of one tree

class TCFileItem {
public:
    TCFileItem(std::string name, std::u16string wideName);
    virtual ~TCFileItem() = default;
    TCFileItem(const TCFileItem&) = delete;
    TCFileItem& operator=(const TCFileItem&) = delete;

    // The element name in the 8-bit code page.
    std::string Name;
    // The element name as stored (UTF-16).
    std::u16string WideName;
};

class TCFileStream : public TCFileItem {
public:
    // Seek origins.
    enum : int { FromStart = 0, FromCurrent = 1, FromEnd = 2 };

    // `failure`: the ECFileError code a read raises when the stream is damaged, 0 when it is sound.
    TCFileStream(std::string name, std::u16string wideName, std::shared_ptr<const TCFDocument> document,
                 uint32_t startSector, uint32_t size, uint8_t failure = 0);
    // A stream that is the whole of `bytes` (a file that is no compound document).
    explicit TCFileStream(TByteBuffer bytes);

    // Raises the stream's failure, if it has one: ECFileError 4 for a size
    // past the file or a chain too short for it, 3 for a small stream when
    // the document's mini stream is damaged. Every read checks it first.
    void Open() const;

    // Reads up to `count` bytes at the position and advances it; the number read
    // (fewer than `count` only at the end of the stream).
    uint32_t Read(void* buffer, uint32_t count);
    // True when `buffer` is given and at least one byte was read.
    bool ReadBlock(void* buffer, uint32_t count);
    // Moves the position and returns the new one; a move before the start
    // leaves the position where it was.
    uint32_t Seek(int32_t offset, int origin);
    uint32_t Position() const { return FPosition; }
    uint32_t Size() const { return FSize; }
    // ECFileError 6 when the position cannot be set.
    void SetPosition(uint32_t position);

private:
    std::shared_ptr<const TCFDocument> FDocument;
    uint32_t FStartSector;
    uint32_t FSize;
    uint32_t FPosition = 0;
    // Where the chain walk stands: the sector holding chain entry FChainIndex.
    uint32_t FChainIndex = 0;
    uint32_t FChainSector;
    uint8_t FFailure;
};

class TCFileStorage : public TCFileItem {
public:
    using TCFileItem::TCFileItem;

    // The direct children, storages and streams, in the order of an in-order
    // walk of the storage's directory tree.
    std::vector<std::unique_ptr<TCFileItem>> Items;

    size_t Count() const { return Items.size(); }
    // The first direct child whose Name equals `name`, ASCII letters compared
    // without case; nullptr when there is none.
    TCFileItem* FindItem(const std::string& name) const;
};

class TCFile {
public:
    enum class TOpenMode { OpenExisting };

    // Opens the document at `fileName` (UTF-16, opened as UTF-8) read-only.
    // ECFileError 3 when the file is missing or its header, FAT or directory
    // is damaged, 5 when a storage's tree is. A damaged stream fails when it
    // is read (TCFileStream::Open).
    explicit TCFile(const std::u16string& fileName, TOpenMode mode = TOpenMode::OpenExisting);
    // The same for a document held in memory (FileName stays empty).
    explicit TCFile(const std::vector<uint8_t>& bytes);
    explicit TCFile(TByteBuffer bytes);
    // The bytes of the file at `fileName`; ECFileError 3 when it cannot be read.
    static TByteBuffer ReadFileBytes(const std::u16string& fileName);
    ~TCFile();
    TCFile(const TCFile&) = delete;
    TCFile& operator=(const TCFile&) = delete;

    std::u16string FileName;
    // The root storage, named "Root Entry"; owns the whole tree.
    std::unique_ptr<TCFileStorage> Root;

private:
    void Load(TByteBuffer bytes);
};
