// The compound-document layer alone: open a document from memory, walk its
// tree, and read every stream to its end in blocks of the reader's size, with
// the seeks the reader uses; and the bytes as one whole stream, as the reader
// takes a file of Excel 2.x-4.0. A damaged document may only raise ECFileError.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "reading/CFile.h"

namespace {

void ReadStream(TCFileStream& stream)
{
    uint8_t block[1024];
    stream.SetPosition(0);
    uint32_t total = 0;
    while (stream.ReadBlock(block, sizeof block)) total = stream.Position();
    if (total > stream.Size()) __builtin_trap(); // read past the stream's end
    // Back to the start and read once more in an odd block size, as a reader
    // that rewinds would.
    stream.Seek(0, TCFileStream::FromStart);
    stream.Seek(7, TCFileStream::FromCurrent);
    while (stream.Read(block, 333) > 0) {
    }
    stream.Seek(-1, TCFileStream::FromEnd);
    stream.Read(block, sizeof block);
}

void Walk(TCFileStorage& storage, int depth)
{
    for (auto& item : storage.Items) {
        if (auto* stream = dynamic_cast<TCFileStream*>(item.get()))
            ReadStream(*stream);
        else if (auto* child = dynamic_cast<TCFileStorage*>(item.get()))
            Walk(*child, depth + 1);
    }
    storage.FindItem("Workbook");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        TCFile file(TByteBuffer(data, data + size));
        Walk(*file.Root, 0);
    } catch (const ECFileError&) {
    }
    // The same bytes as the one stream of a file that is no compound
    // document (Excel 2.x-4.0).
    TCFileStream whole(TByteBuffer(data, data + size));
    ReadStream(whole);
    return 0;
}
