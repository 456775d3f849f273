#include "reading/RecordCursor.h"

#include <algorithm>
#include <stdexcept>

TRecordCursor::TRecordCursor(TBIFFStream& stream) : Stream(stream) {}

void TRecordCursor::ReportProgress()
{
    if (!OnProgress) return;
    uint32_t size = Stream.StreamSize();
    OnProgress(size == 0 ? 1.0 : double(Stream.StreamPosition()) / double(size));
}

bool TRecordCursor::Fetch()
{
    if (FEndOfRecords) return false;
    if (!Consumed) {
        if (Retries++ == 0) return true;
        throw std::runtime_error("Error: BIFF record can not be processed");
    }
    bool fetched = Stream.NextRecord();
    Consumed = false;
    Retries = 0;
    FEndOfRecords = !fetched;
    ReportProgress();
    return fetched;
}

bool TRecordCursor::FetchContinue()
{
    Consumed = true;
    return Fetch() && Record().Id == ContinueRecordId;
}

namespace {

void AppendWidened(std::string& out, const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        out += char(bytes[i]);
        out += '\0';
    }
}

} // namespace

TContinuedString TRecordCursor::ReadContinuedString(size_t charCount, uint8_t optionByte)
{
    TContinuedString result;
    bool pieceWide = optionByte & 1;
    size_t read = 0;
    while (read < charCount) {
        TEasyStream& data = Data();
        if (data.Remaining() == 0) {
            if (!FetchContinue()) break;
            if (data.Size() == 0 && !FetchContinue()) break;
            uint8_t option = 0;
            if (!data.ReadByte(option)) continue; // an empty CONTINUE again: fetch the next one
            pieceWide = option & 1;
        }
        size_t remaining = data.Remaining();
        const uint8_t* bytes = data.Data() + data.Position();
        size_t k;
        if (pieceWide) {
            if (!result.Wide) {
                std::string narrow;
                narrow.swap(result.Bytes);
                AppendWidened(result.Bytes, reinterpret_cast<const uint8_t*>(narrow.data()), narrow.size());
                result.Wide = true;
            }
            k = std::min(remaining / 2, charCount - read);
            result.Bytes.append(reinterpret_cast<const char*>(bytes), 2 * k);
            // A single odd byte left in a two-byte piece holds no whole
            // character: it is dropped and reading goes on with the next
            // CONTINUE record, so every turn consumes bytes or a record.
            data.Skip(k == 0 ? remaining : 2 * k);
        } else {
            k = std::min(remaining, charCount - read);
            if (result.Wide) AppendWidened(result.Bytes, bytes, k);
            else result.Bytes.append(reinterpret_cast<const char*>(bytes), k);
            data.Skip(k);
        }
        read += k;
    }
    return result;
}

bool TRecordCursor::SkipContinued(size_t count)
{
    while (count > 0) {
        if (Data().Remaining() == 0 && !FetchContinue()) return false;
        size_t n = std::min(count, Data().Remaining());
        Data().Skip(n);
        count -= n;
    }
    return true;
}
