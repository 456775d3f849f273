// TBIFFStream: the "Workbook" stream cut into BIFF8 records, fetched in
// 1024-byte blocks. Once decryption has started, record bodies come from the
// decrypted copy of each block; headers are always read as stored.
#pragma once

#include <array>
#include <cstdint>

#include "reading/Streams.h"
#include "reading/XLSProtect.h"

class TCFileStream;

// The current record; one object reused for every record.
class TBIFFRecord {
public:
    TEasyStream Data; // the body, position 0 after a fetch
    uint32_t Id = 0;
    uint32_t Length = 0;
};

class TBIFFStream {
public:
    static constexpr int BlockSize = XLSCryptBlockSize;

    // `source` is not owned and must outlive the stream.
    explicit TBIFFStream(TCFileStream* source);

    // Back to the first record (ECFileError 6 when the source refuses).
    void Rewind();
    // The next record into Record; false at the end of the records: a zero id,
    // the end of the stream, or a header or body cut off by it.
    bool NextRecord();
    // Decrypts the block now in the buffers and every block fetched later, so
    // the bodies of all records after the current one are read in clear.
    void StartDecryption(const TXLSKey& key);
    bool Decrypting() const { return FDecrypting; }

    uint32_t StreamSize() const;
    // Bytes fetched from the source so far.
    uint32_t StreamPosition() const;

    TBIFFRecord Record;
    // BIFF2 numbers DIMENSIONS 0x0000: in a bare BIFF2-4 file a zero id ends
    // the records only with a zero length (padding).
    bool ZeroIdIsRecord = false;

private:
    bool FetchBlock();
    // Copies `count` bytes out of the raw or plain block, fetching blocks as needed.
    bool Take(uint8_t* out, uint32_t count, bool plain);
    void DecryptCurrentBlock();

    TCFileStream* FSource;
    bool FDecrypting = false;
    TXLSKey FKey {};
    TRC4 FCipherState;
    bool FHaveBlock = false;
    std::array<uint8_t, BlockSize> FRawBlock {};
    std::array<uint8_t, BlockSize> FPlainBlock {};
    int32_t FBlockIndex = -1;
    int32_t FBlockPos = 0;
};
