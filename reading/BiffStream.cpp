#include "reading/BiffStream.h"

#include <algorithm>
#include <cstring>

#include "platform/LittleEndian.h"
#include "reading/CFile.h"

TBIFFStream::TBIFFStream(TCFileStream* source) : FSource(source) {}

void TBIFFStream::Rewind()
{
    FSource->SetPosition(0);
    // The buffers describe the old position; the next record fetches block 0 again.
    FHaveBlock = false;
    FBlockIndex = -1;
    FBlockPos = 0;
}

uint32_t TBIFFStream::StreamSize() const { return FSource->Size(); }

uint32_t TBIFFStream::StreamPosition() const { return FSource->Position(); }

bool TBIFFStream::FetchBlock()
{
    FRawBlock.fill(0);
    // A short last block is used as a full block with a zero tail.
    if (!FSource->ReadBlock(FRawBlock.data(), BlockSize)) return false;
    ++FBlockIndex;
    FBlockPos = 0;
    if (FDecrypting) DecryptCurrentBlock();
    return true;
}

void TBIFFStream::DecryptCurrentBlock()
{
    DecryptBlock(FRawBlock.data(), uint32_t(FBlockIndex), FKey, FPlainBlock.data(), FCipherState);
}

bool TBIFFStream::Take(uint8_t* out, uint32_t count, bool plain)
{
    uint32_t copied = 0;
    while (true) {
        const uint8_t* block = plain ? FPlainBlock.data() : FRawBlock.data();
        uint32_t n = std::min<uint32_t>(count - copied, uint32_t(BlockSize - FBlockPos));
        std::memcpy(out + copied, block + FBlockPos, n);
        FBlockPos += int32_t(n);
        copied += n;
        if (copied == count) return true;
        if (!FetchBlock()) {
            FHaveBlock = false;
            return false;
        }
    }
}

bool TBIFFStream::NextRecord()
{
    if (!FHaveBlock || FBlockPos == BlockSize) FHaveBlock = FetchBlock();
    if (!FHaveBlock) return false;

    // Most records lie inside the current block: taken from it in place.
    if (FBlockPos + 4 <= BlockSize) {
        const TByteSpan head(FRawBlock.data() + FBlockPos, 4);
        const uint16_t id = ReadU16(head, 0), length = ReadU16(head, 2);
        const bool ends = (id == 0 && !ZeroIdIsRecord) || (id == 0 && length == 0);
        if (!ends && FBlockPos + 4 + length <= BlockSize) {
            Record.Id = id;
            Record.Length = length;
            const uint8_t* block = FDecrypting ? FPlainBlock.data() : FRawBlock.data();
            Record.Data.Assign(block + FBlockPos + 4, length);
            FBlockPos += 4 + length;
            return true;
        }
    }
    uint8_t field[2];
    if (!Take(field, 2, false)) return false;
    Record.Id = ReadU16(field);
    if (Record.Id == 0 && !ZeroIdIsRecord) return false;
    if (!Take(field, 2, false)) return false;
    Record.Length = ReadU16(field);
    if (Record.Id == 0 && Record.Length == 0) return false;

    Record.Data.SetSize(Record.Length);
    Record.Data.SetPosition(0);
    if (Record.Length == 0) return true;
    return Take(Record.Data.Data(), Record.Length, FDecrypting);
}

void TBIFFStream::StartDecryption(const TXLSKey& key)
{
    FKey = key;
    FDecrypting = true;
    if (FBlockIndex >= 0) DecryptCurrentBlock();
}
